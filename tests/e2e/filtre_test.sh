#!/usr/bin/env bash
# The real window: in the Son zone's tree, typed letters open the filter box
# and keep the files whose name holds them, accents and case folded ("ete"
# finds "Été" and "ÉTÉ"); an emptied box gives the whole tree back; the filter holds
# when the keys go back to the tree, until Escape there.
source "$(dirname "$0")/commun.sh"
source "$(dirname "$0")/lecture.sh"

dossier="$TRAVAIL/sons"
mkdir -p "$dossier/sous"
for nom in "Été indien.mp3" "ÉTÉ.wav" "sous/bete.ogg" "hiver.mp3" "printemps.wav"; do
  : >"$dossier/$nom"
done
export RUVIZARO_JOURNAL="$TRAVAIL/journal"
demarrer
scanner "$dossier" "fin-scan mode=0 video=0 son=5 image=0 texte=0"
ouvrir_zone 181 || echec "the Son zone does not show"
cliquer 170 113   # the tree takes the focus
xdotool type --delay 50 "ete"
attendre_que 10 grep -qxF "filtre texte=ete retenus=3" "$RUVIZARO_JOURNAL" ||
  echec "typing did not filter: $(grep filtre "$RUVIZARO_JOURNAL")"
xdotool type --delay 50 "i"
attendre_que 10 grep -qxF "filtre texte=etei retenus=0" "$RUVIZARO_JOURNAL" || echec "a fourth letter did not narrow the filter"
xdotool key BackSpace BackSpace BackSpace BackSpace
attendre_que 10 grep -qxF "filtre aucun" "$RUVIZARO_JOURNAL" || echec "an empty box did not restore the tree"
xdotool type --delay 50 "HIV"
attendre_que 10 grep -qxF "filtre texte=HIV retenus=1" "$RUVIZARO_JOURNAL" || echec "upper case did not filter"
xdotool key Return   # the keys go back to the tree; the filter holds
xdotool key Escape
attendre_que 10 test "$(grep -c '^filtre aucun' "$RUVIZARO_JOURNAL")" -eq 2 || echec "Escape in the tree did not restore it"
xdotool key ctrl+q
attendre_fin
echo "PASS"
