#!/usr/bin/env bash
# Builds the player and shows what it does with one of our sample melodies.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/deps.sh
cmake --preset dev -DTAMBOLIN_TESTS=OFF -DTAMBOLIN_BENCH=OFF
cmake --build --preset dev -j "$(nproc)"
MELODY="${1:-examples/sakura.tbn}"
build/dev/bin/tambolin info "$MELODY"
