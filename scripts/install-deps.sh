#!/usr/bin/env bash
# Installs the Debian packages linkmap needs to build and run headless; with --tests, also those its tests need:
# a browser, Blender, node and the npm packages tests/web/package-lock.json pins.
set -euo pipefail

packages=(
    cmake g++ make
    libopenscenegraph-dev openscenegraph libfast-float-dev
    pkg-config libcairo2-dev libx11-dev
    fonts-liberation
    xvfb xauth xdotool
    libigraph-dev libpugixml-dev zlib1g-dev gemmi-dev tao-pegtl-dev gemmi
    libjs-three libtinygltf-dev nlohmann-json3-dev
    pybind11-dev python3-dev python3-numpy
    libgtest-dev librsvg2-bin poppler-utils
    clang libclang-rt-14-dev clang-format
    dpkg-dev file groff-base man-db
)

tests=false
if [ "${1:-}" = --tests ]; then
    tests=true
    # Blender's glTF importer imports numpy, which Debian's blender only recommends.
    packages+=(chromium blender python3-numpy)
    # The molecular viewers and tools that read what linkmap writes for them back.
    packages+=(pymol r-cran-bio3d)
    # The Python module's tests.
    packages+=(python3-pytest python3-pandas python3-pil)
    # The example notebook, run headless.
    packages+=(python3-prody jupyter-nbconvert python3-ipykernel)
    # OpenBLAS, the BLAS most of the field's machines have: its threads must not outlive a run.
    packages+=(libopenblas0-pthread)
    command -v npm >/dev/null || packages+=(nodejs npm)
fi

missing=()
for package in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed" || missing+=("$package")
done
install_test_tools() {
    if $tests; then
        (cd "$(dirname "$0")/../tests/web" && npm ci --no-audit --no-fund --loglevel=error)
    fi
}
if [ ${#missing[@]} -eq 0 ]; then
    install_test_tools
    exit 0
fi

as_root=()
if [ "$(id -u)" -ne 0 ]; then
    as_root=(sudo)
fi
export DEBIAN_FRONTEND=noninteractive
"${as_root[@]}" apt-get update -qq
"${as_root[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
install_test_tools
