#!/usr/bin/env bash
# The installation as a packager and a new user meet it: install into a
# staging folder (DESTDIR), check the layout, the desktop entries, the
# metainfo, the MIME package and the manual pages; then, with a fresh home
# on a screen and a session bus of its own, the installed tamberlo opens a
# melody, shows on MPRIS as Playing, stops, and takes a second start's file;
# last, the Debian package and what it depends on.
# Usage: check_install.sh BUILD_DIR SOURCE_DIR [WORK_DIR]
set -euo pipefail

BUILD=$(realpath "$1")
SOURCE=$(realpath "$2")
KEEP=${3:-}

. "$SOURCE/tests/support/script_tools.sh"
require_tools check_install "scripts/deps.sh test" desktop-file-validate appstreamcli xmllint \
    update-mime-database readelf xvfb-run dbus-run-session dbus-send cpack dpkg-deb \
    dpkg-shlibdeps man

# The player's part runs on its own virtual screen and session bus.
if [[ -z ${CHECK_INSTALL_SESSION:-} ]]; then
    export CHECK_INSTALL_SESSION=1
    exec timeout -k 10 300 xvfb-run $(xvfb_display_args) -s "-screen 0 640x480x24 -nolisten tcp" \
        dbus-run-session -- "$0" "$@"
fi

work=$(mktemp -d)
pids=()
cleanup() {
    local status=$?
    for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
    wait 2>/dev/null || true
    if [[ $status -ne 0 ]]; then
        for log in "$work"/*.log; do
            [[ -f $log ]] && echo "---- $(basename "$log")" && cat "$log"
        done
    fi
    if [[ -n $KEEP ]]; then
        mkdir -p "$KEEP" && cp -r "$work"/. "$KEEP"/ 2>/dev/null || true
    fi
    rm -rf "$work"
    exit "$status"
}
trap cleanup EXIT
fail() {
    echo "FAIL: $*" >&2
    exit 1
}
ok() { echo "ok: $*"; }
# A child that ended but was not waited for yet still answers kill -0.
alive() { [[ -n $(ps -o stat= -p "$1" 2>/dev/null | grep -v '^Z') ]]; }
wait_for() { # seconds command...
    local deadline=$((SECONDS + $1))
    shift
    until "$@"; do
        ((SECONDS < deadline)) || return 1
        sleep 0.2
    done
}

# ---- the staged installation
STAGE="$work/stage"
PREFIX=/usr
DESTDIR="$STAGE" cmake --install "$BUILD" --prefix "$PREFIX" >"$work/install.log"
ROOT="$STAGE$PREFIX"
BIN="$ROOT/bin"
SHARE="$ROOT/share"
PRIVATE=$(dirname "$(find "$ROOT" -name libTAMBOLIN.so -print -quit)")
[[ -n $PRIVATE && $PRIVATE == "$ROOT"/lib*/tamberlo ]] ||
    fail "the control library is not in a private folder under lib: ${PRIVATE:-missing}"

expected=(
    "$BIN/TBO" "$BIN/tamberlo" "$BIN/tambolin" "$BIN/tambolin-thumbnail"
    "$SHARE/thumbnailers/org.tamberlo.Player.thumbnailer"
    "$PRIVATE/libTAMBOLIN.so" "$PRIVATE/libbinetx.so"
    "$SHARE/applications/org.tamberlo.Player.desktop" "$SHARE/applications/tbo.desktop"
    "$SHARE/metainfo/org.tamberlo.Player.metainfo.xml"
    "$SHARE/mime/packages/org.tamberlo.Player.xml"
    "$SHARE/icons/hicolor/scalable/apps/org.tamberlo.Player.svg"
    "$SHARE/icons/hicolor/48x48/apps/org.tamberlo.Player.png"
    "$SHARE/man/man1/tamberlo.1" "$SHARE/man/man1/TBO.1" "$SHARE/man/man1/tambolin.1"
    "$SHARE/man/man1/tambolin-thumbnail.1"
    "$SHARE/bash-completion/completions/tambolin"
)
for file in "${expected[@]}"; do
    [[ -f $file ]] || fail "not installed: ${file#"$STAGE"}"
