#!/bin/bash
# Runs the libFuzzer targets one after the other, each for SECONDS (default 300), at low priority.
# New inputs go to build-fuzz/corpus/<target> (the seed corpus in fuzz/corpus stays as it is);
# a crash leaves its input in build-fuzz/artifacts/ -- add it to tests/crashers/ under a name that
# says what it found.
#   scripts/fuzz.sh [SECONDS] [TARGET...]      e.g. scripts/fuzz.sh 600 fuzz_workbook_globals
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-300}
shift || true
targets=("$@")
if [ ${#targets[@]} -eq 0 ]; then
    targets=(fuzz_compound_file fuzz_workbook_globals fuzz_workbook_model fuzz_xlsx_package fuzz_photo_metadata)
fi
make fuzz FUZZ_DIR=build-fuzz JOBS=${JOBS:-2} >/dev/null
mkdir -p build-fuzz/artifacts
for target in "${targets[@]}"; do
    name=${target#fuzz_}
    work=build-fuzz/corpus/$name
    mkdir -p "$work"
    echo "== $target for ${seconds}s"
    nice -n 19 "build-fuzz/fuzz/$target" -max_total_time="$seconds" -max_len=65536 -timeout=10 \
        -rss_limit_mb=2048 -artifact_prefix=build-fuzz/artifacts/"$name"- -print_final_stats=1 \
        "$work" "fuzz/corpus/$name"
done
