#!/usr/bin/env bash
# Hover highlights go when the pointer leaves fast: from the close and
# minimise pictures out of the window to the right, and from « Parcourir »,
# ">>>" and the scan picture straight onto the path box, with no move over
# the bare background in between.
source "$(dirname "$0")/commun.sh"

demarrer

# name, point hovered, area that shows the highlight (x y width height),
# where the pointer jumps to (window coordinates).
CAS=(
  "fermer 572 13 565 6 15 15 640 13"
  "reduire 557 13 550 6 15 15 640 13"
  "parcourir 190 147 148 127 72 46 380 151"
  "option 455 132 440 120 45 24 380 151"
  "scan 260 212 240 192 200 40 380 151"
)
for cas in "${CAS[@]}"; do
  read -r nom hx hy x y l h sx sy <<<"$cas"
  synchroniser || echec "the program does not follow the pointer"
  capturer "$x" "$y" "$l" "$h" "$TRAVAIL/$nom.png"
  deplacer "$hx" "$hy"
  attendre zone_changee "$x" "$y" "$l" "$h" "$TRAVAIL/$nom.png" || echec "hovering $nom shows no highlight"
  deplacer "$sx" "$sy"
  attendre zone_revenue "$x" "$y" "$l" "$h" "$TRAVAIL/$nom.png" || echec "$nom stays highlighted once the pointer left"
done
echo "PASS"
