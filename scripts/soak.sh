#!/usr/bin/env bash
# Runs the window and browser suites again and again beside two busy loops, as a loaded CI machine would run
# them, and stops at the first run that fails: scripts/soak.sh [RUNS] [BUILD], 20 runs of build/ by default.
# A test that waits for what it tests passes every run; one that races a timer fails here first.
set -euo pipefail
cd "$(dirname "$0")/.."
runs=${1:-20}
build=${2:-build}
logs=$(mktemp -d)

source scripts/busy-loops.sh

passed=0
for run in $(seq 1 "$runs"); do
    started=$(date +%s)
    if (cd "$build" && LINKMAP_FORCE_XVFB=1 ../scripts/with-display.sh ctest -L 'window|web' -j2 --output-on-failure) \
        >"$logs/run-$run.log" 2>&1; then
        passed=$((passed + 1))
        echo "run $run passed in $(($(date +%s) - started)) s"
    else
        echo "run $run failed in $(($(date +%s) - started)) s; its log: $logs/run-$run.log"
        grep -E "Failure|FAILED|not ok|waited" "$logs/run-$run.log" | head -20
        break
    fi
done
echo "soak: $passed of $runs runs in a row passed beside two busy loops"
[ "$passed" -eq "$runs" ]
