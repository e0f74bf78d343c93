#!/usr/bin/env bash
# A whole scan from the user's side, in a real window with real input:
# type a path, press Enter, wait for the end, check the counts against the
# generated tree, switch to the Image zone, open the jpg group, select a
# picture of known content and find it in the preview frame, pick another
# order, close, and find that order saved.
source "$(dirname "$0")/commun.sh"

arbre="$TRAVAIL/arbre"
mkdir -p "$arbre/Vacances/Photos" "$arbre/Docs" "$arbre/.cache" "$arbre/Musique" "$arbre/Vacances/dossier.avi"
touch "$arbre/film.avi" "$arbre/clip.MKV" "$arbre/Vacances/plage.mpg"
touch "$arbre/Musique/chant.mp3" "$arbre/Musique/son.mp4" "$arbre/.cache/cache.ogg" "$arbre/Musique/album.live.WAV"
for i in $(seq 1 12); do touch "$arbre/Vacances/Photos/photo$i.jpg"; done
touch "$arbre/Vacances/Photos/été.png" "$arbre/Vacances/Photos/Îles.GIF" "$arbre/.cachee.bmp"
touch "$arbre/Docs/rapport.pdf" "$arbre/Docs/notes.txt" "$arbre/Docs/archive.zip" "$arbre/Docs/LISEZMOI"
touch "$arbre/Docs/rapport.final.DOC" "$arbre/Vacances/dossier.avi/liste.txt" "$arbre/Docs/sans.extension."

# The picture that gets selected: the first of the "jpg" group by name,
# 640 x 480, a red left half and a blue right half. In the 160 x 160 preview
# frame it is scaled to 160 x 120 and centred: rows 20 to 139.
ROUGE="200 40 40"
BLEU="40 90 210"
convert -size 320x480 "xc:rgb(${ROUGE// /,})" -size 320x480 "xc:rgb(${BLEU// /,})" +append \
  -quality 95 "$arbre/Vacances/Photos/paysage.jpg"

