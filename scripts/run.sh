#!/usr/bin/env bash
# Builds the player and starts tamberlo, the desktop player, with a sample
# melody playing. Without a desktop, plays the sample through the command
# line for a few seconds instead. More samples are in examples/.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/deps.sh
# A build of its own, so the developer's build keeps its tests.
cmake --preset release -DTAMBOLIN_BENCH=OFF
cmake --build --preset release -j "$(nproc)" --target tamberlo TBO tambolin binetx
BIN=build/release/bin
SAMPLE="$PWD/examples/sakura.tbn"

echo
echo "Sample melodies (open one with the folder button or drop it on the window):"
for melody in "$PWD"/examples/*.tbn; do
    echo "  $melody"
done

if [[ -z ${DISPLAY:-} && -z ${WAYLAND_DISPLAY:-} ]]; then
    echo
    echo "tamberlo is a desktop program and there is no desktop here: neither DISPLAY nor"
    echo "WAYLAND_DISPLAY is set. Run scripts/run.sh from a desktop session (or over"
    echo "ssh -X). Meanwhile, the first sample through the command line for 8 seconds:"
    echo
    "$BIN"/tambolin info "$SAMPLE"
    status=0
    timeout --signal=INT --kill-after=5 8 "$BIN"/tambolin play "$SAMPLE" || status=$?
    # 124: stopped after the 8 seconds, as intended.
    if [[ $status -ne 0 && $status -ne 124 && $status -ne 130 ]]; then
        echo "(tambolin play could not play it here, exit status $status: no sound output?)"
    fi
    exit 0
fi
echo
echo "Starting tamberlo with $(basename "$SAMPLE") playing."
exec "$BIN"/tamberlo "$SAMPLE"
