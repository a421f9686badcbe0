#!/usr/bin/env bash
# Builds the libFuzzer targets with clang and runs each for a bounded time (FUZZ_SECONDS, 60 by
# default) from the seed corpus in tests/fuzz/corpus. Any finding fails the run.
set -euo pipefail
cd "$(dirname "$0")/.."
repo=$(pwd)

seconds=${FUZZ_SECONDS:-60}
subjects=(path status journal registry keyvalues)
CC=clang CXX=clang++ cmake -S . -B build-fuzz -G Ninja -DBEXOM_FUZZ=ON >/dev/null
cmake --build build-fuzz --target "${subjects[@]/#/fuzz_}"

# One fuzzer from its seed corpus; on a finding, the end of its log and where the input is kept.
fuzz_one() {
    local subject=$1 work status=0 runs
    work=$(mktemp -d)
    cp "$repo/tests/fuzz/corpus/$subject"/* "$work/"
    (cd "$work" && "$repo/build-fuzz/tests/fuzz/fuzz_$subject" -max_total_time="$seconds" \
        -max_len=4096 -print_final_stats=1 "$work" >"$work.log" 2>&1) || status=$?
    runs=$(grep -oE "stat::number_of_executed_units: [0-9]+" "$work.log" | grep -oE "[0-9]+$" || echo 0)
    if [ "$status" -ne 0 ]; then
        tail -40 "$work.log"
        echo "fuzz_$subject: FAILED, the failing input is kept in $work"
        return 1
    fi
    echo "fuzz_$subject: ${seconds} s, $runs executions, no finding"
    rm -rf "$work" "$work.log"
}
export -f fuzz_one
export repo seconds

# Each fuzzer runs on one core, so as many run side by side as there are cores.
printf '%s\n' "${subjects[@]}" | xargs -P "$(nproc)" -I{} bash -c 'fuzz_one {}'