# The expected counters, from the files just made and the program's table of
# extensions (the case of an extension does not matter; hidden files and
# directories are walked by default).
VIDEO=(avi mpg mpeg mov wmv divx qt asf mkv)
SON=(mp3 wav wma mid midi ogg mp2 mp4)
IMAGE=(jpg jpeg ico bmp gif png)
TEXTE=(txt doc xls pdf rtf pps ppt)
compter() {
  local n=0 nom ext e
  while IFS= read -r -d '' nom; do
    nom=${nom##*/}
    [[ $nom == *.* ]] || continue
    ext=${nom##*.}
    ext=${ext,,}
    for e in "$@"; do
      if [ "$ext" = "$e" ]; then n=$((n + 1)); break; fi
    done
  done < <(find "$arbre" -type f -print0)
  echo "$n"
}
attendu="fin-scan mode=0 video=$(compter "${VIDEO[@]}") son=$(compter "${SON[@]}")"
attendu+=" image=$(compter "${IMAGE[@]}") texte=$(compter "${TEXTE[@]}")"
# Every category has files, and the "jpg" group the 13 the clicks below expect.
[[ $attendu =~ video=[1-9].*son=[1-9].*image=[1-9].*texte=[1-9] ]] || echec "generated tree: $attendu"
[ "$(compter jpg)" = 13 ] || echec "generated tree: $(compter jpg) jpg files"

export RUVIZARO_JOURNAL="$TRAVAIL/journal"
demarrer

# Focus the box (the invitation goes), type the path, press Enter.
cliquer 380 151
xdotool type --delay 5 "$arbre"
xdotool key Return

attendre_que 30 grep -q '^fin-scan' "$RUVIZARO_JOURNAL" 2>/dev/null || true
[ "$(grep -c '^fin-scan' "$RUVIZARO_JOURNAL" 2>/dev/null)" = 1 ] ||
  echec "no single scan end in the journal: $(cat "$RUVIZARO_JOURNAL" 2>/dev/null)"
grep -qxF "$attendu" "$RUVIZARO_JOURNAL" ||
  echec "scan end: $(cat "$RUVIZARO_JOURNAL"), expected: $attendu"

# The Image zone, then "Par Extension" in the drop-down: the tree's first
# row changes from the directory to the first group.
PREMIER_RANG=(140 106 250 14)
ouvrir_zone 251 || echec "the Image zone does not show"
capturer "${PREMIER_RANG[@]}" "$TRAVAIL/rang1.png"
choisir_par_extension || echec "no choice in the drop-down"
attendre zone_changee "${PREMIER_RANG[@]}" "$TRAVAIL/rang1.png" || echec "the tree does not change order"

# The preview frame, 160 x 160 at (413, 105) in the window.
cadre() { import -window root -crop "160x160+$(( FX + 413 ))+$(( FY + 105 ))" +repage "$1"; }

# Checks a frame against the two-halves picture with the given left and
# right colours: three points inside each half match their colour, and a
# point in the empty bands above and below matches neither (the picture
# keeps its shape). Sets DETAIL on a mismatch.
TOLERANCE=40
POINTS=("20,40 G" "40,80 G" "60,120 G" "100,40 D" "120,80 D" "140,120 D" "40,8 -" "120,152 -")
montre() {
  local image=$1 gauche=$2 droite=$3 i point attendue vue
  local -a vues
  mapfile -t vues < <(pixels "$image" "${POINTS[@]%% *}")
  [ ${#vues[@]} = ${#POINTS[@]} ] || { DETAIL=" cannot read $image"; return 1; }
  DETAIL=""
  for i in "${!POINTS[@]}"; do
    read -r point attendue <<<"${POINTS[i]}"
    vue=${vues[i]}
    case $attendue in
      G) [ "$(ecart "$vue" "$gauche")" -le $TOLERANCE ] || DETAIL+=" ($point)=$vue, not $gauche;" ;;
      D) [ "$(ecart "$vue" "$droite")" -le $TOLERANCE ] || DETAIL+=" ($point)=$vue, not $droite;" ;;
      -) [ "$(ecart "$vue" "$gauche")" -gt $TOLERANCE ] && [ "$(ecart "$vue" "$droite")" -gt $TOLERANCE ] ||
           DETAIL+=" ($point)=$vue is the picture's;" ;;
    esac
  done
  [ -z "$DETAIL" ]
}

# Before any selection the frame does not show the picture.
cadre "$TRAVAIL/cadre-vide.png"
! montre "$TRAVAIL/cadre-vide.png" "$ROUGE" "$BLEU" || echec "the preview frame shows the picture before it is selected"

# Open the "(13) jpg" group with a double click and select its first file,
# paysage.jpg, once it shows on the second row.
DEUXIEME_RANG=(140 124 250 14)
capturer "${DEUXIEME_RANG[@]}" "$TRAVAIL/rang2.png"
xdotool mousemove --sync $(( FX + 170 )) $(( FY + 113 )) click --repeat 2 --delay 60 1
attendre zone_changee "${DEUXIEME_RANG[@]}" "$TRAVAIL/rang2.png" || echec "the jpg group does not open"
cliquer 190 131

photo_montree() {
  cadre "$TRAVAIL/cadre.png"
  montre "$TRAVAIL/cadre.png" "$ROUGE" "$BLEU"
}
attendre photo_montree || echec "the preview frame does not show paysage.jpg:$DETAIL"
# The same frame against the mirrored picture does not match.
! montre "$TRAVAIL/cadre.png" "$BLEU" "$ROUGE" || echec "the frame check does not tell left from right"

import -window root -crop "586x451+$FX+$FY" +repage "$TRAVAIL/scan.png"
if [ -n "${RUVIZARO_CAPTURE_SCAN:-}" ]; then cp "$TRAVAIL/scan.png" "$RUVIZARO_CAPTURE_SCAN"; fi

cliquer 572 13
attendre_fin
[ "$CODE" = 0 ] || echec "exit code $CODE"
reg="$XDG_CONFIG_HOME/Dudidevir/HKEY_CURRENT_USER.reg"
grep -q '^"TreeImage"=dword:00000001$' "$reg" || echec "TreeImage not saved as 1: $(grep TreeImage "$reg")"
grep -q '^"TreeSon"=dword:00000003$' "$reg" || echec "TreeSon not saved as 3"
echo "PASS"
