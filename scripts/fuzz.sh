#!/bin/sh
# Builds the fuzz targets with clang (libFuzzer, address and undefined-
# behaviour sanitizers) and runs each for a bounded time, default 60 s,
# starting from the kept corpus in fuzz/corpus/. What a run finds is a fault:
# fix it and add the input to fuzz/corpus/ as a regression case.
#   ./scripts/fuzz.sh [seconds-per-target]
set -eu
cd "$(dirname "$0")/.."
./scripts/install-deps.sh --fuzz
seconds="${1:-60}"
build=build-fuzz
cmake -S . -B "$build" -DSERIMO_FUZZ=ON -DSERIMO_WERROR=ON -DCMAKE_BUILD_TYPE=RelWithDebInfo \
      -DCMAKE_CXX_COMPILER=clang++ >/dev/null
cmake --build "$build" -j "$(nproc)"
export ASAN_OPTIONS="abort_on_error=1:detect_leaks=1"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
for target in series pages; do
    # New inputs go to a scratch corpus; the kept one stays as committed.
    scratch="$build/corpus-$target"
    mkdir -p "$scratch" "$build/crashes"
    echo "fuzz_$target for ${seconds}s"
    "$build/fuzz/fuzz_$target" -max_total_time="$seconds" -max_len=4096 -timeout=10 \
        -artifact_prefix="$build/crashes/$target-" "$scratch" "fuzz/corpus/$target"
done
