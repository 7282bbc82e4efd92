#!/usr/bin/env bash
# The import benchmark: a matrix of SITES sites with planted communities of BLOCK (5,000 and 50 by default,
# 25 million cells, about 160 MB), read with LINKMAP_MIN_WEIGHT=0.5 and written out as GraphML without a
# display, and the same matrix as numpy's .npy. Prints the whole run's wall time and peak RSS, the rate of reading the matrix against the rates of
# cat and wc -l over the same file, the phases as ImportBenchmark measures them, and whether the GraphML
# written holds exactly the planted communities as its groups.
#
#   bench/import.sh [BINARY] [SITES] [BLOCK]
set -euo pipefail
cd "$(dirname "$0")/.."
binary=$(realpath "${1:-build/linkmap}")
sites=${2:-5000}
block=${3:-50}
work=${LINKMAP_BENCH_WORK:-/tmp/linkmap-import-bench}
mkdir -p "$work"
matrix=$work/m$sites-$block
[ -f "$matrix.csv" ] || /usr/bin/python3 ../shared/tools/gen_matrix.py "$sites" "$block" "$matrix" >/dev/null
megabytes=$(( $(stat -c %s "$matrix.csv") / 1000000 ))

seconds() { # the wall time of a command, in seconds
    local start end
    start=$(date +%s.%N)
    "$@" >/dev/null
    end=$(date +%s.%N)
    echo "$end - $start" | bc
}
cat "$matrix.csv" >/dev/null # into the page cache, for every reader alike
cat_s=$(seconds cat "$matrix.csv")
wc_s=$(seconds wc -l "$matrix.csv")
/usr/bin/time -f "%e %M" -o "$work/time" env -u DISPLAY LINKMAP_MIN_WEIGHT=0.5 "$binary" "$matrix.csv" \
    --generate-image "$work/out.graphml" >"$work/log"
read -r run_s rss_kb <"$work/time"
echo "matrix: $sites sites, ${megabytes} MB; links logged: $(grep -c '^Creating link' "$work/log")"
printf 'linkmap run: %s s, %d MB peak RSS, %.0f MB/s over the whole run\n' "$run_s" $((rss_kb / 1024)) \
    "$(echo "$megabytes / $run_s" | bc -l)"
printf 'cat: %.0f MB/s; wc -l: %.0f MB/s\n' "$(echo "$megabytes / $cat_s" | bc -l)" \
    "$(echo "$megabytes / $wc_s" | bc -l)"
echo "phases: $(build/bench/ImportBenchmark "$matrix.csv" 0.5)"

# The same matrix as numpy's save writes it (float64, 200 MB at 5,000 sites), where the build reads .npy.
[ -f "$matrix.npy" ] || /usr/bin/python3 -c "import numpy, sys; numpy.save(sys.argv[2], numpy.loadtxt(sys.argv[1]))" \
    "$matrix.tsv" "$matrix.npy"
cat "$matrix.npy" >/dev/null
/usr/bin/time -f "%e %M" -o "$work/time" env -u DISPLAY LINKMAP_MIN_WEIGHT=0.5 "$binary" "$matrix.npy" \
    --generate-image "$work/out-npy.graphml" >"$work/log-npy" || true
read -r npy_s npy_kb <"$work/time"
printf 'npy: %d MB read in %s s, %d MB peak RSS; links logged: %s (the table: %s)\n' \
    $(( $(stat -c %s "$matrix.npy") / 1000000 )) "$npy_s" $((npy_kb / 1024)) \
    "$(grep -c '^Creating link' "$work/log-npy" || true)" "$(grep -c '^Creating link' "$work/log")"
/usr/bin/python3 - "$work/out.graphml" "$matrix.blocks" <<'PY'
import sys
import xml.etree.ElementTree as ET
graphml = "{http://graphml.graphdrawing.org/xmlns}"
groups = {}
for node in ET.parse(sys.argv[1]).getroot().iter(graphml + "node"):
    data = {d.get("key"): d.text for d in node}
    groups.setdefault(data["group"], set()).add(data["name"])
found = {frozenset(g) for g in groups.values()}
planted = {frozenset(line.split()) for line in open(sys.argv[2]) if line.strip()}
print("communities: %d found, %d planted, %s" % (len(found), len(planted), "exactly the planted ones" if found == planted else "NOT the planted ones"))
PY