done
ok "installed files: $(find "$STAGE" -type f | wc -l)"
(cd "$STAGE" && find . -type f | sort) >"$work/installed-files.txt"

# Nothing may point into the build tree; the programs find the private
# folder relative to themselves.
for elf in "$BIN/tamberlo" "$BIN/tambolin" "$BIN/TBO" "$PRIVATE/libTAMBOLIN.so" "$PRIVATE/libbinetx.so"; do
    paths=$(readelf -d "$elf" | sed -n 's/.*(\(RPATH\|RUNPATH\)).*\[\(.*\)\]/\2/p')
    IFS=: read -ra parts <<<"$paths"
    for part in "${parts[@]}"; do
        [[ $part == '$ORIGIN'* ]] || fail "$(basename "$elf") has a search path outside \$ORIGIN: $part"
    done
done
for program in tamberlo tambolin; do
    runpath=$(readelf -d "$BIN/$program" | sed -n 's/.*RUNPATH.*\[\(.*\)\]/\1/p')
    [[ $(realpath -m "$BIN/${runpath#\$ORIGIN/}") == "$PRIVATE" ]] ||
        fail "$program's RUNPATH ($runpath) does not lead to ${PRIVATE#"$STAGE"}"
done
ok "search paths relative to \$ORIGIN"

# ---- the desktop's files
desktop-file-validate "$SHARE/applications/org.tamberlo.Player.desktop" "$SHARE/applications/tbo.desktop"
grep -qx 'Exec=tamberlo %U' "$SHARE/applications/org.tamberlo.Player.desktop" ||
    fail "the desktop entry does not start tamberlo with its URLs"
grep -qx 'MimeType=audio/x-tbn;' "$SHARE/applications/org.tamberlo.Player.desktop" ||
    fail "the desktop entry does not claim .tbn files"
ok "desktop entries"

# The thumbnailer entry runs an installed program, which makes the picture.
thumbnailer=$(sed -n 's/^Exec=\([^ ]*\) .*/\1/p' "$SHARE/thumbnailers/org.tamberlo.Player.thumbnailer")
[[ -n $thumbnailer && -x $BIN/$thumbnailer ]] ||
    fail "the thumbnailer entry runs '$thumbnailer', which is not installed"
"$BIN/$thumbnailer" "$SOURCE/examples/trio.tbn" "$work/thumbnail.png" -s 128 ||
    fail "the installed $thumbnailer made no thumbnail"
[[ $(head -c 8 "$work/thumbnail.png" | od -An -tx1 | tr -d ' \n') == 89504e470d0a1a0a ]] ||
    fail "the installed $thumbnailer wrote no PNG"
ok "thumbnailer entry runs $thumbnailer"

appstreamcli validate --no-net "$SHARE/metainfo/org.tamberlo.Player.metainfo.xml" >"$work/appstream.log" ||
    fail "appstreamcli validate: $(cat "$work/appstream.log")"
ok "metainfo"
xmllint --noout "$SHARE/mime/packages/org.tamberlo.Player.xml"
# Installed into a private data folder, the package makes *.tbn ours.
mkdir -p "$work/xdg-data/mime/packages"
cp "$SHARE/mime/packages/org.tamberlo.Player.xml" "$work/xdg-data/mime/packages/"
update-mime-database "$work/xdg-data/mime" 2>"$work/mime.log"
grep -q '^50:audio/x-tbn:\*\.tbn$' "$work/xdg-data/mime/globs2" ||
    fail "the MIME database gives *.tbn no type: $(cat "$work/xdg-data/mime/globs2")"
