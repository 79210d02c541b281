#!/bin/sh
# Installs what is missing, builds Serimo and its tests, and runs every test:
# unit, gui (offscreen) and e2e (the real binary under Xvfb with openbox).
# With --sanitize the build uses the address and undefined-behaviour sanitizers.
# With --build-only it stops after the build (CI runs the tests while it
# builds the next thing).
set -eu
cd "$(dirname "$0")/.."
./scripts/install-deps.sh --tests

# The tests need no debugger's view of variables, only file and line in a
# backtrace or a sanitizer's report.
build=build
options="-DCMAKE_BUILD_TYPE=RelWithDebInfo -DSERIMO_BENCH=ON -DSERIMO_WERROR=ON -DSERIMO_DEBUG_LINES_ONLY=ON"
run_tests=yes
for argument in "$@"; do
    case $argument in
    --sanitize)
        build=build-sanitize
        # In batches of files (unity build): the build above compiles each
        # file on its own, so a missing include is still found.
        options="-DCMAKE_BUILD_TYPE=Debug -DSERIMO_SANITIZE=ON -DSERIMO_WERROR=ON -DSERIMO_DEBUG_LINES_ONLY=ON -DCMAKE_UNITY_BUILD=ON"
        export ASAN_OPTIONS="abort_on_error=1:fast_unwind_on_malloc=0"
        export LSAN_OPTIONS="suppressions=$PWD/tests/lsan.supp"
        export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
        ;;
    --build-only) run_tests=no ;;
    *) echo "usage: $0 [--sanitize] [--build-only]" >&2; exit 2 ;;
    esac
done
cmake -S . -B "$build" $options >/dev/null
cmake --build "$build" -j "$(nproc)"
[ "$run_tests" = yes ] || exit 0
cd "$build"
# The package test, where a build registers it, installs into the system:
# .ci/run runs it on its own.
ctest --output-on-failure -j 2 -LE package
