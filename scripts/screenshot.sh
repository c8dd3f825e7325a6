#!/usr/bin/env bash
# Takes the screenshot the software centre shows: tamberlo playing a sample
# melody with its context menu open, on a virtual screen of its own, as a
# new user sees it (fresh home, Japanese unless LANG says English).
# Usage: scripts/screenshot.sh BIN_DIR OUT.png [MELODY]
#   BIN_DIR  the folder holding tamberlo (build/dev/bin, say)
set -euo pipefail

if [[ $# -lt 2 ]]; then
    echo "usage: scripts/screenshot.sh BIN_DIR OUT.png [MELODY]" >&2
    exit 2
fi
BIN=$(realpath "$1")
OUT=$(realpath -m "$2")
MELODY=$(realpath "${3:-$(dirname "$0")/../examples/sakura.tbn}")
. "$(dirname "$(realpath "$0")")/../tests/support/script_tools.sh"
require_tools screenshot "scripts/deps.sh test" xvfb-run xdotool xprop import convert dbus-run-session

if [[ -z ${TAMBERLO_SCREEN:-} ]]; then
    export TAMBERLO_SCREEN=1
    exec timeout -k 10 90 xvfb-run $(xvfb_display_args) -s "-screen 0 640x480x24 -nolisten tcp" \
        dbus-run-session -- "$0" "$@"
fi

work=$(mktemp -d)
pids=()
cleanup() {
    for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
    wait 2>/dev/null || true
    rm -rf "$work"
}
trap cleanup EXIT
fail() {
    echo "screenshot: $*" >&2
    exit 1
}
wait_for() { # seconds command...
    local deadline=$((SECONDS + $1))
    shift
    until "$@"; do
        ((SECONDS < deadline)) || return 1
        sleep 0.2
    done
}

mkdir -p "$work/home" "$work/config" "$work/data" "$work/run"
chmod 700 "$work/run"
export HOME="$work/home" XDG_CONFIG_HOME="$work/config" XDG_DATA_HOME="$work/data" \
    XDG_RUNTIME_DIR="$work/run" QT_QPA_PLATFORM=xcb
unset QT_QPA_PLATFORMTHEME

# No sound here: the melody plays into a JACK port on the dummy driver when
# a JACK server can start; otherwise the player says it has no audio output,
# and the box is answered as a user would.
export JACK_DEFAULT_SERVER="tamberlo-shot-$$" JACK_NO_AUDIO_RESERVATION=1
if command -v jackd >/dev/null && command -v jack_midi_dump >/dev/null; then
    jackd -n "$JACK_DEFAULT_SERVER" --no-realtime -d dummy >"$work/jackd.log" 2>&1 &
    pids+=($!)
    if timeout 15 jack_wait -w -t 10 >/dev/null 2>&1; then
        jack_midi_dump -a tamberlo-shot-sink >/dev/null 2>&1 &
        pids+=($!)
        sink_listed() { jack_lsp 2>/dev/null | grep -qx "tamberlo-shot-sink:input"; }
        wait_for 10 sink_listed && export TAMBOLIN_MIDI_MAPPER=tamberlo-shot-sink
    fi
fi
[[ -n ${TAMBOLIN_MIDI_MAPPER:-} ]] || echo "screenshot: no JACK server here, so no sound" >&2

"$BIN/tamberlo" "$MELODY" >"$work/tamberlo.log" 2>&1 &
PLAYER=$!
pids+=($PLAYER)
# The player's window, once no box stands before it: boxes (no audio
# output, say) are answered with their button as a user would.
geometry() { # window -> x y w h
    xdotool getwindowgeometry --shell "$1" | awk -F= '/^(X|Y|WIDTH|HEIGHT)=/ {printf "%s ", $2} END {print ""}'
}
is_box() { xprop -id "$1" _NET_WM_WINDOW_TYPE 2>/dev/null | grep -q DIALOG; }
WINDOW=""
answered=""
find_window() {
    local w boxes=0
    WINDOW=""
    for w in $(xdotool search --onlyvisible --pid "$PLAYER" 2>/dev/null); do
        if is_box "$w"; then
            boxes=$((boxes + 1))
            # Once each, by the mouse on its one button (bottom right): a
            # key whose release goes to the closing box repeats on in the
            # player's window.
            [[ " $answered " == *" $w "* ]] && continue
            answered+=" $w"
            read -r _ _ bw bh < <(geometry "$w")
            xdotool mousemove --window "$w" $((bw - 50)) $((bh - 24)) click 1 2>/dev/null || true
        else
            WINDOW=$w
        fi
    done
    [[ -n $WINDOW && $boxes -eq 0 ]]
}
wait_for 20 find_window || fail "no tamberlo window: $(cat "$work/tamberlo.log")"
sleep 1.5 # the title scrolls in and the meter moves

# The context menu, opened where a user would: on the right of the panel's
# title strip, so that it hides little of the window.
MENU=""
find_menu() {
    MENU=$(xdotool search --onlyvisible --pid "$PLAYER" 2>/dev/null | grep -vx "$WINDOW" | tail -n1)
    [[ -n $MENU ]]
}
no_menu() { ! find_menu; }
open_menu() {
    local width
    read -r _ _ width _ < <(geometry "$WINDOW")
    xdotool mousemove --window "$WINDOW" $((width - 24)) 12 click 3
    wait_for 10 find_menu || fail "the context menu did not open"
    sleep 0.5
}
# First the piano roll under the panel, through the menu's own entry (its
# mnemonic P), then the menu again for the picture.
open_menu
xdotool key p
wait_for 10 no_menu || fail "the context menu did not close"
sleep 1
open_menu

# The window and the menu together, with a small margin.
read -r wx wy ww wh < <(geometry "$WINDOW")
read -r mx my mw mh < <(geometry "$MENU")
left=$((wx < mx ? wx : mx))
top=$((wy < my ? wy : my))
right=$((wx + ww > mx + mw ? wx + ww : mx + mw))
bottom=$((wy + wh > my + mh ? wy + wh : my + mh))
left=$((left > 8 ? left - 8 : 0))
top=$((top > 8 ? top - 8 : 0))
import -window root "$work/screen.png"
mkdir -p "$(dirname "$OUT")"
# Written beside the target and moved in place: never a half-written picture.
convert "$work/screen.png" -crop "$((right - left + 8))x$((bottom - top + 8))+$left+$top" +repage \
    "$OUT.part.png"
mv -f "$OUT.part.png" "$OUT"
echo "screenshot: $OUT"
