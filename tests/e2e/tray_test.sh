#!/usr/bin/env bash
# With a tray on the desktop, the minimise picture hides the window into the
# tray; a double click on the tray icon brings it back where it was.
source "$(dirname "$0")/commun.sh"

trayer --edge top --align left --widthtype pixel --width 100 --heighttype pixel --height 24 \
  --SetDockType false --transparent false >/dev/null 2>&1 &
PID_TRAY=$!
trap 'kill $PID_TRAY 2>/dev/null || true; nettoyer' EXIT
panneau_montre() { xdotool search --name '^panel$' >/dev/null 2>&1; }
attendre_que 5 panneau_montre || true

demarrer
# Wait until the icon sits in the tray.
dans_le_tiroir() { xwininfo -root -tree | grep -A12 '"panel"' | grep -q '"Ruvizaro"'; }
attendre dans_le_tiroir || echec "the icon never reached the tray"
cliquer 557 13
montree() { [ -n "$(xdotool search --onlyvisible --name '^ Ruvizaro$' 2>/dev/null)" ]; }
cachee() { ! montree; }
attendre cachee || echec "the window is still shown"
kill -0 "$PID_APP" || echec "the program ended"

# The tray icon is the first one of the panel, at its top left.
xdotool mousemove --sync 12 12 click --repeat 2 --delay 80 1
attendre montree || echec "the window did not come back"
eval "$(xdotool getwindowgeometry --shell "$FENETRE")"
[ "$X" = "$FX" ] && [ "$Y" = "$FY" ] || echec "the window came back at $X,$Y"

cliquer 572 13
attendre_fin
[ "$CODE" = 0 ] || echec "exit code $CODE"
echo "PASS"
