#!/usr/bin/env bash
# Installs the Debian packages linkmap needs to build, run headless and be tested.
set -euo pipefail

packages=(
    cmake g++ make
    libopenscenegraph-dev openscenegraph libfast-float-dev
    pkg-config libcairo2-dev libx11-dev
    fonts-liberation
    xvfb xauth xdotool
    libigraph-dev libpugixml-dev zlib1g-dev gemmi-dev tao-pegtl-dev gemmi
    libgtest-dev librsvg2-bin poppler-utils
    clang libclang-rt-14-dev clang-format
    dpkg-dev file groff-base man-db
)

missing=()
for package in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed" || missing+=("$package")
done
if [ ${#missing[@]} -eq 0 ]; then
    exit 0
fi

as_root=()
if [ "$(id -u)" -ne 0 ]; then
    as_root=(sudo)
fi
export DEBIAN_FRONTEND=noninteractive
"${as_root[@]}" apt-get update -qq
"${as_root[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
