#!/usr/bin/env bash
# The floor check on scratch source trees: a clean layout passes, and each
# kind of fault (an include running up a floor, an unknown folder, a Qt
# Widgets header below the widgets floor, a Qt Gui header below the media
# floor) makes it fail, naming the place.
set -euo pipefail
verifier="$(cd "$(dirname "$0")/.." && pwd)/tools/verifier-etages.sh"
racine=$(mktemp -d)
trap 'rm -rf "$racine"' EXIT

echec() { echo "FAIL: $*" >&2; echo "--- output:" >&2; cat "$racine/sortie" >&2; exit 1; }

ecrire() { mkdir -p "$(dirname "$1")"; printf '%s\n' "${@:2}" >"$1"; }

# A clean tree: includes downward, on the same floor, Qt Core low down, Qt Gui
# from the media floor up,
# Qt Widgets from the widgets floor up, a commented-out upward include.
propre() {
  rm -rf "$racine/src"
  ecrire "$racine/src/shared/Base.h" '#pragma once' '#include <QString>' '#include <vector>'
  ecrire "$racine/src/shared/Base.cpp" '#include "shared/Base.h"' '// #include "ui/Fenetre.h" (no longer)'
  ecrire "$racine/src/scan/Store.h" '#pragma once' '#include "shared/Base.h"' '#include <QFile>'
  ecrire "$racine/src/media/Image.cpp" '#include "scan/Store.h"' '#include <QtGui/QPixmap>' '#include <QImage>'
  ecrire "$racine/src/widgets/Cadre.h" '#pragma once' '#include <QWidget>' '#include "media/Image.h"'
  ecrire "$racine/src/ui/Fenetre.h" '#pragma once' '#include "widgets/Cadre.h"' '#include "ui/Menu.h"' '#include <QtWidgets/QLabel>'
  ecrire "$racine/src/app/main.cpp" '#include "ui/Fenetre.h"' '  #  include "shared/Base.h"' '#include <QApplication>'
}

# Runs the check; $1 is the expected exit code.
verifier() {
  set +e
  bash "$verifier" "$racine/src" >"$racine/sortie" 2>&1
  local code=$?
  set -e
  [ "$code" = "$1" ] || echec "exit code $code, expected $1 ($2)"
}

propre
verifier 0 "clean tree"
grep -q '^files: 7, project includes checked: 8, violations: 0$' "$racine/sortie" || echec "clean summary"
grep -q '^pairs of folders that include each other: 0$' "$racine/sortie" || echec "clean pairs"

# An upward include that closes a loop between two folders.
ecrire "$racine/src/scan/Store.cpp" '#include "scan/Store.h"' '' '#include "ui/Fenetre.h"'
ecrire "$racine/src/ui/Menu.h" '#pragma once' '#include "scan/Store.h"'
verifier 1 "upward include"
grep -qx 'src/scan/Store.cpp:3: #include "ui/Fenetre.h" runs up: scan (floor 2) -> ui (floor 7)' "$racine/sortie" || echec "upward line"
grep -q 'violations: 1$' "$racine/sortie" || echec "one violation"
grep -qx '  scan <-> ui' "$racine/sortie" || echec "scan and ui include each other"

# A folder that is no floor, and an include into one.
propre
ecrire "$racine/src/divers/Outil.h" '#pragma once'
ecrire "$racine/src/ui/Barre.cpp" '#include "divers/Outil.h"'
verifier 1 "unknown folder"
grep -q "^src/divers/Outil.h: in unknown folder 'divers'" "$racine/sortie" || echec "unknown folder line"
grep -q "^src/ui/Barre.cpp:1: #include \"divers/Outil.h\": unknown folder 'divers'" "$racine/sortie" || echec "unknown include line"

# Qt Widgets headers in the engine floors, spelled three ways.
propre
ecrire "$racine/src/media/Lecteur.cpp" '#include <QImage>' '#include <QSlider>'
ecrire "$racine/src/shared/Liste.h" '#include <QtWidgets/QFrame>'
ecrire "$racine/src/scan/Vue.h" '#include <qabstractitemview.h>'
verifier 1 "Qt Widgets below the widgets floor"
grep -q '^src/media/Lecteur.cpp:2: #include <QSlider> is a Qt Widgets header' "$racine/sortie" || echec "QSlider"
grep -q '^src/shared/Liste.h:1: #include <QtWidgets/QFrame> is a Qt Widgets header' "$racine/sortie" || echec "QtWidgets/QFrame"
grep -q '^src/scan/Vue.h:1: #include <qabstractitemview.h> is a Qt Widgets header' "$racine/sortie" || echec "qabstractitemview.h"
grep -q 'violations: 3$' "$racine/sortie" || echec "three violations"

# Qt Gui headers below the media floor, spelled three ways; Qt Core beside them passes.
propre
ecrire "$racine/src/classification/Icone.h" '#include <QString>' '#include <QIcon>'
ecrire "$racine/src/shared/Couleur.cpp" '#include <QtGui/QColor>'
ecrire "$racine/src/scan/Dessin.h" '#include <qpainter.h>'
verifier 1 "Qt Gui below the media floor"
grep -q '^src/classification/Icone.h:2: #include <QIcon> is a Qt Gui header' "$racine/sortie" || echec "QIcon"
grep -q '^src/shared/Couleur.cpp:1: #include <QtGui/QColor> is a Qt Gui header' "$racine/sortie" || echec "QtGui/QColor"
grep -q '^src/scan/Dessin.h:1: #include <qpainter.h> is a Qt Gui header' "$racine/sortie" || echec "qpainter.h"
grep -q 'violations: 3$' "$racine/sortie" || echec "three Gui violations"

echo "PASS"
