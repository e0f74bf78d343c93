#!/usr/bin/env bash
# Message boxes and the about box carry exactly their captions as titles,
# nothing appended, in a real window system.
source "$(dirname "$0")/commun.sh"

demarrer

# Waits for a visible window whose whole title matches; prints its id.
fenetre_titree() {
  local id=""
  for _ in $(seq 100); do
    id=$(xdotool search --onlyvisible --name "$1" 2>/dev/null | head -n1 || true)
    [ -n "$id" ] && { echo "$id"; return 0; }
    sleep 0.1
  done
  return 1
}

# The scan picture with the invitation still in the box.
cliquer 260 212
boite=$(fenetre_titree '^Oubli r..?pertoire$') || echec "no box titled exactly \"Oubli répertoire\""
xdotool windowfocus --sync "$boite" key Return
attendre bash -c "! xdotool search --onlyvisible --name '^Oubli' >/dev/null 2>&1" || echec "the box stayed"

# The logo opens the about box.
cliquer 156 60
fenetre_titree '^A Propos \. \. \.$' >/dev/null || echec "no about box titled exactly \"A Propos . . .\""
echo "PASS"
