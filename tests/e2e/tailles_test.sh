#!/usr/bin/env bash
# The real window: the Texte zone's "▼ Taille" button shows its files
# biggest first across its folders; the list's first row is the biggest
# file (its path copied from its menu reaches the X clipboard) and its size
# column shows that file's size.
source "$(dirname "$0")/commun.sh"
source "$(dirname "$0")/lecture.sh"
command -v xclip >/dev/null || { echo "SKIP: no xclip"; exit 77; }

dossier="$TRAVAIL/textes"
mkdir -p "$dossier/a" "$dossier/b/c"
head -c 3000 /dev/zero >"$dossier/a/moyen.txt"
head -c 1000 /dev/zero >"$dossier/petit.pdf"
truncate -s 3M "$dossier/b/c/gros.txt"   # 3 Mo, sparse
head -c 2500 /dev/zero >"$dossier/b/autre.doc"
export RUVIZARO_JOURNAL="$TRAVAIL/journal"
demarrer
scanner "$dossier" "fin-scan mode=0 video=0 son=0 image=0 texte=4"
ouvrir_zone 321 || echec "the Texte zone does not show"
cliquer 542 384   # "▼ Taille", beside the drop-down
attendre_que 10 grep -q '^par-taille' "$RUVIZARO_JOURNAL" || echec "no biggest-first list: $(cat "$RUVIZARO_JOURNAL")"
grep -qxF "par-taille categorie=4 fichiers=4 premier=gros.txt taille=3 Mo" "$RUVIZARO_JOURNAL" ||
  echec "the list: $(grep par-taille "$RUVIZARO_JOURNAL")"

# The group on the first row, its biggest file on the second.
cliquer 170 113
xdotool key Down shift+F10
attendre_que 10 xdotool search --onlyvisible --name '^Actions sur le fichier$' || echec "no file menu"
xdotool key h
presse_papiers() { [ "$(xclip -selection clipboard -o 2>/dev/null)" = "$dossier/b/c/gros.txt" ]; }
attendre presse_papiers || echec "clipboard: '$(xclip -selection clipboard -o 2>&1)', expected the biggest file"
xdotool key ctrl+q
attendre_fin
echo "PASS"
