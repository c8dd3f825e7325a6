#!/usr/bin/env bash
# Builds the player and starts TBO, its window, with the player control
# registered first. Sample melodies to open are in examples/.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/deps.sh
# A build of its own, so the developer's build keeps its tests.
cmake --preset release -DTAMBOLIN_BENCH=OFF
cmake --build --preset release -j "$(nproc)"
BIN=build/release/bin
"$BIN"/tambolin register

echo
echo "Sample melodies (open one with the folder button, then press play):"
for melody in "$PWD"/examples/*.tbn; do
    echo "  $melody"
done

if [[ -z ${DISPLAY:-} && -z ${WAYLAND_DISPLAY:-} ]]; then
    echo
    echo "TBO is a desktop program and there is no desktop here: neither DISPLAY nor"
    echo "WAYLAND_DISPLAY is set. Run scripts/run.sh from a desktop session (or over"
    echo "ssh -X). Meanwhile, what the first sample holds:"
    echo
    "$BIN"/tambolin info examples/sakura.tbn
    exit 0
fi
exec "$BIN"/TBO
