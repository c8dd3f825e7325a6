#!/usr/bin/env bash
# Installs the Debian packages the build, the tests and the player need,
# only those that are missing. Safe to run again.
set -euo pipefail

PACKAGES=(
    # toolchain
    cmake ninja-build g++ clang libclang-rt-14-dev pkg-config git
    # libraries
    qt6-base-dev qt6-base-dev-tools libgl-dev
    libfluidsynth-dev timgm6mb-soundfont
    librtmidi-dev jackd2 libjack-jackd2-dev libasound2-dev
    libcurl4-openssl-dev libsdl2-dev
    # tests and benchmarks
    libgtest-dev libgmock-dev googletest libbenchmark-dev
    # bench_onsets plays the same notes through FluidSynth's own player
    fluidsynth
    python3-mido python3-pyftpdlib
    xvfb xauth xdotool imagemagick dbus dbus-x11 xdg-utils procps
    # Japanese UI font (metric-compatible stand-in for the design font)
    fonts-ipafont-gothic
)

missing=()
for p in "${PACKAGES[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
        missing+=("$p")
    fi
done

if ((${#missing[@]})); then
    echo "Installing: ${missing[*]}"
    SUDO=""
    if [[ $(id -u) -ne 0 ]]; then SUDO="sudo"; fi
    export DEBIAN_FRONTEND=noninteractive
    $SUDO apt-get update -q
    # jackd2 and librtmidi-dev go in one command, or apt drops the latter.
    $SUDO apt-get install -y -q --no-install-recommends "${missing[@]}"
fi
