#!/usr/bin/env bash
# TBO as a new user meets it: a fresh home and configuration, a screen of its
# own, the open button, a melody chosen in the dialog, play, stop, and the
# panel checked in screenshots at each step. Its MIDI output is a JACK port
# that records what it receives: playing must reach it, and stopping end it.
# Usage: tbo_end_to_end.sh TBO MELODY [ARTIFACT_DIR]
set -euo pipefail

TBO=$(realpath "$1")
MELODY=$(realpath "$2")
ARTIFACTS=${3:-}

. "$(dirname "$(realpath "$0")")/../support/script_tools.sh"
require_tools tbo_end_to_end "scripts/deps.sh test" xvfb-run xdotool import convert jackd jack_wait \
    jack_lsp jack_midi_dump

# The whole run gets its own virtual screen and a bounded time.
if [[ -z ${TBO_E2E_SCREEN:-} ]]; then
    export TBO_E2E_SCREEN=1
    exec timeout -k 10 150 xvfb-run $(xvfb_display_args) \
        -s "-screen 0 640x480x24 -nolisten tcp" "$0" "$@"
fi

work=$(mktemp -d)
pids=()
cleanup() {
    local status=$?
    for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
    wait 2>/dev/null || true
    if [[ $status -ne 0 ]]; then
        echo "---- TBO's output"
        cat "$work/tbo.log" 2>/dev/null || true
        [[ -n $ARTIFACTS ]] && mkdir -p "$ARTIFACTS" && cp "$work"/*.png "$ARTIFACTS"/ 2>/dev/null
    fi
    rm -rf "$work"
    exit "$status"
}
trap cleanup EXIT
fail() {
    echo "FAIL: $*" >&2
    exit 1
}

# A new user: nothing registered, nothing configured.
mkdir -p "$work/home" "$work/config" "$work/tmp" "$work/run"
chmod 700 "$work/run"
export HOME="$work/home" XDG_CONFIG_HOME="$work/config" TMPDIR="$work/tmp" XDG_RUNTIME_DIR="$work/run"
export QT_QPA_PLATFORM=xcb
unset QT_QPA_PLATFORMTHEME

# No sound hardware here: a JACK server on the dummy driver, and on it a MIDI
# port that writes down every message it gets. The player's MIDI mapper (the
# output a new user plays on) is pointed at that port.
export JACK_DEFAULT_SERVER="tbo-e2e-$$" JACK_NO_AUDIO_RESERVATION=1
jackd -n "$JACK_DEFAULT_SERVER" --no-realtime -d dummy >"$work/jackd.log" 2>&1 &
pids+=($!)
timeout 15 jack_wait -w -t 10 >/dev/null 2>&1 || fail "the JACK server did not start: $(cat "$work/jackd.log")"
RECORDER="tbo-e2e-recorder"
stdbuf -oL jack_midi_dump -a "$RECORDER" >"$work/midi.log" 2>"$work/midi_dump.log" &
pids+=($!)
recorder_listed() { jack_lsp 2>/dev/null | grep -qx "$RECORDER:input"; }
deadline=$((SECONDS + 10))
until recorder_listed; do
    ((SECONDS < deadline)) || fail "the recording MIDI port did not appear"
    sleep 0.2
done
export TAMBOLIN_MIDI_MAPPER="$RECORDER"
notes_on() { grep -Ec 'note on .*velocity +[1-9]' "$work/midi.log" || true; }

# ---- panel geometry, in pixels of the control (15 twips each)
button_centre() { # element 1..5 -> "x y"
    local left=(0 90 450 810 1170 1530)
    echo $(((left[$1] + 180) / 15)) $(((720 + 180) / 15))
}
TITLE_STRIP="154x16+3+3"    # Picture1
PLAY_BUTTON="24x24+6+48"    # element 1 of the buttons
METER="143x15+6+22"         # Picture2's three bars, 6 pixels apart

shot() { # name -> screenshot of the window's client area
    import -window "$WID" "$work/$1.png"
}
# Pixels of a region that are lit: bright and strongly coloured.
lit_pixels() { # image region
    convert "$work/$1.png" -crop "$2" +repage \
        -fx 'hi = max(r, max(g, b)); lo = min(r, min(g, b)); (hi - lo > 0.3 && hi > 0.55) ? 1 : 0' \
        -format '%[fx:round(mean*w*h)]' info:
}
dark_pixels() { # image region
    convert "$work/$1.png" -crop "$2" +repage -fx 'max(r, max(g, b)) < 0.3 ? 1 : 0' \
        -format '%[fx:round(mean*w*h)]' info:
}
region_differs() { # image image region -> number of differing pixels
    mkdir -p "$work/crops"
    convert "$work/$1.png" -crop "$3" +repage "$work/crops/a.png"
    convert "$work/$2.png" -crop "$3" +repage "$work/crops/b.png"
    compare -metric AE "$work/crops/a.png" "$work/crops/b.png" null: 2>&1 || true
}
click() { # element
    read -r x y < <(button_centre "$1")
    xdotool mousemove --window "$WID" "$x" "$y" click 1
}
wait_for() { # seconds command...
    local deadline=$((SECONDS + $1))
    shift
    until "$@"; do
        ((SECONDS < deadline)) || return 1
        sleep 0.2
    done
}

# ---- start: arguments are ignored
"$TBO" --bogus-option "$MELODY" >"$work/tbo.log" 2>&1 &
TBO_PID=$!
pids+=($TBO_PID)
# No message may come while the control starts: one would be a failure (no
# MIDI output could be opened, say). It is answered as a user would, with its
# default button, so that the pictures show the window behind it.
answer_messages() {
    for box in $(xdotool search --onlyvisible --pid "$TBO_PID" 2>/dev/null | grep -vx "${WID:-none}"); do
        local name
        name=$(xdotool getwindowname "$box" 2>/dev/null)
        [[ $name == Form1 ]] && continue # the window itself, just come up
        xdotool windowfocus --sync "$box" 2>/dev/null || true
        xdotool key --window "$box" Return 2>/dev/null || true
        fail "TBO showed a message at start: $name"
    done
}
WID=""
find_form() {
    WID=$(xdotool search --onlyvisible --name '^Form1$' 2>/dev/null | head -n1)
    [[ -n $WID ]] || answer_messages
    [[ -n $WID ]]
}
wait_for 20 find_form || fail "no window named Form1 appeared"
kill -0 "$TBO_PID" || fail "TBO ended at start"

read -r width height < <(xwininfo -id "$WID" | awk '/Width:/{w=$2} /Height:/{h=$2} END{print w, h}')
[[ "$width" == 161 && "$height" == 101 ]] || fail "client area is ${width}x${height}, not 161x101"
grep -q "^\[TAMBOLIN.PLAYCTRL\\\\CLSID\]" "$XDG_CONFIG_HOME/tamberlo/registry/HKEY_CLASSES_ROOT.reg" ||
    fail "TBO did not register the control class on its first start"

sleep 1
answer_messages
shot start
[[ $(lit_pixels start "$METER") -eq 0 ]] || fail "meter bars lit before anything played"

# ---- open a melody through the dialog
click 3
DIALOG=""
find_dialog() {
    DIALOG=$(xdotool search --onlyvisible --pid "$TBO_PID" 2>/dev/null | grep -vx "$WID" | tail -n1)
    [[ -n $DIALOG ]]
}
wait_for 15 find_dialog || fail "the open dialog did not appear"
sleep 0.5
xdotool windowfocus --sync "$DIALOG" 2>/dev/null || true
xdotool key --window "$DIALOG" ctrl+a
xdotool type --window "$DIALOG" --delay 5 "$MELODY"
dialog_closed() { ! xdotool search --onlyvisible --pid "$TBO_PID" 2>/dev/null | grep -qx "$DIALOG"; }
# Return accepts the name; when the name's completion list has popped up
# meanwhile, the first Return only takes the completion, so press again.
for attempt in 1 2 3; do
    # The dialog may be gone before the key's release reaches it.
    xdotool key --window "$DIALOG" Return 2>/dev/null || true
    wait_for 3 dialog_closed && break
done
dialog_closed || fail "the open dialog stayed open"
# A Return whose release went to the dialog as it closed repeats on in the
# window below, where it would press the focused button: let go of it.
xdotool keyup Return 2>/dev/null || true

play_enabled() {
    shot loaded
    [[ $(region_differs start loaded "$PLAY_BUTTON") -gt 20 ]]
}
wait_for 10 play_enabled || fail "the play button did not come on after opening $MELODY"
# The new title scrolls through the strip: dark text on the light strip.
title_shown() {
    shot title
    [[ $(region_differs start title "$TITLE_STRIP") -gt 20 && $(dark_pixels title "$TITLE_STRIP") -gt 10 ]]
}
wait_for 15 title_shown || fail "no title showed in the title strip after opening $MELODY"

# ---- play: the meter lights
click 1
meter_lit() {
    shot playing
    [[ $(lit_pixels playing "$METER") -gt 20 ]]
}
wait_for 10 meter_lit || fail "the meter bars did not light while playing"
notes_heard() { (($(notes_on) >= 3)); }
wait_for 10 notes_heard || fail "no notes reached the MIDI output while playing ($(notes_on) note-ons)"

# ---- stop: the meter goes dark again
click 2
meter_dark() {
    shot stopped
    [[ $(lit_pixels stopped "$METER") -eq 0 ]]
}
wait_for 10 meter_dark || fail "the meter bars stayed lit after stop"
# Once stopped the output falls silent: no note starts after a moment's grace.
sleep 0.5
stopped_at=$(notes_on)
sleep 1.5
[[ $(notes_on) -eq $stopped_at ]] || fail "notes went on reaching the MIDI output after stop"
kill -0 "$TBO_PID" || fail "TBO ended while in use"

echo "JACK ports while TBO runs:"
jack_lsp -c 2>/dev/null | sed 's/^/  /' || true

# ---- close the window: TBO ends, and keeps its MIDI choices
python3 "$(dirname "$0")/close_window.py" "$WID" || fail "could not ask the window to close"
tbo_ended() { ! kill -0 "$TBO_PID" 2>/dev/null; }
wait_for 15 tbo_ended || fail "TBO did not end after its window closed"
wait "$TBO_PID" || fail "TBO ended with status $?"
grep -qi "midiport" "$XDG_CONFIG_HOME/tamberlo/registry/HKEY_LOCAL_MACHINE.reg" ||
    fail "the MIDI choices were not stored when TBO ended"
if [[ -n $ARTIFACTS ]]; then
    mkdir -p "$ARTIFACTS"
    cp "$work"/*.png "$ARTIFACTS"/
fi
echo "TBO opened, played ($stopped_at note-ons heard) and stopped $(basename "$MELODY"), and ended with its window"
