#!/usr/bin/env bash
# The program from the keyboard, on a machine without a sound card and with
# SDL left to choose its driver: Enter in the path box scans, F5 scans
# again, Space plays the selected sound, Ctrl+Q closes. ALSA's probing says
# nothing on stderr; the program says once, in French, that the sound is
# silent.
source "$(dirname "$0")/commun.sh"
source "$(dirname "$0")/lecture.sh"

unset SDL_AUDIODRIVER
if [ -e /dev/snd/pcmC0D0p ]; then
  echo "SKIP: this machine has a sound card"
  exit 0
fi

dossier="$TRAVAIL/sons"
mkdir -p "$dossier"
ffmpeg -v error -nostdin -f lavfi -i "sine=frequency=440:duration=20" "$dossier/la.wav" ||
  echec "ffmpeg could not make the sound"

export RUVIZARO_JOURNAL="$TRAVAIL/journal"
demarrer
fins() { grep -c '^fin-scan' "$RUVIZARO_JOURNAL" 2>/dev/null || true; }

cliquer 380 151
xdotool type --delay 5 "$dossier"
xdotool key Return
attendre_que 30 test "$(fins)" -eq 1 || echec "no scan after Enter: $(cat "$RUVIZARO_JOURNAL" 2>/dev/null)"
xdotool key F5
attendre_que 30 test "$(fins)" -eq 2 || echec "no second scan after F5: $(cat "$RUVIZARO_JOURNAL" 2>/dev/null)"

selectionner_seul_fichier 181
temps "$TRAVAIL/temps0.png"
xdotool key space
attendre_temps_nouveau "$TRAVAIL/temps1.png" "$TRAVAIL/temps0.png" || echec "Space did not play the sound"
attendre_que 10 grep -q 'aucune sortie son' "$TRAVAIL/sortie.log" || echec "no line about the silent output"

xdotool key ctrl+q
attendre_fin
[ "$CODE" -eq 0 ] || echec "Ctrl+Q: exit code $CODE"

if grep -q 'ALSA lib' "$TRAVAIL/sortie.log"; then echec "ALSA's messages on stderr"; fi
n=$(grep -c 'aucune sortie son' "$TRAVAIL/sortie.log" || true)
[ "$n" -eq 1 ] || echec "the silent output said $n times"
echo "PASS"
