#!/usr/bin/env bash
# Checks that the source folders import downward only.
#
#   bash tools/verifier-etages.sh [src folder]
#
# Every folder of src/ is a floor; a file may include files of its own floor
# or of lower floors only. The four lowest floors build the engine and must
# not include any Qt Widgets header; the three lowest (the engine but its
# media) no Qt Gui header either: pictures, icons and colours live above. Prints one line per violation
# (file:line, the include, both floors) and exits 1 when there is any;
# otherwise prints a summary and exits 0.
set -euo pipefail

src=${1:-$(cd "$(dirname "$0")/.." && pwd)/src}
src=${src%/}
[ -d "$src" ] || { echo "verifier-etages: no folder $src" >&2; exit 2; }

# Floors, from the ground up.
declare -A ETAGE=(
  [shared]=0 [classification]=1 [scan]=2 [media]=3 [widgets]=4
  [trees]=5 [preview]=6 [ui]=7 [app]=8
)
# Floors up to this one may not use Qt Widgets.
DERNIER_SANS_WIDGETS=3
# Floors up to this one may not use Qt Gui either.
DERNIER_SANS_GUI=2

# The Qt Widgets headers, as installed on this machine.
qt=${QT6_INCLUDE:-/usr/include/x86_64-linux-gnu/qt6}
declare -A WIDGETS=()
for module in QtWidgets QtOpenGLWidgets; do
  [ -d "$qt/$module" ] || { echo "verifier-etages: no Qt headers in $qt/$module (set QT6_INCLUDE)" >&2; exit 2; }
  WIDGETS[$module]=1
  for f in "$qt/$module"/*; do WIDGETS[$(basename "$f")]=1; done
done
[ ${#WIDGETS[@]} -gt 100 ] || { echo "verifier-etages: too few Qt Widgets headers in $qt" >&2; exit 2; }
declare -A GUI=([QtGui]=1)
[ -d "$qt/QtGui" ] || { echo "verifier-etages: no Qt headers in $qt/QtGui (set QT6_INCLUDE)" >&2; exit 2; }
for f in "$qt/QtGui"/*; do GUI[$(basename "$f")]=1; done
[ ${#GUI[@]} -gt 100 ] || { echo "verifier-etages: too few Qt Gui headers in $qt" >&2; exit 2; }

violations=0
fichiers=0
includes=0
declare -A ARC=()

signaler() { echo "$1"; violations=$((violations + 1)); }

while IFS= read -r -d '' fichier; do
  fichiers=$((fichiers + 1))
  relatif=${fichier#"$src"/}
  nom_src=$(basename "$src")
  if [[ $relatif == */* ]]; then dossier=${relatif%%/*}; else dossier=""; fi
  if [ -z "$dossier" ] || [ -z "${ETAGE[$dossier]+x}" ]; then
    signaler "$nom_src/$relatif: in unknown folder '${dossier:-.}' (floors: shared classification scan media widgets trees preview ui app)"
    continue
  fi
  etage=${ETAGE[$dossier]}
  numero=0
  while IFS= read -r ligne || [ -n "$ligne" ]; do
    numero=$((numero + 1))
    [[ $ligne =~ ^[[:space:]]*#[[:space:]]*include[[:space:]]*([\"\<])([^\"\>]+)[\"\>] ]] || continue
    genre=${BASH_REMATCH[1]}
    cible=${BASH_REMATCH[2]}
    ou="$nom_src/$relatif:$numero"
    if [ "$genre" = '"' ]; then
      includes=$((includes + 1))
      if [[ $cible == */* ]]; then vers=${cible%%/*}; else vers=$dossier; fi
      if [ -z "${ETAGE[$vers]+x}" ]; then
        signaler "$ou: #include \"$cible\": unknown folder '$vers' (from $dossier, floor $etage)"
        continue
      fi
      [ "$vers" != "$dossier" ] && ARC[$dossier:$vers]=1
      if [ "${ETAGE[$vers]}" -gt "$etage" ]; then
        signaler "$ou: #include \"$cible\" runs up: $dossier (floor $etage) -> $vers (floor ${ETAGE[$vers]})"
      fi
    elif [ "$etage" -le "$DERNIER_SANS_WIDGETS" ]; then
      base=${cible##*/}
      module=${cible%%/*}
      if [ -n "${WIDGETS[$base]+x}" ] || [ "$module" = QtWidgets ] || [ "$module" = QtOpenGLWidgets ]; then
        signaler "$ou: #include <$cible> is a Qt Widgets header: $dossier (floor $etage) may not use Qt Widgets (floors 0-$DERNIER_SANS_WIDGETS)"
      elif [ "$etage" -le "$DERNIER_SANS_GUI" ] && { [ -n "${GUI[$base]+x}" ] || [ "$module" = QtGui ]; }; then
        signaler "$ou: #include <$cible> is a Qt Gui header: $dossier (floor $etage) may use Qt Core only (floors 0-$DERNIER_SANS_GUI)"
      fi
    fi
  done <"$fichier"
done < <(find "$src" -type f \( -name '*.h' -o -name '*.cpp' \) -print0 | sort -z)

# Pairs of folders that include each other.
paires=()
for arc in "${!ARC[@]}"; do
  a=${arc%%:*} b=${arc#*:}
  if [ -n "${ARC[$b:$a]+x}" ] && [ "${ETAGE[$a]}" -lt "${ETAGE[$b]}" ]; then
    paires+=("$a <-> $b")
  fi
done

echo "files: $fichiers, project includes checked: $includes, violations: $violations"
echo "pairs of folders that include each other: ${#paires[@]}"
if [ ${#paires[@]} -gt 0 ]; then printf '  %s\n' "${paires[@]}" | sort; fi
[ "$violations" -eq 0 ] || exit 1
echo "OK: every include runs down or stays on its floor"
