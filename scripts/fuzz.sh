#!/usr/bin/env bash
# Fuzzes one reader's target for a while under AddressSanitizer and UndefinedBehaviorSanitizer, starting from
# its corpus in tests/fuzz/corpus/TARGET and the files of tests/data, then merges what it learnt back into the
# corpus, kept small: the fewest inputs that reach every edge and feature the run reached, hit counts aside. Usage: scripts/fuzz.sh TARGET SECONDS [build folder, build-fuzz by default]
set -euo pipefail
cd "$(dirname "$0")/.."
target=$1
seconds=$2
build=${3:-build-fuzz}
corpus=tests/fuzz/corpus/$target
mkdir -p "$corpus"
[ -x "$build/tests/fuzz/$target" ] || scripts/build.sh "$build" -DLINKMAP_BUILD_FUZZERS=ON -DLINKMAP_BUILD_TESTS=OFF \
    -DLINKMAP_BUILD_BENCHMARKS=OFF -DCMAKE_CXX_COMPILER=clang++ -DLINKMAP_SANITIZE=address,undefined,fuzzer-no-link
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir "$work/grown" "$work/merged"
cp "$corpus"/* "$work/grown/" 2>/dev/null || true
# The test files of every folder, each named by its path, since two folders may hold files of one name.
find tests/data -type f | while read -r file; do cp "$file" "$work/grown"/"${file//\//_}"; done
options=(-max_len=4096 -artifact_prefix="$build/")
[ -f "tests/fuzz/$target.dict" ] && options+=(-dict="tests/fuzz/$target.dict")
"$build/tests/fuzz/$target" "${options[@]}" -max_total_time="$seconds" -print_final_stats=1 "$work/grown" \
    >"$build/$target.log" 2>&1 || { tail -n 60 "$build/$target.log"; exit 1; }
grep -E "stat::number_of_executed_units|cov:" "$build/$target.log" | tail -n 2
"$build/tests/fuzz/$target" "${options[@]}" -use_counters=0 -set_cover_merge=1 "$work/merged" "$work/grown" >/dev/null 2>&1
rm -rf "$corpus"
mv "$work/merged" "$corpus"
echo "$target: $(ls "$corpus" | wc -l) inputs in $corpus"
