#!/usr/bin/env bash
# The structure benchmark: one network of GROUPS rings of SITES sites (500 x 20 by default: 10,000 sites and
# 95,000 links, from ../shared/tools/gen_network.py) drawn on its rings and on a made-up 10,000-residue chain
# (bench/make-structure.py), as mmCIF and as PDB (gemmi convert), by one build in one run. For each: the first frame and peak RSS
# (frametime.sh), and the frame interval while turning, whether the full picture comes back and the CPU at
# rest (dragtime.sh); then the structure's first frame over the rings', and how far a vector figure of the
# structure is from its PNG (imgdiff.py's block4_mae), at 1280 x 1024.
#
#   bench/structure.sh [BINARY] [GROUPS] [SITES]
set -euo pipefail
cd "$(dirname "$0")/.."
binary=$(realpath "${1:-build/linkmap}")
groups=${2:-500}
sites=${3:-20}
tools=../shared/tools
work=${LINKMAP_BENCH_WORK:-/tmp/linkmap-structure-bench}
mkdir -p "$work"
network=$work/n$groups-$sites
python3 $tools/gen_network.py "$groups" "$sites" "$network" >/dev/null
/usr/bin/python3 bench/make-structure.py "$network.txt" $((groups * sites)) "$network.cif"
gemmi convert "$network.cif" "$network.pdb"
echo "network: $groups rings of $sites sites, $(( groups * sites * (sites - 1) / 2 )) links; chain of $((groups * sites)) residues"

field() { # the value of NAME=value among a tool's output, words on one line or on several
    tr ' ' '\n' <<<"$2" | sed -n "s/^$1=//p" | tail -1
}
declare -A first
for layout in rings mmcif pdb; do
    settings=()
    [ "$layout" = rings ] || settings=("LINKMAP_STRUCTURE=$network.$layout")
    [ "$layout" = mmcif ] && settings=("LINKMAP_STRUCTURE=$network.cif")
    frame=$(env "${settings[@]}" $tools/frametime.sh "$binary" "$network.txt" 6 2>/dev/null)
    drag=$(env "${settings[@]}" $tools/dragtime.sh "$binary" "$network.txt" 2>/dev/null)
    first[$layout]=$(field first_frame_s "$frame")
    printf '%-9s first frame %s s, %d MB; turning %s ms a frame (p90 %s), full picture back: %s, CPU at rest %s%%\n' \
        "$layout" "${first[$layout]}" $(( $(field rss_kb "$frame") / 1024 )) "$(field drag_median_ms "$drag")" \
        "$(field drag_p90_ms "$drag")" "$(field restored "$drag")" "$(field idle_cpu_pct "$drag")"
done
printf 'first frame over the rings'"'"': mmCIF %.2f, PDB %.2f\n' "$(echo "${first[mmcif]} / ${first[rings]}" | bc -l)" \
    "$(echo "${first[pdb]} / ${first[rings]}" | bc -l)"

# The vector figure against the PNG of the same view, as a person sees them.
. bench/private-display.sh
for format in png svg; do
    DISPLAY=":$display" OSG_WINDOW="0 0 1280 1024" LINKMAP_STRUCTURE="$network.cif" "$binary" "$network.txt" \
        --generate-image "$work/figure.$format" >/dev/null 2>&1
done
rsvg-convert -w 1280 -h 1024 "$work/figure.svg" -o "$work/figure-svg.png"
echo "vector figure against PNG: $(/usr/bin/python3 $tools/imgdiff.py "$work/figure.png" "$work/figure-svg.png")"
