#!/usr/bin/env bash
# The real program in a real window: it shows its skinned window, moves only
# when its background is dragged, closes through the close picture with
# exit code 0, and has saved its settings.
source "$(dirname "$0")/commun.sh"

demarrer
[ "$WIDTH" = 586 ] && [ "$HEIGHT" = 451 ] || echec "window is ${WIDTH}x${HEIGHT}"
# Centred on the 1024 x 768 screen.
[ "$FX" = 219 ] && [ "$FY" = 158 ] || echec "window at $FX,$FY, not centred"

import -window root -crop "586x451+$FX+$FY" +repage "$TRAVAIL/fenetre.png"
[ "$(identify -format '%wx%h' "$TRAVAIL/fenetre.png")" = 586x451 ] || echec "screenshot size"
n=$(couleurs "$TRAVAIL/fenetre.png")
[ "$n" -gt 200 ] || echec "screenshot looks blank ($n colours)"
if [ -n "${RUVIZARO_CAPTURE:-}" ]; then cp "$TRAVAIL/fenetre.png" "$RUVIZARO_CAPTURE"; fi

# The window's place is the one given (X and Y are left set).
fenetre_a() {
  eval "$(xdotool getwindowgeometry --shell "$FENETRE")"
  [ "$X" = "$1" ] && [ "$Y" = "$2" ]
}
# After a drag that must leave the window in place: once the program has
# taken every pointer event (see synchroniser), the window is where it was.
verifier_sur_place() {
  local suivi=0
  synchroniser && suivi=1
  fenetre_a "$FX" "$FY" || echec "$1 moved the window to $X,$Y from $FX,$FY"
  [ "$suivi" = 1 ] || echec "the program does not follow the pointer after $1"
}

# Dragging the background moves the window; dragging a label does not.
deplacer 300 20
xdotool mousedown 1
for pas in 10 20 30 40 50; do xdotool mousemove --sync $(( FX + 300 + pas )) $(( FY + 20 + pas / 2 )); done
xdotool mouseup 1
attendre fenetre_a $(( FX + 50 )) $(( FY + 25 )) || echec "drag moved the window to $X,$Y from $FX,$FY"
FX=$X FY=$Y
# Right after it, a drag that starts on a picture button (the scan picture)
# or on a menu zone leaves the window where it is: a drag lives from its own
# press to its release.
for depart in "260 212" "56 111"; do
  read -r dx dy <<<"$depart"
  deplacer "$dx" "$dy"
  xdotool mousedown 1
  for pas in 20 40 60; do xdotool mousemove --sync $(( FX + dx + pas )) $(( FY + dy + pas )); done
  xdotool mouseup 1
  verifier_sur_place "a drag from $depart"
done
deplacer 300 130
xdotool mousedown 1
xdotool mousemove --sync $(( FX + 340 )) $(( FY + 170 ))
xdotool mouseup 1
verifier_sur_place "dragging a label"

cliquer 572 13
attendre_fin
[ "$CODE" = 0 ] || echec "exit code $CODE"

reg="$XDG_CONFIG_HOME/Dudidevir/HKEY_CURRENT_USER.reg"
[ -f "$reg" ] || echec "no settings file"
for nom in FichierCache RepertoireCache SousRepertoire DessinSon TreeVideo TreeSon TreeImage TreeTexte; do
  grep -q "^\"$nom\"=dword:" "$reg" || echec "settings file lacks $nom"
done
grep -q '^"TreeTexte"=dword:00000001$' "$reg" || echec "TreeTexte not saved as 1"
grep -q '^"TreeVideo"=dword:00000003$' "$reg" || echec "TreeVideo not saved as 3"
echo "PASS"
