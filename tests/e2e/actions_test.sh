#!/usr/bin/env bash
# The actions menu of a file row with real input, opened by a right click,
# Shift+F10 and the Menu key: "Copier le chemin" reaches the X clipboard;
# "Afficher dans le dossier" reaches a stand-in file manager on a private
# session bus, or without it the folder's default application; "Ouvrir
# avec…" and "Ouvrir" launch a stand-in application registered for text
# files in a private data folder; a file no application opens brings a
# message. The group dragged onto a small GTK window hands it the file's
# address and path.
source "$(dirname "$0")/commun.sh"
source "$(dirname "$0")/lecture.sh"
PYTHON=/usr/bin/python3
for outil in xclip dbus-daemon gdbus update-desktop-database "$PYTHON"; do
  command -v "$outil" >/dev/null || { echo "SKIP: no $outil"; exit 77; }
done

# The desktop of the test alone: its applications, its defaults, the MIME
# database, and nothing else.
export XDG_DATA_HOME="$TRAVAIL/donnees" XDG_DATA_DIRS="$TRAVAIL/systeme"
mkdir -p "$XDG_DATA_HOME/applications" "$XDG_DATA_DIRS"
ln -s /usr/share/mime "$XDG_DATA_DIRS/mime"
ln -s /usr/share/icons "$XDG_DATA_DIRS/icons"
cat >"$TRAVAIL/temoin.sh" <<EOF
#!/bin/sh
printf '%s\n' "\$1" >>"$TRAVAIL/ouverts"
EOF
chmod +x "$TRAVAIL/temoin.sh"
cat >"$XDG_DATA_HOME/applications/ruvizaro-temoin.desktop" <<EOF
[Desktop Entry]
Type=Application
Name=Témoin Ruvizaro
Exec=$TRAVAIL/temoin.sh %f
MimeType=text/plain;inode/directory;
EOF
# GIO finds an application's types in the folder's index, as on a desktop.
update-desktop-database "$XDG_DATA_HOME/applications"
printf '[Default Applications]\ntext/plain=ruvizaro-temoin.desktop\ninode/directory=ruvizaro-temoin.desktop\n' \
  >"$XDG_CONFIG_HOME/mimeapps.list"

# A private session bus and a stand-in file manager that records what it is
# asked to show.
eval "$(dbus-daemon --session --fork --print-address=1 --print-pid=1 |
  { read -r a; read -r p; echo "export DBUS_SESSION_BUS_ADDRESS='$a'; PID_BUS=$p"; })"
AIDES=()
trap 'kill "$PID_BUS" "${AIDES[@]}" 2>/dev/null || true; nettoyer' EXIT
"$PYTHON" - "$TRAVAIL/montres" <<'EOF' &
import sys, dbus, dbus.service, dbus.mainloop.glib
from gi.repository import GLib
dbus.mainloop.glib.DBusGMainLoop(set_as_default=True)
class Gestionnaire(dbus.service.Object):
    @dbus.service.method("org.freedesktop.FileManager1", in_signature="ass", out_signature="")
    def ShowItems(self, uris, demarrage):
        with open(sys.argv[1], "a") as sortie:
            sortie.write("\n".join(uris) + "\n")
bus = dbus.SessionBus()
nom = dbus.service.BusName("org.freedesktop.FileManager1", bus)
Gestionnaire(bus, "/org/freedesktop/FileManager1")
GLib.MainLoop().run()
EOF
AIDES+=($!)
gestionnaire_pret() {
  gdbus call --session --dest org.freedesktop.DBus --object-path /org/freedesktop/DBus \
    --method org.freedesktop.DBus.NameHasOwner org.freedesktop.FileManager1 2>/dev/null | grep -q true
}
attendre gestionnaire_pret || echec "the stand-in file manager is not on the bus"

dossier="$TRAVAIL/textes"
mkdir -p "$dossier"
fichier="$dossier/notes été.txt"
echo "quelques mots" >"$fichier"
# A type no application of this desktop opens.
echo "%PDF-1.4" >"$dossier/rapport.pdf"
adresse=$("$PYTHON" -c 'import sys, urllib.parse; print("file://" + urllib.parse.quote(sys.argv[1].encode(), safe="/"))' "$fichier")

export RUVIZARO_JOURNAL="$TRAVAIL/journal"
demarrer
scanner "$dossier" "fin-scan mode=0 video=0 son=0 image=0 texte=2"
ouvrir_zone 321 || echec "the Texte zone does not show"
choisir_par_extension || echec "no choice in the drop-down"
# The group "(1) txt" on the first row, opened; its file on the second row,
# the group "(1) pdf" on the third.
cliquer 170 113
capturer "${DEUXIEME_RANG[@]}" "$TRAVAIL/rang.png"
xdotool key Right
attendre zone_changee "${DEUXIEME_RANG[@]}" "$TRAVAIL/rang.png" || echec "the group does not open"

