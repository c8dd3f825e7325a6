# Shared by the shell tests: sourced, not run.

# require_tools NAME HINT TOOL...: fails the test when a tool is missing.
require_tools() {
    local name=$1 hint=$2 tool
    shift 2
    for tool in "$@"; do
        if ! command -v "$tool" >/dev/null; then
            echo "$name: $tool is missing ($hint installs it)" >&2
            exit 1
        fi
    done
}

# Arguments for xvfb-run: runs started side by side would race for the same
# first free display number, so each starts its search somewhere else.
xvfb_display_args() {
    echo "-a -n $((100 + RANDOM % 800))"
}
