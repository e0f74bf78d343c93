#!/usr/bin/env bash
# Message boxes and the about box carry exactly their captions as titles,
# nothing appended, in a real window system.
source "$(dirname "$0")/commun.sh"

demarrer

# Waits for a visible window whose title starts as given; prints its id.
fenetre_titree() {
  attendre_que 10 titre_visible "$1" && echo "$ID_TITRE"
}
titre_visible() {
  ID_TITRE=$(xdotool search --onlyvisible --name "^$1" 2>/dev/null | head -n1 || true)
  [ -n "$ID_TITRE" ]
}
# The title as the window manager shows it (_NET_WM_NAME).
titre() { xdotool getwindowname "$1"; }

# The scan picture with the invitation still in the box.
cliquer 260 212
boite=$(fenetre_titree 'Oubli') || echec "no \"Oubli répertoire\" box"
[ "$(titre "$boite")" = "Oubli répertoire" ] || echec "the box is titled \"$(titre "$boite")\""
xdotool windowfocus --sync "$boite" key Return
attendre bash -c "! xdotool search --onlyvisible --name '^Oubli' >/dev/null 2>&1" || echec "the box stayed"

# The logo opens the about box.
cliquer 156 60
propos=$(fenetre_titree 'A Propos') || echec "no about box"
[ "$(titre "$propos")" = "A Propos . . ." ] || echec "the about box is titled \"$(titre "$propos")\""
echo "PASS"
