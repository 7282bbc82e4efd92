#!/usr/bin/env bash
# Saves the bundled example's image RUNS times (40 by default) through xvfb-run -a, as the README launches
# headless runs, beside two busy loops: each run starts its own Xvfb, which resets whenever its last client
# leaves. Prints how many runs wrote their image and how each of the others ended.
# bench/xvfb-runs.sh [RUNS] [BUILD]
set -euo pipefail
cd "$(dirname "$0")/.."
runs=${1:-40}
build=${2:-build}
work=$(mktemp -d)

source scripts/busy-loops.sh

written=0
for run in $(seq 1 "$runs"); do
    image=$work/run-$run.png
    status=0
    xvfb-run -a "$build/linkmap" examples/network.txt -p examples/positive.txt -n examples/negative.txt \
        -a examples/accelerated.txt --generate-image "$image" >"$work/run-$run.out" 2>"$work/run-$run.err" || status=$?
    if [ "$status" -eq 0 ] && [ -s "$image" ]; then
        written=$((written + 1))
    else
        echo "run $run: exit $status, $(grep -c . "$work/run-$run.err") lines on standard error, last: $(tail -n 1 "$work/run-$run.out")"
    fi
done
same=$(md5sum "$work"/run-*.png 2>/dev/null | awk '{print $1}' | sort -u | wc -l)
echo "xvfb-run: $written of $runs runs wrote their image ($same distinct image(s)); files in $work"