ok "MIME package"
for page in tamberlo TBO tambolin tambolin-thumbnail; do
    warnings=$(LC_ALL=C.UTF-8 MANWIDTH=80 man --warnings -l "$SHARE/man/man1/$page.1" 2>&1 >/dev/null)
    [[ -z $warnings ]] || fail "the manual page $page.1: $warnings"
    LC_ALL=C.UTF-8 MANWIDTH=80 man -l "$SHARE/man/man1/$page.1" 2>/dev/null | grep -q "^NAME" ||
        fail "the manual page $page.1 has no NAME section"
done
ok "manual pages"

# ---- the installed player on a new account
mkdir -p "$work/home" "$work/config" "$work/data" "$work/cache" "$work/run" "$work/tmp"
chmod 700 "$work/run"
export HOME="$work/home" XDG_CONFIG_HOME="$work/config" XDG_DATA_HOME="$work/data" \
    XDG_CACHE_HOME="$work/cache" XDG_RUNTIME_DIR="$work/run" TMPDIR="$work/tmp"
export QT_QPA_PLATFORM=xcb
unset QT_QPA_PLATFORMTHEME TAMBOLIN_MIDI_MAPPER LD_LIBRARY_PATH

# No sound card here: a JACK server on the dummy driver stands in for one.
if command -v jackd >/dev/null && command -v jack_wait >/dev/null; then
    export JACK_DEFAULT_SERVER="check-install-$$" JACK_NO_AUDIO_RESERVATION=1
    jackd -n "$JACK_DEFAULT_SERVER" --no-realtime -d dummy >"$work/jackd.log" 2>&1 &
    pids+=($!)
    timeout 15 jack_wait -w -t 10 >/dev/null 2>&1 || echo "note: no JACK server; the player stays silent"
fi

MPRIS=org.mpris.MediaPlayer2.tamberlo
mpris_get() { # interface property
    dbus-send --session --print-reply=literal --reply-timeout=3000 --dest=$MPRIS \
        /org/mpris/MediaPlayer2 org.freedesktop.DBus.Properties.Get string:"$1" string:"$2" 2>/dev/null
}
mpris_call() { # method
    dbus-send --session --print-reply --reply-timeout=3000 --dest=$MPRIS \
        /org/mpris/MediaPlayer2 org.mpris.MediaPlayer2.Player."$1" >/dev/null
}
status_is() { [[ $(mpris_get org.mpris.MediaPlayer2.Player PlaybackStatus) == *"$1"* ]]; }
title_is() { mpris_get org.mpris.MediaPlayer2.Player Metadata | grep -q "$1"; }
on_bus() {
    dbus-send --session --print-reply --dest=org.freedesktop.DBus /org/freedesktop/DBus \
        org.freedesktop.DBus.ListNames | grep -q "\"$1"
}

FIRST="$SOURCE/examples/sakura.tbn"
SECOND="$SOURCE/examples/trio.tbn"
FIRST_TITLE=$("$BIN/tambolin" info "$FIRST" | sed -n 's/^Title: *//p')
SECOND_TITLE=$("$BIN/tambolin" info "$SECOND" | sed -n 's/^Title: *//p')
[[ -n $FIRST_TITLE && -n $SECOND_TITLE && $FIRST_TITLE != "$SECOND_TITLE" ]] ||
    fail "the installed tambolin cannot read the examples"

