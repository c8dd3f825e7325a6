#!/usr/bin/env bash
# Builds the fuzz targets with clang and runs each for N seconds (default 60)
# on a seed corpus: our sample melodies and fuzz/corpus/<target>/
set -euo pipefail
cd "$(dirname "$0")/.."
SECONDS_EACH="${1:-60}"
scripts/deps.sh
cmake --preset fuzz
cmake --build --preset fuzz -j "$(nproc)"
shopt -s nullglob
for target in build/fuzz/bin/fuzz_*; do
    name=$(basename "$target")
    corpus="build/fuzz/corpus/$name"
    mkdir -p "$corpus"
    cp examples/*.tbn "$corpus"/ 2>/dev/null || true
    cp fuzz/corpus/"$name"/* "$corpus"/ 2>/dev/null || true
    echo "== $name for ${SECONDS_EACH}s"
    "$target" -max_total_time="$SECONDS_EACH" -max_len=4096 -timeout=10 "$corpus"
done
