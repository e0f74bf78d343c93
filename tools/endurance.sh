#!/usr/bin/env bash
# The stress and fault tests at a length for the benchmark machine: the
# test command runs them short; this runs them <factor> times longer
# (default 10) in an existing build folder, and every fuzz target for
# <seconds> (default 3600; 0 skips them) in the fuzz build.
# Usage: tools/endurance.sh [factor] [fuzz seconds]
set -euo pipefail
racine=$(cd "$(dirname "$0")/.." && pwd)
facteur=${1:-10}
secondes=${2:-3600}
export RUVIZARO_ENDURANCE=$facteur
export QT_QPA_PLATFORM=offscreen SDL_AUDIODRIVER=dummy ASAN_OPTIONS=detect_leaks=0
build="$racine/build"
[ -x "$build/tests/test_scan" ] || { echo "build the project first (bash tools/test.sh)"; exit 1; }
"$build/tests/test_scan" --gtest_filter='Travaux.Random*:Travaux.ATreeChanging*'
"$build/tests/test_shared" --gtest_filter='SauvegardeFautes.*'
"$build/tests/test_media" --gtest_filter='FichierSupprime.*'
"$build/tests/test_ui" --gtest_filter='ScansRepetes.*'
bash "$racine/tests/e2e/demarrages_test.sh" "$build/ruvizaro"
if [ "$secondes" -gt 0 ] && [ -d "$racine/build-fuzz/fuzz" ]; then
  for cible in "$racine"/build-fuzz/fuzz/fuzz_*; do
    nom=$(basename "$cible"); nom=${nom#fuzz_}
    bash "$racine/fuzz/lancer.sh" "$cible" "$nom" "$secondes"
  done
fi