# TBO on a new account registers the installed library by itself and
# publishes its control.
mkdir -p "$work/config-tbo"
XDG_CONFIG_HOME="$work/config-tbo" "$BIN/TBO" >"$work/tbo.log" 2>&1 &
TBO_PID=$!
pids+=("$TBO_PID")
wait_for 30 on_bus "org.tamberlo.Player.instance$TBO_PID" || fail "TBO's control is not on the session bus"
grep -qF "$PRIVATE/libTAMBOLIN.so" "$work/config-tbo"/tamberlo/registry/* ||
    fail "TBO did not register the installed control library"
kill "$TBO_PID"
ok "the installed TBO registers the installed library and publishes its control"

(cd "$work/home" && exec "$BIN/tamberlo" "$FIRST") >"$work/tamberlo.log" 2>&1 &
PLAYER=$!
pids+=("$PLAYER")
wait_for 30 on_bus $MPRIS || fail "$MPRIS did not appear on the session bus"
wait_for 10 status_is Playing || fail "the player does not report Playing after opening $FIRST"
title_is "$FIRST_TITLE" || fail "the metadata does not carry the title $FIRST_TITLE"
[[ $(mpris_get org.mpris.MediaPlayer2 DesktopEntry) == *org.tamberlo.Player* ]] ||
    fail "DesktopEntry is not org.tamberlo.Player"
on_bus "org.tamberlo.Player.instance$PLAYER" || fail "the control is not published on the bus"
ok "the installed tamberlo plays $(basename "$FIRST") and reports Playing"

# The first start registered the installed library, not any other.
registry=$(cat "$XDG_CONFIG_HOME"/tamberlo/registry/* 2>/dev/null || true)
[[ $registry == *"$PRIVATE/libTAMBOLIN.so"* ]] ||
    fail "the control class is not registered to the installed library"
ok "the control class is registered to the installed library"

mpris_call Stop
wait_for 5 status_is Stopped || fail "Stop does not give Stopped"
ok "Stop gives Stopped"

timeout 20 "$BIN/tamberlo" "$SECOND" >"$work/second.log" 2>&1 || fail "the second start did not end by itself"
wait_for 10 title_is "$SECOND_TITLE" || fail "the running player did not take $(basename "$SECOND")"
wait_for 10 status_is Playing || fail "the handed-over melody does not play"
alive "$PLAYER" || fail "the first player ended"
ok "a second start hands over $(basename "$SECOND") and exits"

dbus-send --session --print-reply --dest=$MPRIS /org/mpris/MediaPlayer2 org.mpris.MediaPlayer2.Quit >/dev/null
wait_for 10 eval '! alive $PLAYER' || fail "Quit did not end the player"
ok "Quit ends the player"

# ---- the Debian package
if [[ -n ${CHECK_INSTALL_NO_PACKAGE:-} ]]; then
    echo "skipped: the Debian package (CHECK_INSTALL_NO_PACKAGE is set)"
    exit 0
fi
(cd "$BUILD" && cpack -G DEB -B "$work/package" >"$work/cpack.log" 2>&1) || fail "cpack -G DEB failed"
deb=$(find "$work/package" -maxdepth 1 -name 'tamberlo_*.deb' -print -quit)
[[ -n $deb ]] || fail "cpack made no tamberlo package"
dpkg-deb --contents "$deb" | awk '{print $6}' >"$work/package-files.txt"
for file in ./usr/bin/tamberlo ./usr/bin/TBO ./usr/bin/tambolin ./usr/bin/tambolin-thumbnail \
    ./usr/share/applications/org.tamberlo.Player.desktop \
    ./usr/share/mime/packages/org.tamberlo.Player.xml \
    ./usr/share/metainfo/org.tamberlo.Player.metainfo.xml; do
    grep -qx "$file" "$work/package-files.txt" || fail "the package lacks $file"
done
grep -Eq '^\./usr/lib/.*tamberlo/libTAMBOLIN\.so$' "$work/package-files.txt" ||
    fail "the package lacks the control library"
depends=$(dpkg-deb -f "$deb" Depends)
for library in libqt6widgets6 libqt6dbus6 libfluidsynth libcurl; do
    [[ $depends == *"$library"* ]] || fail "the package does not depend on $library: $depends"
done
[[ -n $(dpkg-deb -f "$deb" Maintainer) ]] || fail "the package names no maintainer"
ok "$(basename "$deb"): $(wc -l <"$work/package-files.txt") entries, depends on $depends"
