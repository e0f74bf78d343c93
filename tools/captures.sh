#!/usr/bin/env bash
# Regenerates the screenshots of README.md (docs/) with the real program in
# a private X server.
set -euo pipefail
racine=$(cd "$(dirname "$0")/.." && pwd)
bash "$racine/tools/setup.sh"
cmake -S "$racine" -B "$racine/build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$racine/build" --target ruvizaro
RUVIZARO_CAPTURE="$racine/docs/fenetre.png" bash "$racine/tests/e2e/fenetre_test.sh" "$racine/build/ruvizaro"
RUVIZARO_CAPTURE_SCAN="$racine/docs/scan.png" bash "$racine/tests/e2e/scan_test.sh" "$racine/build/ruvizaro"
RUVIZARO_CAPTURE_SON="$racine/docs/son.png" bash "$racine/tests/e2e/son_test.sh" "$racine/build/ruvizaro"
RUVIZARO_CAPTURE_VIDEO="$racine/docs/video.png" bash "$racine/tests/e2e/video_test.sh" "$racine/build/ruvizaro"
