#!/usr/bin/env bash
# Plays a generated video from the user's side, in a real window with real
# input: scan a folder holding it, open the Video zone, select it in the
# by-extension tree, press play; the video's pictures move in the 160 x 160
# frame and the current time advances; pause holds both.
source "$(dirname "$0")/commun.sh"
source "$(dirname "$0")/lecture.sh"

# mpv's automatic audio output falls back to none without a device.
export SDL_AUDIODRIVER=dummy

# 30 s of ffmpeg's test pattern (colour bars, a moving gradient, a frame
# counter), 160 x 120 at 25 frames a second, MPEG-4 in AVI, with a tone.
dossier="$TRAVAIL/videos"
mkdir -p "$dossier"
ffmpeg -v error -nostdin -f lavfi -i "testsrc=size=160x120:rate=25:duration=30" \
  -f lavfi -i "sine=frequency=440:duration=30" -c:v mpeg4 -q:v 4 -c:a libmp3lame -b:a 64k \
  "$dossier/mire.avi" || echec "ffmpeg could not make the video"

export RUVIZARO_JOURNAL="$TRAVAIL/journal"
demarrer
scanner "$dossier" "fin-scan mode=0 video=1 son=0 image=0 texte=0"
selectionner_seul_fichier 111

# The frame: 160 x 160 at (413, 105); the 160 x 120 video fills its width.
CADRE=(413 105 160 160)
temps "$TRAVAIL/temps0.png"
capturer "${CADRE[@]}" "$TRAVAIL/cadre0.png"

play_pause

# The test pattern in the frame: its colour bars where the 160 x 120 picture
# puts them (rows 20 to 139 of the frame), black bands above and below, many
# colours, and unlike the frame before play. Sets DETAIL when not.
MIRE=("45,40 255 0 255" "65,40 0 0 255" "85,40 255 255 0" "105,40 0 255 0" "125,40 255 0 0"
      "80,5 0 0 0" "80,155 0 0 0")
mire() {
  local image=$1 n i point attendue bon=1
  local -a vues
  n=$(couleurs "$image")
  DETAIL="$image has $n colours;"
  mapfile -t vues < <(pixels "$image" "${MIRE[@]%% *}")
  for i in "${!MIRE[@]}"; do
    point=${MIRE[i]%% *}
    attendue=${MIRE[i]#* }
    if [ -z "${vues[i]:-}" ] || [ "$(ecart "${vues[i]}" "$attendue")" -gt 40 ]; then
      DETAIL+=" ($point)=${vues[i]:-?}, not $attendue;"
      bon=0
    fi
  done
  [ "$bon" = 1 ] && [ "$n" -ge 50 ] && differents "$image" "$TRAVAIL/cadre0.png"
}

mire_montree() {
  capturer "${CADRE[@]}" "$TRAVAIL/cadre1.png"
  mire "$TRAVAIL/cadre1.png"
}
attendre_que 15 mire_montree || echec "the video does not show in the frame: $DETAIL"

verifier_temps_avance "$TRAVAIL/temps0.png"

# Some seconds into the video, a picture, then a later one that differs
# (up to 10 s: a loaded machine may hold a picture longer).
capturer "${CADRE[@]}" "$TRAVAIL/cadre1.png"
mire "$TRAVAIL/cadre1.png" || echec "the video left the frame: $DETAIL"
mire_bougee() {
  capturer "${CADRE[@]}" "$TRAVAIL/cadre2.png"
  mire "$TRAVAIL/cadre2.png" || echec "the video left the frame: $DETAIL"
  differents "$TRAVAIL/cadre1.png" "$TRAVAIL/cadre2.png"
}
attendre_que 10 mire_bougee || echec "the video's picture does not move"
if [ -n "${RUVIZARO_CAPTURE_VIDEO:-}" ]; then capturer 0 0 586 451 "$RUVIZARO_CAPTURE_VIDEO"; fi

# Pause: the time and the picture hold.
play_pause
verifier_pause "$TRAVAIL/temps0.png" "${CADRE[@]}"
kill -0 "$PID_APP" || echec "the program ended"

cliquer 572 13
attendre_fin
[ "$CODE" = 0 ] || echec "exit code $CODE"
echo "PASS"
