#!/usr/bin/env bash
# Plays a generated sound from the user's side, in a real window with real
# input: scan a folder holding it, open the Son zone, select it in the
# by-extension tree, press play; the waveform moves in the drawing area and
# the current time advances; pause holds both.
source "$(dirname "$0")/commun.sh"
source "$(dirname "$0")/lecture.sh"

# No sound device is needed: the player falls back to SDL's silent driver,
# which still consumes the sound at its pace.
export SDL_AUDIODRIVER=dummy

# A 30 s sweep from 200 Hz to 2 kHz at half scale: the waveform is tall and
# its shape changes all the time.
dossier="$TRAVAIL/sons"
mkdir -p "$dossier"
ffmpeg -v error -nostdin -f lavfi -i "aevalsrc=0.5*sin(2*PI*(200*t+30*t*t)):s=44100:d=30" \
  -c:a libmp3lame -b:a 128k "$dossier/balayage.mp3" || echec "ffmpeg could not make the sound"

export RUVIZARO_JOURNAL="$TRAVAIL/journal"
demarrer
scanner "$dossier" "fin-scan mode=0 video=0 son=1 image=0 texte=0"
selectionner_seul_fichier 181

# The drawing area: 160 x 123 at (413, 123). Light grey 244 is its
# background, mid grey 112 the waveform.
DESSIN=(413 123 160 123)
temps "$TRAVAIL/temps0.png"
capturer "${DESSIN[@]}" "$TRAVAIL/dessin0.png"

play_pause

# The waveform: some grey 112 in a light grey 244 area, spread over more than
# a few rows (a tone, not silence's flat line). Sets DETAIL when not.
onde() {
  local image=$1 histo boite hauteur
  histo=$(convert "$image" -format %c histogram:info:)
  DETAIL="$image: $(echo "$histo" | sort -rn | head -n4 | tr -s ' \n' ' ')"
  grep -q 'srgb(244,244,244)\|#F4F4F4' <<<"$histo" || return 1
  grep -q 'srgb(112,112,112)\|#707070' <<<"$histo" || return 1
  boite=$(convert "$image" -fill white +opaque 'rgb(112,112,112)' -format %@ info:)
  hauteur=${boite#*x}
  hauteur=${hauteur%%+*}
  DETAIL+=" waveform box $boite"
  [ "$hauteur" -ge 10 ]
}

# Up to 10 s for the drawing to come.
onde_dessinee() {
  capturer "${DESSIN[@]}" "$1"
  onde "$1"
}
attendre_que 10 onde_dessinee "$TRAVAIL/dessin1.png" || echec "no waveform in the drawing area: $DETAIL"

verifier_temps_avance "$TRAVAIL/temps0.png"

# Some seconds into the sound, well past its start: a picture shows the
# waveform, and within 5 s a later one shows it moved.
capturer "${DESSIN[@]}" "$TRAVAIL/dessin1.png"
onde "$TRAVAIL/dessin1.png" || echec "the waveform went: $DETAIL"
onde_bougee() {
  capturer "${DESSIN[@]}" "$TRAVAIL/dessin2.png"
  onde "$TRAVAIL/dessin2.png" || echec "a later picture shows no waveform: $DETAIL"
  differents "$TRAVAIL/dessin1.png" "$TRAVAIL/dessin2.png"
}
attendre_que 5 onde_bougee || echec "the waveform does not move"
if [ -n "${RUVIZARO_CAPTURE_SON:-}" ]; then capturer 0 0 586 451 "$RUVIZARO_CAPTURE_SON"; fi

# Pause: the time and the drawing hold.
play_pause
verifier_pause "$TRAVAIL/temps0.png" "${DESSIN[@]}"
kill -0 "$PID_APP" || echec "the program ended"

cliquer 572 13
attendre_fin
[ "$CODE" = 0 ] || echec "exit code $CODE"
echo "PASS"