menu_ouvert() { xdotool search --onlyvisible --name '^Actions sur le fichier$' >/dev/null 2>&1; }
menu_ferme() { ! menu_ouvert; }
# Opens the menu with the given xdotool arguments, then picks an entry by its
# underlined letter.
choisir() {
  local lettre=$1
  shift
  xdotool "$@"
  attendre menu_ouvert || echec "no menu after: $*"
  xdotool key "$lettre"
  attendre menu_ferme || echec "the menu stays after '$lettre'"
}

deplacer 190 131
choisir h click 3
presse_papiers() { [ "$(xclip -selection clipboard -o 2>/dev/null)" = "$fichier" ]; }
attendre presse_papiers || echec "clipboard: '$(xclip -selection clipboard -o 2>&1)', expected: $fichier"

choisir d key shift+F10
attendre grep -qxF "$adresse" "$TRAVAIL/montres" 2>/dev/null ||
  echec "file manager asked for: '$(cat "$TRAVAIL/montres" 2>&1)', expected: $adresse"

# "Ouvrir avec…": its submenu opens on its first entry, the default application.
choisir Return key Menu v
attendre grep -qxF "$fichier" "$TRAVAIL/ouverts" 2>/dev/null ||
  echec "opened with: '$(cat "$TRAVAIL/ouverts" 2>&1)', expected: $fichier"

# "Ouvrir" as the preview's double click: the desktop's default application.
deux_ouvertures() { [ "$(grep -cxF "$fichier" "$TRAVAIL/ouverts" 2>/dev/null)" -eq 2 ]; }
choisir o key Menu
attendre_que 20 deux_ouvertures ||
  echec "'Ouvrir' did not reach the default application: '$(cat "$TRAVAIL/ouverts" 2>&1)'"
# Without a file manager on the bus, the folder opens with its default application.
kill "${AIDES[0]}"
attendre_que 10 eval '! gestionnaire_pret' || echec "the stand-in file manager does not leave the bus"
choisir d key Menu
attendre_que 20 grep -qxF "$dossier" "$TRAVAIL/ouverts" ||
  echec "the folder did not open without a file manager: '$(cat "$TRAVAIL/ouverts" 2>&1)'"

# The group row dragged onto a window that records what a drop gives it.
NO_AT_BRIDGE=1 "$PYTHON" - "$TRAVAIL/depose" <<'EOF' &
import sys, gi
gi.require_version("Gtk", "3.0")
gi.require_version("Gdk", "3.0")
from gi.repository import Gtk, Gdk
fenetre = Gtk.Window(title="Cible Ruvizaro")
fenetre.set_default_size(150, 150)
fenetre.move(0, 0)
types = ["text/uri-list", "text/plain"]
fenetre.drag_dest_set(Gtk.DestDefaults.MOTION | Gtk.DestDefaults.HIGHLIGHT,
                      [Gtk.TargetEntry.new(t, 0, i) for i, t in enumerate(types)], Gdk.DragAction.COPY)
recus = []
def deposer(widget, contexte, x, y, temps):
    for t in types:
        widget.drag_get_data(contexte, Gdk.Atom.intern(t, False), temps)
    return True
def recu(widget, contexte, x, y, donnees, info, temps):
    recus.append(types[info] + "\n" + donnees.get_data().decode("latin-1").rstrip("\r\n\0"))
    if len(recus) == len(types):
        Gtk.drag_finish(contexte, True, False, temps)
        with open(sys.argv[1], "w", encoding="latin-1") as sortie:
            sortie.write("\n".join(sorted(recus)) + "\n")
fenetre.connect("drag-drop", deposer)
fenetre.connect("drag-data-received", recu)
fenetre.connect("destroy", Gtk.main_quit)
fenetre.show_all()
Gtk.main()
EOF
AIDES+=($!)
cible_montree() { xdotool search --onlyvisible --name '^Cible Ruvizaro$' >/dev/null 2>&1; }
attendre cible_montree || echec "no drop window"
deplacer 170 113
xdotool mousedown 1
for pas in 1 2 3 4 5 6 7 8 9 10; do
  xdotool mousemove --sync $(( FX + 170 - (FX + 170 - 60) * pas / 10 )) $(( FY + 113 - (FY + 113 - 60) * pas / 10 ))
done
xdotool mousemove 62 62 mousemove 60 60 mouseup 1
attendre test -s "$TRAVAIL/depose" || echec "the drop window received nothing"
printf 'text/plain\n%s\ntext/uri-list\n%s\n' "$fichier" "$adresse" >"$TRAVAIL/attendu"
cmp -s "$TRAVAIL/depose" "$TRAVAIL/attendu" ||
  echec "dropped: $(cat -A "$TRAVAIL/depose"), expected: $(cat -A "$TRAVAIL/attendu")"

# "Ouvrir" on a file no application opens: a message box says so.
cliquer 170 149
capturer 140 160 250 14 "$TRAVAIL/rang-pdf.png"
xdotool key Right
attendre zone_changee 140 160 250 14 "$TRAVAIL/rang-pdf.png" || echec "the pdf group does not open"
deplacer 190 167
choisir o click 3
message_montre() { xdotool search --onlyvisible --name '^Ruvizaro$' >/dev/null 2>&1; }
attendre message_montre || echec "no message when no application opens the file"
xdotool key Return
attendre eval '! message_montre' || echec "the message does not close"
echo "PASS"
