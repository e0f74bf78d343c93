#!/usr/bin/env bash
# A whole scan from the user's side, in a real window with real input:
# type a path, press Enter, wait for the end, check the counts, switch to the
# Image zone, pick another order, close, and find that order saved.
source "$(dirname "$0")/commun.sh"

arbre="$TRAVAIL/arbre"
mkdir -p "$arbre/Vacances/Photos" "$arbre/Docs" "$arbre/.cache" "$arbre/Musique"
touch "$arbre/film.avi" "$arbre/clip.MKV" "$arbre/Vacances/plage.mpg"
touch "$arbre/Musique/chant.mp3" "$arbre/Musique/son.mp4" "$arbre/.cache/cache.ogg"
for i in $(seq 1 12); do touch "$arbre/Vacances/Photos/photo$i.jpg"; done
convert -size 640x480 gradient:skyblue-darkgreen "$arbre/Vacances/Photos/paysage.jpg"
touch "$arbre/Vacances/Photos/été.png" "$arbre/Vacances/Photos/Îles.GIF" "$arbre/.cachee.bmp"
touch "$arbre/Docs/rapport.pdf" "$arbre/Docs/notes.txt" "$arbre/Docs/archive.zip" "$arbre/Docs/LISEZMOI"
# Expected: video 3, son 3 (hidden dir included), image 16 (hidden file included), texte 2.

export RUVIZARO_JOURNAL="$TRAVAIL/journal"
demarrer

# Focus the box (the invitation goes), type the path, press Enter.
cliquer 380 151
xdotool type --delay 5 "$arbre"
xdotool key Return

for _ in $(seq 300); do
  grep -q '^fin-scan' "$RUVIZARO_JOURNAL" 2>/dev/null && break
  sleep 0.1
done
grep -q '^fin-scan mode=0 video=3 son=3 image=16 texte=2$' "$RUVIZARO_JOURNAL" ||
  echec "scan end: $(cat "$RUVIZARO_JOURNAL" 2>/dev/null)"

# The Image zone, then "Par Extension" in the drop-down.
cliquer 56 251
sleep 0.3
cliquer 493 408
sleep 0.3
xdotool key Home Return
sleep 0.5
# Open the "(13) jpg" group with a double click and select its first file.
xdotool mousemove --sync $(( FX + 170 )) $(( FY + 113 )) click --repeat 2 --delay 60 1
sleep 0.8
cliquer 190 131
sleep 0.8

import -window root -crop "586x451+$FX+$FY" +repage "$TRAVAIL/scan.png"
n=$(couleurs "$TRAVAIL/scan.png")
[ "$n" -gt 200 ] || echec "screenshot looks blank ($n colours)"
if [ -n "${RUVIZARO_CAPTURE_SCAN:-}" ]; then cp "$TRAVAIL/scan.png" "$RUVIZARO_CAPTURE_SCAN"; fi

cliquer 572 13
attendre_fin
[ "$CODE" = 0 ] || echec "exit code $CODE"
reg="$XDG_CONFIG_HOME/Dudidevir/HKEY_CURRENT_USER.reg"
grep -q '^"TreeImage"=dword:00000001$' "$reg" || echec "TreeImage not saved as 1: $(grep TreeImage "$reg")"
grep -q '^"TreeSon"=dword:00000003$' "$reg" || echec "TreeSon not saved as 3"
echo "PASS"
