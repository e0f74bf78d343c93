#!/usr/bin/env bash
# Installs what is missing, builds Ruvizaro and starts it.
set -euo pipefail
racine=$(cd "$(dirname "$0")/.." && pwd)
bash "$racine/tools/setup.sh"
cmake -S "$racine" -B "$racine/build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$racine/build" --target ruvizaro
exec "$racine/build/ruvizaro" "$@"
