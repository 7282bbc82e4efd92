#!/usr/bin/env bash
# Times the vector figures of one build on generated networks, and says how close each is to the picture of
# the same view, and prints a Markdown table.
#
#   bench/figures.sh [BINARY] [SIZES...]
#
# SIZES are "groups x sites" pairs such as 22x10 (990 links); by default 22x10 100x15 500x20. For each
# network: the PNG of the first view at 1280 x 1024 (under a private virtual display), then the SVG and the PDF
# without a display, each with its wall time, peak RSS and size, and block4_mae of the SVG drawn by rsvg-convert
# and of the PDF drawn by pdftoppm against the PNG (../shared/tools/imgdiff.py).
set -uo pipefail
cd "$(dirname "$0")/.."
binary=$(realpath "${1:-build/linkmap}")
shift $(( $# > 0 ? 1 : 0 ))
sizes=("$@")
[ ${#sizes[@]} -gt 0 ] || sizes=(22x10 100x15 500x20)
tools=../shared/tools
work=$(mktemp -d)

# One virtual display for the PNG runs, on a number of its own.
. bench/private-display.sh

# One run: "wall_s rss_kb bytes".
figure() {
    local network=$1 file=$2
    shift 2
    local measured
    measured=$(mktemp)
    env "$@" OSG_WINDOW="0 0 1280 1024" /usr/bin/time -f "%e %M" -o "$measured" "$binary" "$network.txt" \
        -p "$network.pos" -n "$network.neg" -a "$network.acc" --generate-image "$file" >/dev/null 2>&1
    echo "$(cat "$measured") $(stat -c %s "$file")"
    rm -f "$measured"
}

block4() {
    /usr/bin/python3 "$tools/imgdiff.py" "$1" "$2" | sed -n 's/.*block4_mae=\([0-9.]*\).*/\1/p'
}

echo "| links | format | wall | peak RSS | size | block4_mae against the PNG |"
echo "|---|---|---|---|---|---|"
for size in "${sizes[@]}"; do
    groups=${size%x*}
    sites=${size#*x}
    network="$work/n$size"
    python3 "$tools/gen_network.py" "$groups" "$sites" "$network" >/dev/null
    links=$(( groups * sites * (sites - 1) / 2 ))
    read -r wall rss bytes < <(figure "$network" "$network.png" DISPLAY=":$display")
    printf "| %d | PNG | %.2f s | %d MB | %.1f MB | |\n" "$links" "$wall" $(( rss / 1024 )) "$(awk "BEGIN { print $bytes / 1048576 }")"
    read -r wall rss bytes < <(figure "$network" "$network.svg" -u DISPLAY)
    rsvg-convert -w 1280 -h 1024 "$network.svg" -o "$network-svg.png"
    printf "| %d | SVG | %.2f s | %d MB | %.1f MB | %s |\n" "$links" "$wall" $(( rss / 1024 )) "$(awk "BEGIN { print $bytes / 1048576 }")" "$(block4 "$network.png" "$network-svg.png")"
    read -r wall rss bytes < <(figure "$network" "$network.pdf" -u DISPLAY)
    pdftoppm -r 72 -png -singlefile "$network.pdf" "$network-pdf"
    printf "| %d | PDF | %.2f s | %d MB | %.1f MB | %s |\n" "$links" "$wall" $(( rss / 1024 )) "$(awk "BEGIN { print $bytes / 1048576 }")" "$(block4 "$network.png" "$network-pdf.png")"
done
