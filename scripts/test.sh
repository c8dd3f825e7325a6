#!/usr/bin/env bash
# Builds and runs every test. Usage: scripts/test.sh [PRESET]  (default: ci)
set -euo pipefail
cd "$(dirname "$0")/.."
PRESET="${1:-ci}"
scripts/deps.sh test
cmake --preset "$PRESET"
cmake --build --preset "$PRESET" -j "$(nproc)"
export QT_QPA_PLATFORM=offscreen
dbus-run-session -- ctest --preset "$PRESET" -j "$(nproc)"
