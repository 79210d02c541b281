#!/bin/sh
# Builds the fuzz targets with clang (libFuzzer, address and undefined-
# behaviour sanitizers) and runs each for a bounded time, default 60 s, all
# at once (each fuzzer uses one core), starting from the kept corpus in
# fuzz/corpus/. What a run finds is a fault: fix it and add the input to
# fuzz/corpus/ as a regression case.
#   ./scripts/fuzz.sh [seconds-per-target]
set -eu
cd "$(dirname "$0")/.."
./scripts/install-deps.sh --fuzz
seconds="${1:-60}"
build=build-fuzz
cmake -S . -B "$build" -DSERIMO_FUZZ=ON -DSERIMO_WERROR=ON -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_UNITY_BUILD=ON -DSERIMO_DEBUG_LINES_ONLY=ON \
      -DCMAKE_CXX_COMPILER=clang++ >/dev/null
cmake --build "$build" -j "$(nproc)"
export ASAN_OPTIONS="abort_on_error=1:detect_leaks=1"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
targets="series pages"
for target in $targets; do
    # New inputs go to a scratch corpus; the kept one stays as committed.
    scratch="$build/corpus-$target"
    mkdir -p "$scratch" "$build/crashes"
    echo "fuzz_$target for ${seconds}s"
    "$build/fuzz/fuzz_$target" -max_total_time="$seconds" -max_len=4096 -timeout=10 \
        -artifact_prefix="$build/crashes/$target-" "$scratch" "fuzz/corpus/$target" >"$build/fuzz-$target.log" 2>&1 &
    eval "pid_$target=\$!"
done
failed=""
for target in $targets; do
    if eval "wait \$pid_$target"; then
        tail -n 3 "$build/fuzz-$target.log"
    else
        failed="$failed $target"
        cat "$build/fuzz-$target.log"
    fi
done
if [ -n "$failed" ]; then
    echo "fuzzing found a fault in:$failed (whole logs in $build/fuzz-*.log)" >&2
    exit 1
fi
