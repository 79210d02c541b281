#!/bin/sh
# Installs what is missing, builds Serimo and its tests, and runs every test:
# unit, gui (offscreen) and e2e (the real binary under Xvfb with openbox).
# With --sanitize the build uses the address and undefined-behaviour sanitizers.
set -eu
cd "$(dirname "$0")/.."
./scripts/install-deps.sh --tests

build=build
options="-DCMAKE_BUILD_TYPE=RelWithDebInfo -DSERIMO_BENCH=ON -DSERIMO_WERROR=ON"
if [ "${1:-}" = "--sanitize" ]; then
    build=build-sanitize
    options="-DCMAKE_BUILD_TYPE=Debug -DSERIMO_SANITIZE=ON -DSERIMO_WERROR=ON"
    export ASAN_OPTIONS="abort_on_error=1:fast_unwind_on_malloc=0"
    export LSAN_OPTIONS="suppressions=$PWD/tests/lsan.supp"
    export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
fi
cmake -S . -B "$build" $options >/dev/null
cmake --build "$build" -j "$(nproc)"
cd "$build"
# The package test installs into the system; .ci/run runs it on its own.
ctest --output-on-failure -j 2 -LE package
