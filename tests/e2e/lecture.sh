# Shared by the player tests (sourced after commun.sh): scan a folder through
# the path box, open a category's only group, select its file, and compare
# parts of the screen (with commun.sh's capturer, differents and pareils).

# Types a folder into the path box, presses Enter and waits up to 30 s for
# the scan's end; checks the journal's line for it against the expected one.
scanner() {
  local dossier=$1 attendu=$2
  cliquer 380 151
  xdotool type --delay 5 "$dossier"
  xdotool key Return
  attendre_que 30 grep -q '^fin-scan' "$RUVIZARO_JOURNAL" 2>/dev/null || true
  grep -qxF "$attendu" "$RUVIZARO_JOURNAL" 2>/dev/null ||
    echec "scan end: $(cat "$RUVIZARO_JOURNAL" 2>/dev/null), expected: $attendu"
}

# The name label under the player (415, 315): empty until a file is
# selected. Waits up to 5 s for it to show something.
NOM_X=415 NOM_Y=315 NOM_L=150 NOM_H=14
nom_montre() {
  capturer $NOM_X $NOM_Y $NOM_L $NOM_H "$TRAVAIL/nom.png"
  [ "$(couleurs "$TRAVAIL/nom.png")" -gt 2 ]
}
attendre_nom() {
  attendre_que 5 nom_montre
}

# The tree's second row, where the group's file shows once the group is open.
DEUXIEME_RANG=(140 124 250 14)

# In the category zone at window height y: choose "Par Extension" in the
# drop-down, open the first group (the only one) and select its first file.
# Tries again, a few times, when no name shows.
selectionner_seul_fichier() {
  local zone_y=$1 essai
  ouvrir_zone "$zone_y" || echec "the zone at $zone_y does not show"
  attendre nom_vide || echec "the name label shows something before any selection"
  for essai in 1 2 3; do
    choisir_par_extension || echec "no choice in the drop-down at try $essai"
    # The group "(1) ext" on the first row: a click selects it, Right opens
    # it, and a click on the second row, once the file shows there, selects
    # the file.
    cliquer 170 113
    capturer "${DEUXIEME_RANG[@]}" "$TRAVAIL/rang.png"
    xdotool key Right
    attendre zone_changee "${DEUXIEME_RANG[@]}" "$TRAVAIL/rang.png" || echo "the group did not open at try $essai" >&2
    cliquer 190 131
    attendre_nom && return 0
    echo "no file selected at try $essai; again" >&2
    # Back to a known state: the group closed.
    cliquer 170 113
    xdotool key Left
  done
  echec "no file selected after three tries"
}
nom_vide() {
  capturer $NOM_X $NOM_Y $NOM_L $NOM_H "$TRAVAIL/nom.png"
  [ "$(couleurs "$TRAVAIL/nom.png")" -le 2 ]
}

# The current time label (411, 272), "00:00:00" before playing.
TEMPS_X=411 TEMPS_Y=272 TEMPS_L=72 TEMPS_H=14
temps() { capturer $TEMPS_X $TEMPS_Y $TEMPS_L $TEMPS_H "$1"; }

# The play/pause button (414, 293), 12 x 12. The pointer leaves it first, off
# the window: "mousemove --sync" to where the pointer already is waits for a
# move that never comes.
play_pause() {
  xdotool mousemove --sync $(( FX + 620 )) $(( FY + 200 ))
  cliquer 420 299
}

# Waits up to 10 s for the time label to differ from every picture given;
# leaves the new one in the file named first.
attendre_temps_nouveau() {
  attendre_que 10 temps_different_de "$@"
}
# The time label, pictured in the first file, is unlike every picture after it.
temps_different_de() {
  local sortie=$1 p
  shift
  temps "$sortie"
  for p in "$@"; do pareils "$sortie" "$p" && return 1; done
  return 0
}

# The time advances: from the picture of "00:00:00" given, it takes two new
# values in turn, each unlike every earlier one.
verifier_temps_avance() {
  local zero=$1
  attendre_temps_nouveau "$TRAVAIL/temps1.png" "$zero" ||
    echec "the current time stays at its value before play"
  attendre_temps_nouveau "$TRAVAIL/temps2.png" "$zero" "$TRAVAIL/temps1.png" ||
    echec "the current time does not advance past its first value"
}

# After pause: within 10 s, two pictures of the time label 1.5 s apart are
# equal (while playing they differ: the label counts seconds), and so are
# two pictures of the given area; the label is not back at "00:00:00".
# Arguments: the "00:00:00" picture, then x y width height of the area.
verifier_pause() {
  local zero=$1 tenu=0
  shift
  for _ in $(seq 6); do
    temps "$TRAVAIL/pause1.png"
    capturer "$@" "$TRAVAIL/zone-pause1.png"
    sleep 1.5   # time is what is checked: playing, the label would change within this
    temps "$TRAVAIL/pause2.png"
    capturer "$@" "$TRAVAIL/zone-pause2.png"
    if pareils "$TRAVAIL/pause1.png" "$TRAVAIL/pause2.png" &&
       pareils "$TRAVAIL/zone-pause1.png" "$TRAVAIL/zone-pause2.png"; then
      tenu=1
      break
    fi
  done
  [ "$tenu" = 1 ] || echec "after pause the time or the picture keeps changing"
  differents "$TRAVAIL/pause2.png" "$zero" || echec "pause sent the current time back to 00:00:00"
}
