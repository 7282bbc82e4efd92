#!/usr/bin/env bash
# Installs, builds and runs linkmap on the bundled example. With a display it opens the interactive window
# (Escape ends it); without one it renders under a virtual display and saves the view as an image.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
scripts/build.sh build -DLINKMAP_BUILD_TESTS=OFF
arguments=(examples/network.txt -p examples/positive.txt -n examples/negative.txt -a examples/accelerated.txt)
if [ -n "${DISPLAY:-}" ]; then
    build/linkmap "${arguments[@]}"
else
    mkdir -p out
    scripts/with-display.sh build/linkmap "${arguments[@]}" --generate-image out/example.png
    echo "No display: the example was rendered headless and saved as $(pwd)/out/example.png"
fi
