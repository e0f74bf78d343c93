# Shared by the end-to-end tests: a private X server, the real binary, and
# a few helpers around xdotool and ImageMagick.
set -euo pipefail

BINAIRE=${1:?path of the ruvizaro binary}
TRAVAIL=$(mktemp -d)
export XDG_CONFIG_HOME="$TRAVAIL/config"
export HOME="$TRAVAIL/home"
mkdir -p "$XDG_CONFIG_HOME" "$HOME"
unset QT_QPA_PLATFORM
export QT_QPA_PLATFORM=xcb

# A private X server; it picks a free display number itself and writes it
# once it accepts connections.
PID_X=""
PID_APP=""
demarrer_x() {
  for _ in 1 2 3 4 5; do
    : >"$TRAVAIL/affichage"
    Xvfb -displayfd 5 -screen 0 1024x768x24 -nolisten tcp -noreset 5>"$TRAVAIL/affichage" >/dev/null 2>&1 &
    PID_X=$!
    for _ in $(seq 300); do
      if [ -s "$TRAVAIL/affichage" ]; then
        export DISPLAY=":$(tr -d '[:space:]' <"$TRAVAIL/affichage")"
        xdpyinfo >/dev/null 2>&1 && return 0
      fi
      kill -0 "$PID_X" 2>/dev/null || break
      sleep 0.1
    done
    # It did not come up (a display still being released, say): try again.
    kill "$PID_X" 2>/dev/null || true
    wait "$PID_X" 2>/dev/null || true
    sleep 0.5
  done
  echo "FAIL: no X server" >&2
  exit 1
}

nettoyer() {
  [ -n "$PID_APP" ] && kill "$PID_APP" 2>/dev/null || true
  if [ -n "$PID_X" ]; then
    kill "$PID_X" 2>/dev/null || true
    wait "$PID_X" 2>/dev/null || true
  fi
  rm -rf "$TRAVAIL"
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
  for _ in $(seq 100); do "$@" && return 0; sleep 0.1; done
  return 1
}

# Starts the program with the given arguments and waits for its window;
# sets FENETRE, FX, FY.
demarrer() {
  "$BINAIRE" "$@" >"$TRAVAIL/sortie.log" 2>&1 &
  PID_APP=$!
  FENETRE=""
  for _ in $(seq 300); do
    FENETRE=$(xdotool search --onlyvisible --name '^ Ruvizaro$' 2>/dev/null | head -n1 || true)
    [ -n "$FENETRE" ] && break
    kill -0 "$PID_APP" 2>/dev/null || { cat "$TRAVAIL/sortie.log" >&2; echec "the program ended at start-up"; }
    sleep 0.1
  done
  [ -n "$FENETRE" ] || echec "no window appeared"
  sleep 0.5
  eval "$(xdotool getwindowgeometry --shell "$FENETRE")"
  FX=$X FY=$Y
}

# Clicks at a point given in window coordinates.
cliquer() {
  xdotool mousemove --sync $(( FX + $1 )) $(( FY + $2 ))
  sleep 0.1
  xdotool click 1
}

# Waits for the program to end; sets CODE to its exit code (124: still running).
attendre_fin() {
  CODE=124
  for _ in $(seq 300); do
    if ! kill -0 "$PID_APP" 2>/dev/null; then
      set +e
      wait "$PID_APP"
      CODE=$?
      set -e
      PID_APP=""
      return 0
    fi
    sleep 0.1
  done
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
