#!/usr/bin/env bash
# Times the web page and the scene file of one build on the example and on generated networks, and how the
# page draws and turns in headless Chromium with SwiftShader; prints a Markdown table.
#
#   bench/web.sh [BINARY] [SIZES...]
#
# SIZES are "groups x sites" pairs such as 500x20 (95,000 links), "example", or "protease" (the README's paths
# through HIV-1 protease on its structure); by default the example, 500x20 and 5300x20
# (1,007,000 links). For each network: the HTML page and the GLB scene written without a display, each with its
# wall time, peak RSS and size; then the page opened at 1280 x 1024 (bench/webframe.mjs): the time to its first
# frame and to its full picture, the time between frames while a drag turns it, how long the full picture takes
# to come back once the drag lets go, how long a drag begun meanwhile waits for its first frame, the time between
# frames while a drag made in the page at every animation frame turns it (paced: the drawing, not the driver's
# pace), and the same of a bare three.js page of the same network (bench/barepage.mjs). Needs node and
# tests/web's npm packages (scripts/install-deps.sh --tests).
set -uo pipefail
cd "$(dirname "$0")/.."
binary=$(realpath "${1:-build/linkmap}")
shift $(( $# > 0 ? 1 : 0 ))
sizes=("$@")
[ ${#sizes[@]} -gt 0 ] || sizes=(example 500x20 5300x20)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# One run without a display: "wall_s rss_kb bytes".
written() {
    local file=$1
    shift
    local measured
    measured=$(mktemp)
    env -u DISPLAY /usr/bin/time -f "%e %M" -o "$measured" "$binary" "$@" --generate-image "$file" >/dev/null 2>&1
    echo "$(cat "$measured") $(stat -c %s "$file")"
    rm -f "$measured"
}

echo "| network | links | file | write | peak RSS | size | first frame | full picture | frame while turning (median, p90) | full picture again | a drag's answer | paced turning (median, p90) | bare page, paced |"
echo "|---|---|---|---|---|---|---|---|---|---|---|---|---|"
for size in "${sizes[@]}"; do
    if [ "$size" = example ]; then
        inputs=(examples/network.txt -p examples/positive.txt -n examples/negative.txt -a examples/accelerated.txt)
        links=22
    elif [ "$size" = protease ]; then
        # The README's figure of the paths through HIV-1 protease, on its structure.
        export LINKMAP_FROM=I50 LINKMAP_TO=D25 LINKMAP_STRUCTURE=examples/1hpv.pdb LINKMAP_MIN_WEIGHT=0.25 LINKMAP_KEY=1
        inputs=(examples/protease-a-gnm.csv -p examples/protease-flaps.txt -n examples/protease-active-site.txt)
        links=$("$binary" "${inputs[@]}" --generate-image "$work/count.graphml" 2>/dev/null | grep -c '^Creating link')
    else
        groups=${size%x*}
        sites=${size#*x}
        network="$work/n$size"
        python3 ../shared/tools/gen_network.py "$groups" "$sites" "$network" >/dev/null
        inputs=("$network.txt" -p "$network.pos" -n "$network.neg" -a "$network.acc")
        links=$(( groups * sites * (sites - 1) / 2 ))
    fi
    for kind in html glb; do
        file="$work/figure.$kind"
        read -r wall rss bytes < <(written "$file" "${inputs[@]}")
        shown=""
        if [ "$kind" = html ]; then
            frame=$(node bench/webframe.mjs "$file")
            first=$(sed -n 's/.*first_frame_s=\([0-9.]*\).*/\1/p' <<<"$frame")
            median=$(sed -n 's/.*turn_median_ms=\([0-9.]*\).*/\1/p' <<<"$frame")
            p90=$(sed -n 's/.*turn_p90_ms=\([0-9.]*\).*/\1/p' <<<"$frame")
            complete=$(sed -n 's/.*complete_s=\([0-9.]*\).*/\1/p' <<<"$frame")
            rest=$(sed -n 's/.*rest_s=\([0-9.]*\).*/\1/p' <<<"$frame")
            answer=$(sed -n 's/.*answer_ms=\([0-9.]*\).*/\1/p' <<<"$frame")
            paced=$(sed -n 's/.*paced_median_ms=\([0-9.]*\).*/\1/p' <<<"$frame")
            pacedP90=$(sed -n 's/.*paced_p90_ms=\([0-9.]*\).*/\1/p' <<<"$frame")
            # The bare page merges a mesh a link: past 100,000 links it is no page anyone would make.
            bare=""
            if [ "$links" -le 100000 ]; then
                node bench/barepage.mjs "$file" "$work/bare.html"
                bare=$(node bench/webframe.mjs "$work/bare.html")
            fi
            bareMedian=$(sed -n 's/.*paced_median_ms=\([0-9.]*\).*/\1/p' <<<"$bare")
            bareP90=$(sed -n 's/.*paced_p90_ms=\([0-9.]*\).*/\1/p' <<<"$bare")
            rm -f "$work/bare.html"
            shown="| $first s | $complete s | $median, $p90 ms | $rest s | $answer ms | $paced, $pacedP90 ms | $bareMedian, $bareP90 ms |"
        else
            shown="| | | | | | | |"
        fi
        printf "| %s | %d | %s | %.2f s | %d MB | %.1f MB %s\n" "$size" "$links" "$kind" "$wall" $(( rss / 1024 )) \
            "$(awk "BEGIN { print $bytes / 1048576 }")" "$shown"
        rm -f "$file"
    done
    unset LINKMAP_FROM LINKMAP_TO LINKMAP_STRUCTURE LINKMAP_MIN_WEIGHT LINKMAP_KEY
done
