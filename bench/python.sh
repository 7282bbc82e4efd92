#!/usr/bin/env bash
# The Python module against the command line: a SITES × SITES float64 correlation matrix (5,000 by default,
# communities of 400 planted, made by ../shared/tools/gen_npy.py) to a saved figure (FIGURE, .html by
# default) at LINKMAP_MIN_WEIGHT=0.5, by the program from the .npy file and by the module from the array in
# memory (np.load's, timed from linkmap.Network on), each ROUNDS times (3), interleaved. Prints every run's
# wall time and peak RSS, and whether the two figures are the same bytes (a page's title aside).
#
#   bench/python.sh [BUILD] [SITES] [FIGURE] [ROUNDS]
set -euo pipefail
cd "$(dirname "$0")/.."
build=$(realpath "${1:-build}")
sites=${2:-5000}
figure=${3:-html}
rounds=${4:-3}
work=${LINKMAP_BENCH_WORK:-/tmp/linkmap-python-bench}
mkdir -p "$work"
matrix=$work/m$sites.npy
[ -f "$matrix" ] || /usr/bin/python3 ../shared/tools/gen_npy.py "$sites" 400 "$matrix" >/dev/null
cat "$matrix" >/dev/null # into the page cache, for both alike
export OSG_WINDOW="0 0 1200 900"
for round in $(seq "$rounds"); do
    /usr/bin/time -f "%e %M" -o "$work/time" env -u DISPLAY LINKMAP_MIN_WEIGHT=0.5 "$build/linkmap" "$matrix" \
        --generate-image "$work/program.$figure" >/dev/null
    read -r wall rss <"$work/time"
    echo "round $round program: ${wall} s, $((rss / 1024)) MB"
    /usr/bin/time -f "%e %M" -o "$work/time" env -u DISPLAY PYTHONPATH="$build/python" /usr/bin/python3 -c "
import sys, time
import numpy as np
import linkmap
matrix = np.load(sys.argv[1])
start = time.perf_counter()
linkmap.Network(matrix, min_weight=0.5).figure().save(sys.argv[2])
print('%.2f' % (time.perf_counter() - start))
" "$matrix" "$work/module.$figure" >"$work/module-seconds"
    read -r wall rss <"$work/time"
    echo "round $round module: $(cat "$work/module-seconds") s from linkmap.Network on (${wall} s with Python, numpy and np.load), $((rss / 1024)) MB"
done
# A page's title names its file, which the array has none of.
untitled() { sed 's|<title>[^<]*</title>||' "$1"; }
if cmp -s <(untitled "$work/program.$figure") <(untitled "$work/module.$figure"); then
    echo "the two figures are the same bytes, but for a page's title"
else
    echo "the two figures differ"
fi
