#!/usr/bin/env bash
# The real program without a sound card, SDL choosing its driver: Enter scans,
# F5 scans again, Space plays, Ctrl+Q closes; stderr has no "ALSA lib" line
# and the French line about the silent output once.
source "$(dirname "$0")/commun.sh"
source "$(dirname "$0")/lecture.sh"
unset SDL_AUDIODRIVER
[ -e /dev/snd/pcmC0D0p ] && { echo "SKIP: this machine has a sound card"; exit 77; }

dossier="$TRAVAIL/sons"
mkdir -p "$dossier"
ffmpeg -v error -nostdin -f lavfi -i "sine=frequency=440:duration=20" "$dossier/la.wav" || echec "no sound made"
export RUVIZARO_JOURNAL="$TRAVAIL/journal"
demarrer
scanner "$dossier" "fin-scan mode=0 video=0 son=1 image=0 texte=0"
xdotool key F5
attendre_que 30 test "$(grep -c '^fin-scan' "$RUVIZARO_JOURNAL")" -eq 2 || echec "no second scan after F5"

selectionner_seul_fichier 181
temps "$TRAVAIL/temps0.png"
xdotool key space
attendre_temps_nouveau "$TRAVAIL/temps1.png" "$TRAVAIL/temps0.png" || echec "Space did not play the sound"
xdotool key ctrl+q
attendre_fin
[ "$CODE" -eq 0 ] || echec "Ctrl+Q: exit code $CODE"
grep -q 'ALSA lib' "$TRAVAIL/sortie.log" && echec "ALSA's messages on stderr"
[ "$(grep -c 'aucune sortie son' "$TRAVAIL/sortie.log")" -eq 1 ] || echec "not one line about the silent output"
echo "PASS"
