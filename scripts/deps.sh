#!/usr/bin/env bash
# Installs the Debian packages that are missing, and only those. Safe to run
# again. Usage: scripts/deps.sh [test]
#   (none)  what building and running the player needs
#   test    also what the tests, benchmarks, fuzzers and install checks need
set -euo pipefail

PACKAGES=(
    # toolchain
    cmake ninja-build g++ pkg-config git
    # libraries
    qt6-base-dev qt6-base-dev-tools qt6-svg-dev libgl-dev
    libfluidsynth-dev timgm6mb-soundfont
    librtmidi-dev jackd2 libjack-jackd2-dev libasound2-dev
    libcurl4-openssl-dev libsdl2-dev
    # sound files: WAV, FLAC and Ogg Vorbis
    libsndfile1-dev
    # the session bus (one player per session, MPRIS)
    dbus
    # Japanese UI font (metric-compatible stand-in for the design font)
    fonts-ipafont-gothic
    # Qt's own dialogs in Japanese; our catalogues are built with Qt's tools
    qt6-translations-l10n qt6-l10n-tools qt6-tools-dev
)

TEST_PACKAGES=(
    # fuzzing
    clang libclang-rt-14-dev
    # tests and benchmarks
    libgtest-dev libgmock-dev googletest libbenchmark-dev
    # bench_onsets plays the same notes through FluidSynth's own player
    fluidsynth
    python3-mido python3-pyftpdlib openssl
    xvfb xauth xdotool x11-utils imagemagick dbus-x11 xdg-utils procps
    # the installation and the Debian package
    desktop-file-utils appstream libxml2-utils shared-mime-info man-db dpkg-dev file
)

case "${1:-}" in
"") ;;
test) PACKAGES+=("${TEST_PACKAGES[@]}") ;;
*)
    echo "usage: scripts/deps.sh [test]" >&2
    exit 2
    ;;
esac

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
