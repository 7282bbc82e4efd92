#!/usr/bin/env bash
# Installs, builds and runs every check: formatting, the manual page, all tests (the window tests under a
# virtual display), the tests that need no window under AddressSanitizer and UndefinedBehaviorSanitizer, the
# Debian package installed and run, and each fuzz target for a bounded time (LINKMAP_FUZZ_SECONDS, 60 by
# default).
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh --tests

echo "== formatting"
git ls-files 'src/**' 'tests/**' 'bench/**' | grep -E '\.(cpp|h)$' | xargs clang-format --dry-run --Werror

echo "== manual page"
groff -man -ww -z docs/linkmap.1

echo "== build and test"
scripts/build.sh build -DLINKMAP_BUILD_TESTS=ON -DLINKMAP_WARNINGS_AS_ERRORS=ON
(cd build && LINKMAP_FORCE_XVFB=1 ../scripts/with-display.sh ctest --output-on-failure -j2)

echo "== sanitizers"
scripts/build.sh build-sanitize -DLINKMAP_BUILD_TESTS=ON -DLINKMAP_BUILD_BENCHMARKS=OFF -DLINKMAP_WARNINGS_AS_ERRORS=ON \
    -DLINKMAP_SANITIZE=address,undefined -DCMAKE_BUILD_TYPE=Debug
suppressions=$(pwd)/tests/lsan.supp
(cd build-sanitize && ASAN_OPTIONS=detect_leaks=1 LSAN_OPTIONS=suppressions=$suppressions ctest --output-on-failure -j2 -L unit)

echo "== package"
scripts/package-check.sh

echo "== fuzzing"
seconds=${LINKMAP_FUZZ_SECONDS:-60}
scripts/build.sh build-fuzz -DLINKMAP_BUILD_FUZZERS=ON -DLINKMAP_BUILD_TESTS=OFF -DLINKMAP_BUILD_BENCHMARKS=OFF -DLINKMAP_WARNINGS_AS_ERRORS=ON \
    -DCMAKE_CXX_COMPILER=clang++ -DLINKMAP_SANITIZE=address,undefined,fuzzer-no-link
for target in GroupFileFuzzer RegionFileFuzzer SceneFuzzer TableFileFuzzer GraphmlFileFuzzer StructureFileFuzzer \
    NpyFileFuzzer HyphyResultFuzzer GraphFileFuzzer SequenceFileFuzzer; do
    # Each target starts from the corpus that long runs grew (scripts/fuzz.sh) and the files of the tests.
    corpus=$(mktemp -d)
    log=build-fuzz/$target.log
    # The test files of every folder, each named by its path, since two folders may hold files of one name.
    find tests/data -type f | while read -r file; do cp "$file" "$corpus"/"${file//\//_}"; done
    [ -d "tests/fuzz/corpus/$target" ] && cp "tests/fuzz/corpus/$target"/* "$corpus"/
    options=(-max_total_time="$seconds" -max_len=4096 -print_final_stats=1 -artifact_prefix=build-fuzz/)
    [ -f "tests/fuzz/$target.dict" ] && options+=(-dict="tests/fuzz/$target.dict")
    echo "-- $target for ${seconds}s from $(ls "$corpus" | wc -l) inputs"
    if ! build-fuzz/tests/fuzz/$target "${options[@]}" "$corpus" >"$log" 2>&1; then
        tail -n 80 "$log"
        echo "$target found a fault; the input that shows it is in build-fuzz/"
        exit 1
    fi
    tail -n 7 "$log"
    rm -rf "$corpus"
done
echo "== all checks passed"
