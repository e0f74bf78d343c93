#!/usr/bin/env bash
# The program started many times in a row always shows its window, and
# closes through its close picture with exit code 0 and a whole settings
# file, half the time in the middle of a scan started from the command
# line. RUVIZARO_ENDURANCE multiplies the number of starts.
source "$(dirname "$0")/commun.sh"

arbre="$TRAVAIL/arbre"
mkdir -p "$arbre"
for d in $(seq 40); do
  mkdir -p "$arbre/d$d"
  for e in $(seq 25); do
    mkdir "$arbre/d$d/e$e"
    touch "$arbre/d$d/e$e/"{a.jpg,b.mp3,c.txt,d.avi,e.zip}
  done
done

departs=$(( 10 * ${RUVIZARO_ENDURANCE:-1} ))
reg="$XDG_CONFIG_HOME/Dudidevir/HKEY_CURRENT_USER.reg"
for i in $(seq "$departs"); do
  if [ $(( i % 2 )) = 0 ]; then
    "$BINAIRE" "$arbre" >"$TRAVAIL/sortie.log" 2>&1 &
  else
    "$BINAIRE" >"$TRAVAIL/sortie.log" 2>&1 &
  fi
  PID_APP=$!
  FENETRE=""
  montree() {
    FENETRE=$(xdotool search --onlyvisible --name '^ Ruvizaro$' 2>/dev/null | head -n1 || true)
    [ -n "$FENETRE" ] && return 0
    kill -0 "$PID_APP" 2>/dev/null || echec "start $i: the program ended before showing its window"
    return 1
  }
  attendre_que 15 montree || echec "start $i: no window appeared"
  eval "$(xdotool getwindowgeometry --shell "$FENETRE")"
  FX=$X FY=$Y
  # Close at once, while the scan of the command line runs.
  # (No --sync: the pointer may already be there from the previous start,
  # and xdotool would wait for a move that never comes.)
  xdotool mousemove $(( FX + 572 )) $(( FY + 13 )) click 1
  attendre_fin
  [ "$CODE" = 0 ] || echec "start $i: exit code $CODE"
  grep -q '^"TreeTexte"=dword:' "$reg" || echec "start $i: the settings file is not whole"
done
ls "$XDG_CONFIG_HOME/Dudidevir" | grep -q endommage && echec "a settings file was found damaged"
echo "PASS: $departs starts"
