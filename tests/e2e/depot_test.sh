#!/usr/bin/env bash
# A folder dragged from another program (a small GTK drag source, as file
# managers are) and dropped on the window: the program takes it as a copy
# and scans it; a web link dragged the same way is refused.
source "$(dirname "$0")/commun.sh"

SOURCE="$(dirname "$0")/glisser.py"
/usr/bin/python3 -c 'import gi; gi.require_version("Gtk", "3.0")' 2>/dev/null ||
  echec "the drag source needs python3-gi and gir1.2-gtk-3.0 (tools/setup.sh)"

arbre="$TRAVAIL/Dépôt d'été"
mkdir -p "$arbre/Photos"
touch "$arbre/Photos/a.jpg" "$arbre/Photos/b.png" "$arbre/chant.mp3" "$arbre/notes.zip"

export RUVIZARO_JOURNAL="$TRAVAIL/journal"
demarrer

# Drags what the source offers from its centre to the window's background
# and drops it there; waits until the source has heard how the drag ended.
# With ACCORD=1 the button is released only once the window has said it
# takes the drop (its answer to the pointer's moves comes a moment later).
PID_SOURCE=""
glisser() {
  : >"$TRAVAIL/source.log"
  /usr/bin/python3 "$SOURCE" "$@" >"$TRAVAIL/source.log" 2>"$TRAVAIL/source.err" &
  PID_SOURCE=$!
  attendre_que 20 grep -q '^pret' "$TRAVAIL/source.log" ||
    echec "the drag source does not show: $(cat "$TRAVAIL/source.err")"
  local _ sx sy
  read -r _ sx sy < <(grep '^pret' "$TRAVAIL/source.log")
  xdotool mousemove --sync "$sx" "$sy" mousedown 1
  # Past the drag threshold, then over the window in a few steps: the
  # window hears the drag enter and move.
  for pas in 10 20 40; do xdotool mousemove --sync $(( sx + pas )) $(( sy + pas )); done
  local x0=$(( sx + 40 )) y0=$(( sy + 40 ))
  for pas in 1 2 3 4; do
    xdotool mousemove --sync $(( x0 + (FX + 400 - x0) * pas / 4 )) $(( y0 + (FY + 60 - y0) * pas / 4 ))
  done
  xdotool mousemove --sync $(( FX + 401 )) $(( FY + 61 ))
  if [ "${ACCORD:-0}" = 1 ]; then
    attendre_que 20 grep -q '^accord' "$TRAVAIL/source.log" ||
      echec "the window never said it takes the drop: $(cat "$TRAVAIL/source.log")"
  fi
  xdotool mouseup 1
  attendre_que 20 grep -q '^fin' "$TRAVAIL/source.log" || echec "the drag does not end: $(cat "$TRAVAIL/source.err")"
  FIN=$(grep '^fin' "$TRAVAIL/source.log")
  kill "$PID_SOURCE" 2>/dev/null || true
  wait "$PID_SOURCE" 2>/dev/null || true
}
trap 'kill "$PID_SOURCE" 2>/dev/null || true; nettoyer' EXIT

ACCORD=1 glisser "$arbre"
[ "$FIN" = "fin copie" ] || echec "the folder's drop was taken as: $FIN"
attendre_que 30 grep -q '^fin-scan' "$RUVIZARO_JOURNAL" || echec "no scan after the drop"
grep -qx 'fin-scan mode=0 video=0 son=1 image=2 texte=0' "$RUVIZARO_JOURNAL" ||
  echec "scan of the dropped folder: $(cat "$RUVIZARO_JOURNAL")"

glisser "https://exemple.org/Photos/"
[ "$FIN" = "fin aucune" ] || echec "a web link's drop was taken as: $FIN"
[ "$(grep -c '^fin-scan' "$RUVIZARO_JOURNAL")" = 1 ] || echec "a refused drop scanned: $(cat "$RUVIZARO_JOURNAL")"

cliquer 572 13
attendre_fin
[ "$CODE" = 0 ] || echec "exit code $CODE"
grep -qF "\"DernierRepertoire\"=\"$arbre\"" "$XDG_CONFIG_HOME/Dudidevir/HKEY_CURRENT_USER.reg" ||
  echec "the dropped folder is not kept: $(cat "$XDG_CONFIG_HOME/Dudidevir/HKEY_CURRENT_USER.reg")"
echo "PASS"
