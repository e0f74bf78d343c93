#!/usr/bin/python3
# A tiny drag source, as a file manager is one: a window whose whole area
# drags the URIs given on the command line (text/uri-list and the URIs as
# text), offering a copy, a move and a link; an absolute path given is
# dragged as its file URI. It prints "pret x y" with the
# centre of its area on the screen once it is shown, "accord <action>" once
# a target under the pointer has said it would take the drop, and
# "fin <action>" when a drag has ended (the action the target took,
# "aucune" when none).
import os
import sys
import urllib.parse

import gi

gi.require_version("Gtk", "3.0")
from gi.repository import Gdk, GLib, Gtk  # noqa: E402

uris = ["file://" + urllib.parse.quote(os.fsencode(a)) if a.startswith("/") else a for a in sys.argv[1:]]

fenetre = Gtk.Window(title="Source de glisser")
fenetre.set_default_size(120, 80)
fenetre.move(0, 0)
zone = Gtk.EventBox()
zone.add(Gtk.Label(label="glisser"))
fenetre.add(zone)
zone.drag_source_set(Gdk.ModifierType.BUTTON1_MASK, [],
                     Gdk.DragAction.COPY | Gdk.DragAction.MOVE | Gdk.DragAction.LINK)
zone.drag_source_add_uri_targets()
zone.drag_source_add_text_targets()


def donnees(_widget, _contexte, selection, info, _temps):
    if selection.get_target().name() == "text/uri-list":
        selection.set_uris(uris)
    else:
        selection.set_text("\n".join(uris), -1)


NOMS = {Gdk.DragAction.COPY: "copie", Gdk.DragAction.MOVE: "deplacement", Gdk.DragAction.LINK: "lien"}
en_cours = {"fini": False}


def commence(_widget, contexte):
    # The target's answers arrive as the pointer moves; the selected action
    # is what the last one offered.
    en_cours["fini"] = False

    def regarder():
        if en_cours["fini"]:
            return False
        action = contexte.get_selected_action()
        if action:
            print("accord", NOMS.get(action, "autre"), flush=True)
            return False
        return True
    GLib.timeout_add(10, regarder)


def fini(_widget, contexte):
    en_cours["fini"] = True
    print("fin", NOMS.get(contexte.get_selected_action(), "aucune"), flush=True)


def montree(_widget, _evenement):
    def dire():
        x, y = zone.get_window().get_origin()[1:]
        allocation = zone.get_allocation()
        print("pret", x + allocation.width // 2, y + allocation.height // 2, flush=True)
        return False
    GLib.idle_add(dire)
    return False


zone.connect("drag-data-get", donnees)
zone.connect("drag-begin", commence)
zone.connect("drag-end", fini)
fenetre.connect("map-event", montree)
fenetre.connect("destroy", Gtk.main_quit)
fenetre.show_all()
Gtk.main()
