#!/usr/bin/env bash
# A settings value of the wrong type ends the start with one message box and
# exit code 1; no main window is shown.
source "$(dirname "$0")/commun.sh"

mkdir -p "$XDG_CONFIG_HOME/Dudidevir"
printf '%s\n' 'Windows Registry Editor Version 5.00' '' \
  '[HKEY_CURRENT_USER\Software\Dudidevir\Ruvizaro\1.0]' '"SousRepertoire"="1"' \
  >"$XDG_CONFIG_HOME/Dudidevir/HKEY_CURRENT_USER.reg"

"$BINAIRE" >"$TRAVAIL/sortie.log" 2>&1 &
PID_APP=$!
boite=""
boite_montree() {
  boite=$(xdotool search --onlyvisible --name "Ruvizaro" 2>/dev/null | head -n1 || true)
  [ -n "$boite" ]
}
attendre_que 20 boite_montree || echec "no message box"
eval "$(xdotool getwindowgeometry --shell "$boite")"
[ "$WIDTH" != 586 ] || echec "the main window was shown"
[ "$(xdotool search --onlyvisible --name "Ruvizaro" | wc -l)" = 1 ] || echec "more than one window"
# The box is drawn (its text and button, not a bare area) before it is
# answered.
boite_dessinee() {
  import -window root -crop "${WIDTH}x${HEIGHT}+$X+$Y" +repage "$TRAVAIL/boite.png" 2>/dev/null &&
    [ "$(couleurs "$TRAVAIL/boite.png")" -gt 2 ]
}
attendre boite_dessinee || echec "the message box is not drawn"
xdotool windowfocus --sync "$boite" key Return
attendre_fin
[ "$CODE" = 1 ] || echec "exit code $CODE"
echo "PASS"
