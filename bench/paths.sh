#!/usr/bin/env bash
# The paths benchmark: networks of about 10^4, 10^5 and 10^6 links whose rings share half their names, so
# that a path can run across the whole network; for each, the time to find k = 10 and k = 100 paths between
# its first site and the first of its last ring (PathBenchmark), as a Markdown table.
#
#   bench/paths.sh [BUILD_FOLDER]
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}
work=${LINKMAP_BENCH_WORK:-/tmp/linkmap-path-bench}
mkdir -p "$work"
echo "| sites | links | between | k = 10: s (found, shortest) | k = 100: s (found, shortest) |"
echo "|---|---|---|---|---|"
for groups in 53 530 5300; do
    network=$work/n$groups
    [ -f "$network.txt" ] || python3 ../shared/tools/gen_network.py "$groups" 20 "$network" --dup 0.5 >/dev/null
    "$build/bench/PathBenchmark" "$network.txt"
done
