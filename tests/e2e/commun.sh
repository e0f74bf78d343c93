# Shared by the end-to-end tests: a private X server, the real binary, and
# a few helpers around xdotool and ImageMagick.
set -euo pipefail

BINAIRE=${1:?path of the ruvizaro binary}
TRAVAIL=$(mktemp -d)
export XDG_CONFIG_HOME="$TRAVAIL/config"
export HOME="$TRAVAIL/home"
# The sound libraries' runtime files (without one, libpulse leaves a folder
# in /tmp at each start).
export XDG_RUNTIME_DIR="$TRAVAIL/run"
mkdir -p "$XDG_CONFIG_HOME" "$HOME"
mkdir -m 700 "$XDG_RUNTIME_DIR"
unset QT_QPA_PLATFORM
export QT_QPA_PLATFORM=xcb

# Runs a command again and again until it succeeds, for at most the given
# number of seconds (decimals allowed) times RUVIZARO_E2E_FACTEUR (a slower
# build, such as ThreadSanitizer's, sets it); returns 1 when the time runs
# out. The short pause between two tries is the polling of the condition.
attendre_que() {
  local delai=$1 fin
  shift
  fin=$(( ${EPOCHREALTIME//[^0-9]/} + $(awk -v s="$delai" -v f="${RUVIZARO_E2E_FACTEUR:-1}" 'BEGIN { printf "%d", s * f * 1000000 }') ))
  while :; do
    "$@" && return 0
    [ "${EPOCHREALTIME//[^0-9]/}" -lt "$fin" ] || return 1
    sleep 0.05
  done
}

# A private X server; it picks a free display number itself and writes it
# once it accepts connections.
PID_X=""
PID_APP=""
# True once the server answers (DISPLAY is then set), or once it has ended.
x_pret_ou_fini() {
  if [ -s "$TRAVAIL/affichage" ]; then
    export DISPLAY=":$(tr -d '[:space:]' <"$TRAVAIL/affichage")"
    xdpyinfo >/dev/null 2>&1 && return 0
  fi
  ! kill -0 "$PID_X" 2>/dev/null
}
demarrer_x() {
  for _ in 1 2 3 4 5; do
    : >"$TRAVAIL/affichage"
    Xvfb -displayfd 5 -screen 0 1024x768x24 -nolisten tcp -noreset 5>"$TRAVAIL/affichage" >/dev/null 2>&1 &
    PID_X=$!
    if attendre_que 30 x_pret_ou_fini && kill -0 "$PID_X" 2>/dev/null; then return 0; fi
    # It did not come up: try again; the server picks another free display.
    kill "$PID_X" 2>/dev/null || true
    wait "$PID_X" 2>/dev/null || true
  done
  echo "FAIL: no X server" >&2
  exit 1
}

nettoyer() {
  local code=$?
  [ -n "$PID_APP" ] && kill "$PID_APP" 2>/dev/null || true
  if [ -n "$PID_X" ]; then
    kill "$PID_X" 2>/dev/null || true
    wait "$PID_X" 2>/dev/null || true
  fi
  # Under ThreadSanitizer a report fails the test, whatever it saw.
  if grep -qs 'WARNING: ThreadSanitizer' "$TRAVAIL"/*.log; then
    cat "$TRAVAIL"/*.log >&2
    code=1
  fi
  rm -rf "$TRAVAIL"
  exit "$code"
}
trap nettoyer EXIT
demarrer_x

echec() {
  echo "FAIL: $*" >&2
  if [ -s "$TRAVAIL/sortie.log" ]; then echo "--- program output:" >&2; cat "$TRAVAIL/sortie.log" >&2; fi
  exit 1
}

# Waits up to 10 s for a command to succeed.
attendre() {
  attendre_que 10 "$@"
}

# Sets FENETRE to the main window once it is shown; fails the test when the
# program has ended.
fenetre_montree() {
  FENETRE=$(xdotool search --onlyvisible --name '^ Ruvizaro$' 2>/dev/null | head -n1 || true)
  [ -n "$FENETRE" ] && return 0
  kill -0 "$PID_APP" 2>/dev/null || echec "the program ended at start-up"
  return 1
}

# The main window is drawn: its picture on the screen has the skin's many
# colours, not a blank or half-drawn area.
fenetre_dessinee() {
  eval "$(xdotool getwindowgeometry --shell "$FENETRE")" || return 1
  import -window root -crop "${WIDTH}x${HEIGHT}+$X+$Y" +repage "$TRAVAIL/demarrage.png" 2>/dev/null || return 1
  [ "$(couleurs "$TRAVAIL/demarrage.png")" -gt 200 ]
}

# Starts the program with the given arguments and waits for its window,
# shown and drawn; sets FENETRE, FX, FY.
demarrer() {
  "$BINAIRE" "$@" >"$TRAVAIL/sortie.log" 2>&1 &
  PID_APP=$!
  FENETRE=""
  attendre_que 30 fenetre_montree || echec "no window appeared"
  attendre_que 10 fenetre_dessinee || echec "the window is not drawn"
  eval "$(xdotool getwindowgeometry --shell "$FENETRE")"
  FX=$X FY=$Y
}

# Moves the pointer to a point given in window coordinates and waits until
# the X server has it there. ("mousemove --sync" to where the pointer
# already is would wait for a move that never comes.)
deplacer() {
  local x=$(( FX + $1 )) y=$(( FY + $2 )) X Y SCREEN WINDOW
  eval "$(xdotool getmouselocation --shell)"
  [ "$X" = "$x" ] && [ "$Y" = "$y" ] && return 0
  xdotool mousemove --sync "$x" "$y"
}

# Clicks at a point given in window coordinates. The program takes the move
# before the press: the X server hands events over in order.
cliquer() {
  deplacer "$1" "$2"
  xdotool click 1
}

programme_fini() { ! kill -0 "$PID_APP" 2>/dev/null; }

# Waits up to 30 s for the program to end; sets CODE to its exit code (124:
# still running).
attendre_fin() {
  CODE=124
  if attendre_que 30 programme_fini; then
    set +e
    wait "$PID_APP"
    CODE=$?
    set -e
    PID_APP=""
  fi
}

# Number of distinct colours of a picture.
couleurs() { identify -format '%k' "$1"; }

# Prints "r g b" (0 to 255) of pixels of a picture, one line per point given
# as "x,y".
pixels() {
  local image=$1 format="" p
  shift
  for p in "$@"; do
    format+="%[fx:round(255*p{$p}.r)] %[fx:round(255*p{$p}.g)] %[fx:round(255*p{$p}.b)]\n"
  done
  convert "$image" -format "$format" info:
}

# Largest difference over the three channels between two "r g b" colours.
ecart() {
  local a b
  read -r -a a <<<"$1"
  read -r -a b <<<"$2"
  local m=0 i d
  for i in 0 1 2; do
    d=$(( a[i] - b[i] )); d=${d#-}
    [ "$d" -gt "$m" ] && m=$d
  done
  echo "$m"
}

# A part of the window as a picture: x y width height file, in window
# coordinates.
capturer() {
  import -window root -crop "$3x$4+$(( FX + $1 ))+$(( FY + $2 ))" +repage "$5"
}

# How many pixels differ between two pictures of the same size.
pixels_differents() {
  local n
  n=$(compare -metric AE "$1" "$2" null: 2>&1 || true)
  [[ $n =~ ^[0-9]+$ ]] || { echo "cannot compare $1 and $2: $n" >&2; echo -1; return; }
  echo "$n"
}
differents() { [ "$(pixels_differents "$1" "$2")" -gt 0 ]; }
pareils() { [ "$(pixels_differents "$1" "$2")" = 0 ]; }

# A part of the window (x y width height) looks unlike the reference
# picture given last; the new picture is left beside the reference, with
# ".apres.png" appended to its name.
zone_changee() {
  capturer "$1" "$2" "$3" "$4" "$5.apres.png" && differents "$5.apres.png" "$5"
}
zone_revenue() {
  capturer "$1" "$2" "$3" "$4" "$5.apres.png" && pareils "$5.apres.png" "$5"
}

# Waits until the program has taken every pointer event sent so far: the
# pointer goes over the "Texte" zone of the menu strip, which the program
# highlights when it has seen it come, then back to the bare top of the
# window, where the highlight goes. Leaves the pointer there. Fails (1)
# when the program does not answer within 10 s, or the window has moved.
ZONE_TEMOIN=(6 286 100 70)
synchroniser() {
  deplacer 300 20
  capturer "${ZONE_TEMOIN[@]}" "$TRAVAIL/temoin.png"
  deplacer 56 321
  attendre_que 10 zone_changee "${ZONE_TEMOIN[@]}" "$TRAVAIL/temoin.png" || return 1
  deplacer 300 20
  attendre_que 10 zone_revenue "${ZONE_TEMOIN[@]}" "$TRAVAIL/temoin.png"
}

# Clicks a zone of the menu strip (at window height y) and waits until its
# panel has replaced the home panel: the tree's white area shows where the
# home panel has its bare background.
ZONE_ARBRE=(115 300 100 100)
ouvrir_zone() {
  capturer "${ZONE_ARBRE[@]}" "$TRAVAIL/panneau.png"
  cliquer 56 "$1"
  attendre zone_changee "${ZONE_ARBRE[@]}" "$TRAVAIL/panneau.png"
}

# In a zone's panel, chooses "Par Extension" in the drop-down (493, 408):
# waits until its list is open, over the drop-down and above or below it,
# then takes the first entry with the keyboard and waits until the list has
# gone from above and below the drop-down.
LISTE=(413 340 160 110)
LISTE_DESSUS=(413 340 160 55)
LISTE_DESSOUS=(413 420 160 30)
liste_fermee() {
  zone_revenue "${LISTE_DESSUS[@]}" "$TRAVAIL/dessus.png" && zone_revenue "${LISTE_DESSOUS[@]}" "$TRAVAIL/dessous.png"
}
choisir_par_extension() {
  capturer "${LISTE[@]}" "$TRAVAIL/liste.png"
  capturer "${LISTE_DESSUS[@]}" "$TRAVAIL/dessus.png"
  capturer "${LISTE_DESSOUS[@]}" "$TRAVAIL/dessous.png"
  cliquer 493 408
  attendre zone_changee "${LISTE[@]}" "$TRAVAIL/liste.png" || { echo "the drop-down's list does not open" >&2; return 1; }
  xdotool key Home Return
  attendre liste_fermee || { echo "the drop-down's list does not close" >&2; return 1; }
}
