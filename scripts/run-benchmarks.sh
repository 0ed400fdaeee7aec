#!/bin/bash
# Runs every benchmark program built in BUILD_DIR/bench (`make bench`), one after the other.
#   scripts/run-benchmarks.sh BUILD_DIR
set -uo pipefail
build=${1:-build}
status=0
for program in "$build"/bench/*; do
    [ -f "$program" ] && [ -x "$program" ] || continue
    echo "== $(basename "$program")"
    "$program" || status=1
done
exit $status
