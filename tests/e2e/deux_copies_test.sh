#!/usr/bin/env bash
# Two copies of the program at once on one settings file: the second
# changes the Son order and closes, then the first, loaded before that
# save, changes the Video order and closes. Both changes are in the file.
source "$(dirname "$0")/commun.sh"

reg="$XDG_CONFIG_HOME/Dudidevir/HKEY_CURRENT_USER.reg"
fenetres() { [ "$(xdotool search --onlyvisible --name '^ Ruvizaro$' 2>/dev/null | wc -l)" = "$1" ]; }

demarrer
PID_PREMIERE=$PID_APP
# The second window opens over the first, at the same place.
"$BINAIRE" >"$TRAVAIL/seconde.log" 2>&1 &
PID_APP=$!
attendre_que 30 fenetres 2 || echec "the second copy shows no window"
attendre_que 10 fenetre_dessinee || echec "the second window is not drawn"

ouvrir_zone 181 || echec "the Son zone does not show in the second copy"
choisir_par_extension || echec "no choice in the second copy's drop-down"
cliquer 572 13
attendre_fin
[ "$CODE" = 0 ] || echec "second copy: exit code $CODE"
grep -q '^"TreeSon"=dword:00000001$' "$reg" || echec "the second copy did not save TreeSon: $(cat "$reg")"

PID_APP=$PID_PREMIERE
attendre fenetres 1 || echec "the first window is gone"
ouvrir_zone 111 || echec "the Video zone does not show in the first copy"
choisir_par_extension || echec "no choice in the first copy's drop-down"
cliquer 572 13
attendre_fin
[ "$CODE" = 0 ] || echec "first copy: exit code $CODE"
grep -q '^"TreeVideo"=dword:00000001$' "$reg" || echec "the first copy did not save TreeVideo: $(cat "$reg")"
grep -q '^"TreeSon"=dword:00000001$' "$reg" || echec "the first copy's save lost the second's TreeSon: $(cat "$reg")"
echo "PASS"
