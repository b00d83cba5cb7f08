#!/usr/bin/env bash
# One fuzz target's run for the tests: FUZZ_SECONDS (default 60) of libFuzzer on a copy of its
# seed corpus; FUZZ_SECONDS=0 only replays the seeds. Prints one line; a fault prints the whole
# sanitizer or property report, keeps the input that shows it in ARTIFACTS/ and fails.
#
#   run_fuzzer.sh TARGET SEED_CORPUS WORK_FOLDER ARTIFACTS
set -euo pipefail

target=$1
seeds=$2
work=$3
artifacts=$4
seconds=${FUZZ_SECONDS:-60}
[[ $seconds =~ ^[0-9]+$ ]] || { echo "FUZZ_SECONDS must be a number of seconds, not \"$seconds\"" >&2; exit 2; }
name=$(basename "$target")

mkdir -p "$work" "$artifacts"
log=$work.log
if ((seconds == 0)); then
    # libFuzzer reads -max_total_time=0 as "no limit"; -runs=0 runs the given inputs and stops.
    options=(-runs=0)
else
    options=(-max_total_time="$seconds")
fi
if "$target" "${options[@]}" -rss_limit_mb=4096 -print_final_stats=1 -artifact_prefix="$artifacts/" \
    "$work" "$seeds" >"$log" 2>&1; then
    awk -v name="$name" -v seconds="$seconds" '
        /^stat::number_of_executed_units/ { runs = $2 } /^stat::average_exec_per_sec/ { rate = $2 }
        END {
            if (seconds == 0) printf "%s: replayed the seeds (%s inputs), nothing found; FUZZ_SECONDS=0 fuzzes nothing\n", name, runs
            else printf "%s: %s inputs in %s s, %s a second, nothing found\n", name, runs, seconds, rate
        }' "$log"
else
    # Everything but the progress lines: the sanitizer's or the target's report and the input.
    grep -v -E '^#[0-9]+[[:space:]]' "$log" >&2 || true
    echo "$name found a fault; repeat it with: $target <the input written above>" >&2
    exit 1
fi
