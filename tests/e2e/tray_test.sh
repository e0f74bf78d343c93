#!/usr/bin/env bash
# With a tray on the desktop, the minimise picture hides the window into the
# tray; a double click on the tray icon brings it back where it was.
source "$(dirname "$0")/commun.sh"

trayer --edge top --align left --widthtype pixel --width 100 --heighttype pixel --height 24 \
  --SetDockType false --transparent false >/dev/null 2>&1 &
PID_TRAY=$!
trap 'kill $PID_TRAY 2>/dev/null || true; nettoyer' EXIT
for _ in $(seq 50); do xdotool search --name '^panel$' >/dev/null 2>&1 && break; sleep 0.1; done

demarrer
# Wait until the icon sits in the tray.
for _ in $(seq 50); do
  xwininfo -root -tree | grep -A4 '"panel"' | grep -q '"Ruvizaro"' && break
  sleep 0.1
done
cliquer 557 13
sleep 0.5
[ -z "$(xdotool search --onlyvisible --name '^ Ruvizaro$' 2>/dev/null)" ] || echec "the window is still shown"
kill -0 "$PID_APP" || echec "the program ended"

# The tray icon is the first one of the panel, at its top left.
xdotool mousemove --sync 12 12 click --repeat 2 --delay 80 1
for _ in $(seq 30); do
  [ -n "$(xdotool search --onlyvisible --name '^ Ruvizaro$' 2>/dev/null)" ] && break
  sleep 0.1
done
eval "$(xdotool getwindowgeometry --shell "$FENETRE")"
[ -n "$(xdotool search --onlyvisible --name '^ Ruvizaro$' 2>/dev/null)" ] || echec "the window did not come back"
[ "$X" = "$FX" ] && [ "$Y" = "$FY" ] || echec "the window came back at $X,$Y"

cliquer 572 13
code=$(attendre_fin)
[ "$code" = 0 ] || echec "exit code $code"
echo "PASS"
