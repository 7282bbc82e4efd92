#!/usr/bin/env bash
# Builds the Debian package, installs it with apt-get, and runs the installed /usr/bin/linkmap from another
# folder: its version, its manual page, and an image of the bundled example, which must be the very image the
# build folder's program makes (the same labels in Liberation Sans).
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)
scripts/build.sh build-package -DLINKMAP_BUILD_TESTS=OFF -DLINKMAP_BUILD_BENCHMARKS=OFF
rm -f build-package/linkmap_*.deb
(cd build-package && cpack -G DEB >/dev/null)
package=$(ls "$root"/build-package/linkmap_*_*.deb)
echo "-- $(basename "$package")"
dpkg-deb --field "$package" Depends

as_root=()
if [ "$(id -u)" -ne 0 ]; then
    as_root=(sudo)
fi
DEBIAN_FRONTEND=noninteractive "${as_root[@]}" apt-get install -y -qq --reinstall "$package" >/dev/null

elsewhere=$(mktemp -d)
trap 'rm -rf "$elsewhere"' EXIT
cd "$elsewhere"
version=$(/usr/bin/linkmap --version)
echo "-- $version"
[ "$version" = "linkmap $(dpkg-deb --field "$package" Version)" ]
[ "$(man -w linkmap)" = /usr/share/man/man1/linkmap.1 ] || [ "$(man -w linkmap)" = /usr/share/man/man1/linkmap.1.gz ]

example=(-p "$root/examples/positive.txt" -n "$root/examples/negative.txt" -a "$root/examples/accelerated.txt")
LINKMAP_FORCE_XVFB=1 "$root/scripts/with-display.sh" /usr/bin/linkmap "$root/examples/network.txt" "${example[@]}" \
    --generate-image installed.png >/dev/null
LINKMAP_FORCE_XVFB=1 "$root/scripts/with-display.sh" "$root/build-package/linkmap" "$root/examples/network.txt" \
    "${example[@]}" --generate-image built.png >/dev/null
cmp installed.png built.png
echo "-- the installed program draws the example as the built one does"

# The Python module is installed for Debian's Python and draws as the program does.
module=$(/usr/bin/python3 -c 'import linkmap; print(linkmap.__file__)')
echo "-- $module"
case "$module" in /usr/lib/python3/dist-packages/linkmap.*.so) ;; *) exit 1 ;; esac
OSG_WINDOW="0 0 1200 900" /usr/bin/python3 -c "import linkmap; linkmap.read('$root/examples/protease-a-gnm.csv', min_weight=0.4).figure().save('module.svg')"
OSG_WINDOW="0 0 1200 900" LINKMAP_MIN_WEIGHT=0.4 /usr/bin/linkmap "$root/examples/protease-a-gnm.csv" --generate-image program.svg >/dev/null
cmp module.svg program.svg
echo "-- the installed module draws the protease as the installed program does"
