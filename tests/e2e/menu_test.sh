#!/usr/bin/env bash
# The menu strip with real pointer moves and clicks: a hovered zone shows its
# highlight; once clicked, it shows the selection strip alone, at once.
source "$(dirname "$0")/commun.sh"

demarrer

# Takes the 100 x 70 zone whose top is at y (window coordinates).
capturer_zone() {
  import -window root -crop "100x70+$(( FX + 6 ))+$(( FY + $1 ))" +repage "$TRAVAIL/$2.png"
}
# Number of pixels that differ between two captures.
difference() {
  compare -metric AE "$TRAVAIL/$1.png" "$TRAVAIL/$2.png" null: 2>&1 || true
}
# The pointer to the bare top of the window, once the program has taken
# every pointer event before (see synchroniser).
vers_fond() {
  synchroniser || echec "the program does not follow the pointer"
}
# The zone at y, captured as the second name, differs from the first capture.
zone_differente() {
  capturer_zone "$1" "$3"
  [ "$(difference "$2" "$3")" != 0 ]
}

for zone in "Video 76" "Transfert 356"; do
  read -r nom y <<<"$zone"
  # Hovered: a highlight the capture sees.
  vers_fond
  capturer_zone "$y" "$nom-avant"
  xdotool mousemove --sync $(( FX + 56 )) $(( FY + y + 35 ))
  attendre zone_differente "$y" "$nom-avant" "$nom-survol" || echec "hovering $nom draws no highlight"
  # Clicked with the pointer still on it: the strip alone, as the bare
  # background shows it afterwards.
  # Once the program has taken the click, the zone no longer looks hovered
  # (checked below against the bare background).
  xdotool click 1
  attendre zone_differente "$y" "$nom-survol" "$nom-clic" || true
  vers_fond
  capturer_zone "$y" "$nom-bandeau"
  n=$(difference "$nom-clic" "$nom-bandeau")
  [ "$n" = 0 ] || echec "the selected $nom zone keeps a highlight ($n pixels differ)"
  [ "$(difference "$nom-avant" "$nom-bandeau")" != 0 ] || echec "clicking $nom changed nothing"
done
echo "PASS"
