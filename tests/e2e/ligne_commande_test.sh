#!/usr/bin/env bash
# The command line of the real binary: help and version answer without a
# display, anything else is refused with code 2, a start with no display at
# all says so with code 1, and a directory given on the line is scanned at
# once, as Enter in the path box would.
source "$(dirname "$0")/commun.sh"

# Prints "code|stdout|stderr" of the binary run without a display.
sans_affichage() {
  local code=0
  env -u DISPLAY "$BINAIRE" "$@" >"$TRAVAIL/out" 2>"$TRAVAIL/err" || code=$?
  echo "$code|$(cat "$TRAVAIL/out")|$(cat "$TRAVAIL/err")"
}

r=$(sans_affichage --help)
[[ $r == "0|Utilisation : ruvizaro [DOSSIER]"*--help*--version*"|" ]] || echec "--help: $r"
r=$(sans_affichage --version)
[ "$r" = "0|Ruvizaro 1.0|" ] || echec "--version: $r"
for ligne in "-x" "--aide" "--help --version" "/tmp /tmp" "--" ""; do
  read -r -a arguments <<<"$ligne"
  [ -n "$ligne" ] || arguments=("")
  r=$(sans_affichage "${arguments[@]}")
  [[ $r == "2||ruvizaro : "*"Essayez « ruvizaro --help »." ]] || echec "'$ligne' not refused: $r"
done

# With no display at all, one line and code 1 rather than Qt's abort.
code=0
env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM "$BINAIRE" >"$TRAVAIL/out" 2>"$TRAVAIL/err" || code=$?
[ "$code" = 1 ] && [ "$(cat "$TRAVAIL/err")" = "ruvizaro : aucun affichage graphique (ni DISPLAY ni WAYLAND_DISPLAY)." ] ||
  echec "without a display: code $code, $(cat "$TRAVAIL/err")"

# A relative directory, as a shell passes it, is scanned from the start.
arbre="$TRAVAIL/arbre"
mkdir -p "$arbre/sous"
touch "$arbre/a.avi" "$arbre/sous/b.mp3" "$arbre/sous/c.jpg" "$arbre/d.png" "$arbre/e.txt"
export RUVIZARO_JOURNAL="$TRAVAIL/journal"
cd "$TRAVAIL"
demarrer arbre
attendre grep -q '^fin-scan' "$RUVIZARO_JOURNAL" 2>/dev/null || echec "no scan ran"
grep -qxF "fin-scan mode=0 video=1 son=1 image=2 texte=1" "$RUVIZARO_JOURNAL" ||
  echec "scan end: $(cat "$RUVIZARO_JOURNAL")"
cliquer 572 13
attendre_fin
[ "$CODE" = 0 ] || echec "exit code $CODE"
echo "PASS"
