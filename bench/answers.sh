#!/usr/bin/env bash
# How long the window keeps a hand waiting, for two builds of linkmap run turn about on generated networks, so
# that the machine's noise falls on both alike; prints a Markdown table.
#
#   bench/answers.sh EARLIER_BINARY [THIS_BINARY] [SIZES...]
#
# SIZES are "groups x sites" pairs such as 500x20 (95,000 links); by default 22x10 500x20 5300x20 53000x20.
# For each network, RUNS times (2 by default) and each build, ../shared/tools/answertime.sh gives: the first
# frame; key_ms, "+" at rest to the next frame; answer_ms, a drag started while the full picture is drawn again
# to its next frame; full_s, letting go to the full picture back; and the window run's peak RSS. The smallest
# network is drawn at once by both builds: its answer_ms is the floor of the tool's own start of xdotool.
# A network of over 5,000,000 links gets 25 seconds to settle and 30 to refine (SETTLE_S, WATCH_S).
set -uo pipefail
cd "$(dirname "$0")/.."
earlier=$(realpath "$1")
current=$(realpath "${2:-build/linkmap}")
shift $(( $# > 1 ? 2 : 1 ))
sizes=("$@")
[ ${#sizes[@]} -gt 0 ] || sizes=(22x10 500x20 5300x20 53000x20)
tools=../shared/tools
runs=${RUNS:-2}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

echo "| network | links | build | first frame (s) | \`key_ms\` | \`answer_ms\` | \`full_s\` | window peak RSS (MB) |"
echo "|---|---|---|---|---|---|---|---|"
for size in "${sizes[@]}"; do
    groups=${size%x*} sites=${size#*x}
    links=$(( groups * sites * (sites - 1) / 2 ))
    network=$work/n$size
    python3 "$tools/gen_network.py" "$groups" "$sites" "$network" >/dev/null
    settle=3 watch=8
    [ "$links" -gt 5000000 ] && settle=25 watch=30
    for run in $(seq "$runs"); do
        for build in earlier current; do
            binary=${!build}
            line=$(SETTLE_S=$settle WATCH_S=$watch "$tools/answertime.sh" "$binary" "$network.txt" \
                -p "$network.pos" -n "$network.neg" -a "$network.acc" 2>/dev/null)
            row="| $size | $links | $build"
            for field in first_frame_s key_ms answer_ms full_s rss_kb; do
                value=$(sed -n "s/.*$field=\([^ ]*\).*/\1/p" <<<"$line")
                [ "$field" = rss_kb ] && [ -n "$value" ] && value=$(( value / 1024 ))
                row="$row | ${value:--}"
            done
            echo "$row |"
        done
    done
    rm -f "$network".*
done
