#!/usr/bin/env bash
# Compares two builds of linkmap on generated networks of 10^3 to 10^6 links, run side by side so that the
# machine's noise falls on both alike, and prints a Markdown table.
#
#   bench/compare.sh EARLIER_BINARY [THIS_BINARY] [SIZES...]
#
# SIZES are "groups x sites" pairs such as 22x10 (990 links); by default 22x10 100x15 500x20 5300x20 53000x20.
# For each network and build: the wall time and peak RSS of reading, logging and building without a display
# (the run stops at the window), the --generate-image run's wall time and peak RSS, and from the window
# (../shared/tools/dragtime.sh) the time to the first drawn frame, the median frame interval while a drag turns
# the view, whether the full picture is back a second after letting go, the CPU used at rest and the window
# run's peak RSS (not above 5,000,000 links, where a drag would take minutes); then block4_mae of this build's
# image against the earlier build's, and whether standard output is the same. An earlier build that
# takes longer than LINKMAP_BENCH_TIMEOUT seconds (300 by default) on a network is stopped and shown as "-".
set -uo pipefail
cd "$(dirname "$0")/.."
earlier=$(realpath "$1")
current=$(realpath "${2:-build/linkmap}")
shift $(( $# > 1 ? 2 : 1 ))
sizes=("$@")
[ ${#sizes[@]} -gt 0 ] || sizes=(22x10 100x15 500x20 5300x20 53000x20)
tools=../shared/tools
timeout=${LINKMAP_BENCH_TIMEOUT:-300}
work=$(mktemp -d)

# One virtual display of frametime.sh's size for the image runs, on a number of its own.
. bench/private-display.sh

# A --generate-image run under a private virtual display of the size frametime.sh uses: "wall_s rss_kb".
image_run() {
    local binary=$1 network=$2 image=$3
    local measured
    measured=$(mktemp)
    if DISPLAY=":$display" timeout "$timeout" /usr/bin/time -f "%e %M" -o "$measured" "$binary" "$network.txt" -p "$network.pos" -n "$network.neg" -a "$network.acc" \
            --generate-image "$image" >"$image.out" 2>/dev/null; then
        cat "$measured"
    else
        echo "- -"
    fi
    rm -f "$measured"
}

# Reading, logging and building without a display, where the run stops at the window with exit status 1:
# "wall_s rss_kb", or dashes for a run that ended otherwise (killed at the timeout, or crashed).
load_run() {
    local binary=$1 network=$2
    local measured status wall rss
    measured=$(mktemp)
    env -u DISPLAY timeout "$timeout" /usr/bin/time -f "%x %e %M" -o "$measured" "$binary" "$network.txt" \
        -p "$network.pos" -n "$network.neg" -a "$network.acc" >/dev/null 2>&1
    read -r status wall rss < <(tail -n 1 "$measured")
    rm -f "$measured"
    if [ "$status" = 1 ]; then
        echo "$wall $rss"
    else
        echo "- -"
    fi
}

# The window's figures: "first_frame_s drag_median_ms restored idle_cpu_pct rss_kb". A large network gets longer
# to settle before the drag.
window_run() {
    local binary=$1 network=$2 links=$3
    local line settle=3
    if [ "$links" -gt 5000000 ]; then
        echo "- - - - -"
        return
    fi
    [ "$links" -gt 500000 ] && settle=10
    line=$(SETTLE_S=$settle timeout "$timeout" "$tools/dragtime.sh" "$binary" "$network.txt" \
        -p "$network.pos" -n "$network.neg" -a "$network.acc" 2>/dev/null)
    local field value result=""
    for field in first_frame_s drag_median_ms restored idle_cpu_pct rss_kb; do
        value=$(sed -n "s/.*$field=\([^ ]*\).*/\1/p" <<<"$line")
        result="$result ${value:--}"
    done
    echo "$result"
}

echo "| network | links | build | read, log, build (s) | its peak RSS (MB) | first frame (s) | frame while turning (ms) | restored | CPU at rest (%) | window peak RSS (MB) | --generate-image run (s) | its peak RSS (MB) | block4_mae | stdout |"
echo "|---|---|---|---|---|---|---|---|---|---|---|---|---|---|"
for size in "${sizes[@]}"; do
    groups=${size%x*}
    sites=${size#*x}
    links=$(( groups * sites * (sites - 1) / 2 ))
    network=$work/net$size
    python3 "$tools/gen_network.py" "$groups" "$sites" "$network" >/dev/null
    for which in earlier current; do
        binary=$earlier
        [ "$which" = current ] && binary=$current
        read -r load_wall load_rss < <(load_run "$binary" "$network")
        read -r wall rss < <(image_run "$binary" "$network" "$work/$which$size.png")
        read -r first turning restored idle window_rss < <(window_run "$binary" "$network" "$links")
        mae=""
        same=""
        if [ "$which" = current ]; then
            if [ -f "$work/earlier$size.png" ] && [ -f "$work/current$size.png" ]; then
                mae=$(/usr/bin/python3 "$tools/imgdiff.py" "$work/earlier$size.png" "$work/current$size.png" |
                    sed -n 's/.*block4_mae=\([^ ]*\).*/\1/p')
                cmp -s "$work/earlier$size.png.out" "$work/current$size.png.out" && same="identical" || same="differs"
            else
                mae="-"
                same="-"
            fi
        fi
        rss_mb="-"
        [ "$rss" != "-" ] && rss_mb=$(( rss / 1024 ))
        load_mb="-"
        [ "$load_rss" != "-" ] && load_mb=$(( load_rss / 1024 ))
        window_mb="-"
        [ "$window_rss" != "-" ] && window_mb=$(( window_rss / 1024 ))
        echo "| ${groups} × ${sites} | $links | $which | $load_wall | $load_mb | $first | $turning | $restored | $idle | $window_mb | $wall | $rss_mb | $mae | $same |"
    done
done
