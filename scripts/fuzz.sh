#!/usr/bin/env bash
# Builds the fuzz targets with clang and runs each for N seconds (default 60)
# on a seed corpus: our sample melodies and fuzz/corpus/<target>/
set -euo pipefail
cd "$(dirname "$0")/.."
SECONDS_EACH="${1:-60}"
scripts/deps.sh test
cmake --preset fuzz
cmake --build --preset fuzz -j "$(nproc)"
# Every fuzz source must have given a target: a missing one is a failure,
# not a target quietly left out.
targets=()
for source in fuzz/fuzz_*.cpp; do
    [[ -e $source ]] || { echo "fuzz.sh: no fuzz sources in fuzz/" >&2; exit 1; }
    name=$(basename "$source" .cpp)
    target="build/fuzz/bin/$name"
    [[ -x $target ]] || { echo "fuzz.sh: $target was not built" >&2; exit 1; }
    targets+=("$target")
done
for target in "${targets[@]}"; do
    name=$(basename "$target")
    corpus="build/fuzz/corpus/$name"
    mkdir -p "$corpus"
    cp examples/*.tbn "$corpus"/ 2>/dev/null || true
    cp fuzz/corpus/"$name"/* "$corpus"/ 2>/dev/null || true
    echo "== $name for ${SECONDS_EACH}s"
    "$target" -max_total_time="$SECONDS_EACH" -max_len=4096 -timeout=10 "$corpus"
done
