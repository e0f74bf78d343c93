#!/usr/bin/env bash
# Installs what is missing, then builds and runs every test twice: in the
# normal build and in the AddressSanitizer + UndefinedBehaviorSanitizer build.
# Then the engine's and the trees' tests once more under ThreadSanitizer,
# with the program and a part of its real-window tests, and every fuzz
# target for a short while on its corpus (clang build).
set -euo pipefail
racine=$(cd "$(dirname "$0")/.." && pwd)
bash "$racine/tools/setup.sh"

lancer() {
  local dossier=$1; shift
  echo "== $(basename "$dossier"): configure and build"
  cmake -S "$racine" -B "$dossier" -G Ninja "$@" >/dev/null
  cmake --build "$dossier"
  echo "== $(basename "$dossier"): tests"
  (cd "$dossier" && ctest --output-on-failure -j2 --timeout 900)
}

lancer "$racine/build" -DCMAKE_BUILD_TYPE=RelWithDebInfo
lancer "$racine/build-asan" -DCMAKE_BUILD_TYPE=Debug -DRUVIZARO_SANITIZE=ON
lancer "$racine/build-tsan" -DCMAKE_BUILD_TYPE=Debug -DRUVIZARO_TSAN=ON
lancer "$racine/build-fuzz" -DCMAKE_BUILD_TYPE=Debug -DRUVIZARO_FUZZ=ON \
  -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++
echo "== all tests passed in every build"
