#!/usr/bin/env bash
# The command line of the real binary: -h/--help and -v/--version answer
# with a display and without one, anything else is refused with code 2 and
# a message naming what is wrong, Qt's own options are accepted, a start
# with no display at all says so with code 1, and a directory given on the
# line is scanned at once, as a drop of it would.
source "$(dirname "$0")/commun.sh"

# Prints "code|stdout|stderr" of the binary run with no display at all
# (only a QCoreApplication reads the line), or with the test's X server.
sans_affichage() {
  local code=0
  env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM "$BINAIRE" "$@" >"$TRAVAIL/out" 2>"$TRAVAIL/err" || code=$?
  echo "$code|$(cat "$TRAVAIL/out")|$(cat "$TRAVAIL/err")"
}
# (A session's runtime folder keeps Qt from warning about its absence.)
mkdir -m 700 "$TRAVAIL/session"
avec_affichage() {
  local code=0
  XDG_RUNTIME_DIR="$TRAVAIL/session" "$BINAIRE" "$@" >"$TRAVAIL/out" 2>"$TRAVAIL/err" || code=$?
  echo "$code|$(cat "$TRAVAIL/out")|$(cat "$TRAVAIL/err")"
}

refus() { echo "2||ruvizaro : $1"$'\n'"Essayez « ruvizaro --help »."; }
for mode in sans_affichage avec_affichage; do
  for aide in -h --help "-style fusion --help"; do
    read -r -a arguments <<<"$aide"
    r=$($mode "${arguments[@]}")
    [[ $r == "0|Utilisation : ruvizaro [OPTION...] [DOSSIER]"*"-h, --help"*"-v, --version"*"|" ]] ||
      echec "$mode $aide: $r"
  done
  for version in -v --version; do
    r=$($mode $version)
    [ "$r" = "0|Ruvizaro 1.0|" ] || echec "$mode $version: $r"
  done
  for ligne in "-x" "--aide" "-aide" "--help --version" "/tmp /tmp" "-- /tmp /tmp" ""; do
    read -r -a arguments <<<"$ligne"
    [ -n "$ligne" ] || arguments=("")
    r=$($mode "${arguments[@]}")
    [[ $r == "2||ruvizaro : "*"Essayez « ruvizaro --help »." ]] || echec "$mode '$ligne' not refused: $r"
  done
  # The messages name what is wrong.
  [ "$($mode -x)" = "$(refus "option inconnue « -x »")" ] || echec "$mode -x: $($mode -x)"
  [ "$($mode /tmp --aide=1)" = "$(refus "option inconnue « --aide »")" ] || echec "$mode --aide=1: $($mode /tmp --aide=1)"
  r=$($mode /tmp /usr /var)
  [ "$r" = "$(refus "un seul dossier à la fois, 3 donnés : « /tmp », « /usr », « /var »")" ] || echec "$mode 3 folders: $r"
  # Many folders: the first few are named, the others counted.
  r=$($mode $(seq 10000))
  [ "$r" = "$(refus "un seul dossier à la fois, 10000 donnés : « 1 », « 2 », « 3 » et 9997 autres")" ] ||
    echec "$mode 10000 folders: ${r:0:300}"
  # Qt takes -style with its value; alone, the value is missing.
  [ "$($mode -style)" = "$(refus "l'option « -style » attend une valeur")" ] || echec "$mode -style: $($mode -style)"
done

# With no display at all, one line and code 1 rather than Qt's abort.
code=0
env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM "$BINAIRE" >"$TRAVAIL/out" 2>"$TRAVAIL/err" || code=$?
[ "$code" = 1 ] && [ "$(cat "$TRAVAIL/err")" = "ruvizaro : aucun affichage graphique (ni DISPLAY ni WAYLAND_DISPLAY)." ] ||
  echec "without a display: code $code, $(cat "$TRAVAIL/err")"
# Nor with Qt's window options, which only Qt reads, nor with xcb named but
# no X server to reach.
sans_x="1||ruvizaro : aucun affichage graphique (ni DISPLAY ni WAYLAND_DISPLAY)."
r=$(sans_affichage -style fusion -reverse)
[ "$r" = "$sans_x" ] || echec "-style without a display: $r"
r=$(sans_affichage -platform xcb)
[ "$r" = "$sans_x" ] || echec "-platform xcb without X: $r"

# A relative directory, as a shell passes it, is scanned from the start.
arbre="$TRAVAIL/arbre"
mkdir -p "$arbre/sous"
touch "$arbre/a.avi" "$arbre/sous/b.mp3" "$arbre/sous/c.jpg" "$arbre/d.png" "$arbre/e.txt"
export RUVIZARO_JOURNAL="$TRAVAIL/journal"
cd "$TRAVAIL"
# -platform offscreen needs no display: the program starts and scans. The
# folder's name is taken byte for byte, and a file or a FIFO given in its
# place scans its folder, as a drop does.
cp -r arbre $'\xe9t\xe9'
mkfifo arbre/tube
for dossier in arbre $'\xe9t\xe9' "$TRAVAIL/"$'\xe9t\xe9/sous/../' arbre/a.avi arbre/tube; do
  journal="$TRAVAIL/journal-offscreen"
  rm -f "$journal"
  RUVIZARO_JOURNAL="$journal" env -u DISPLAY -u QT_QPA_PLATFORM \
    "$BINAIRE" -platform offscreen "$dossier" >"$TRAVAIL/offscreen.log" 2>&1 &
  PID_APP=$!
  attendre grep -qxF "fin-scan mode=0 video=1 son=1 image=2 texte=1" "$journal" 2>/dev/null ||
    echec "-platform offscreen $dossier: $(cat "$TRAVAIL/offscreen.log" "$journal" 2>&1)"
  kill "$PID_APP"
  wait "$PID_APP" 2>/dev/null || true
done
# Qt takes -style fusion off the line; the folder after it is scanned.
demarrer -style fusion arbre
attendre grep -q '^fin-scan' "$RUVIZARO_JOURNAL" 2>/dev/null || echec "no scan ran"
grep -qxF "fin-scan mode=0 video=1 son=1 image=2 texte=1" "$RUVIZARO_JOURNAL" ||
  echec "scan end: $(cat "$RUVIZARO_JOURNAL")"
cliquer 572 13
attendre_fin
[ "$CODE" = 0 ] || echec "exit code $CODE"
echo "PASS"
