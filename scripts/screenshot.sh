#!/usr/bin/env bash
# Takes a picture of the main window: starts the program on a virtual X display with fresh
# settings, waits until its window is mapped, captures it and stops the program.
# Usage: scripts/screenshot.sh PROGRAM OUTPUT.png
set -euo pipefail

program=$(realpath "$1")
output=$2
mkdir -p "$(dirname "$output")"

work=$(mktemp -d)
display_number=$((90 + RANDOM % 400))
xvfb_pid=""
program_pid=""
cleanup() {
    [[ -n "$program_pid" ]] && kill "$program_pid" 2>/dev/null || true
    [[ -n "$xvfb_pid" ]] && kill "$xvfb_pid" 2>/dev/null || true
    rm -rf "$work"
}
trap cleanup EXIT

Xvfb ":$display_number" -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
xvfb_pid=$!
export DISPLAY=":$display_number"
for _ in $(seq 50); do
    xdpyinfo >/dev/null 2>&1 && break
    sleep 0.1
done

mkdir -p "$work/config" "$work/runtime"
chmod 700 "$work/runtime"
XDG_CONFIG_HOME="$work/config" XDG_RUNTIME_DIR="$work/runtime" QT_QPA_PLATFORM=xcb \
    "$program" >/dev/null 2>&1 &
program_pid=$!

window=""
for _ in $(seq 100); do
    window=$(xwininfo -root -tree 2>/dev/null | grep -F '"   Tavorin"' | awk '{print $1}' | head -n 1 || true)
    if [[ -n "$window" ]] && xwininfo -id "$window" | grep -q 'Map State: IsViewable'; then
        break
    fi
    window=""
    sleep 0.1
done
if [[ -z "$window" ]]; then
    echo "the window did not appear" >&2
    exit 1
fi
sleep 1 # let the first paint finish
xwd -silent -id "$window" | convert xwd:- "$output"
echo "wrote $output"
