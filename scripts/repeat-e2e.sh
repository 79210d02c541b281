#!/bin/sh
# Repeats tests in the sanitizer build N times in a row, stopping at the
# first failure; prints how many rounds passed.
#   ./scripts/repeat-e2e.sh N [TEST_REGEX]
#       the end-to-end tests of the desktops and the feed (or those the
#       regex names) in build-sanitize, made by ./scripts/test.sh --sanitize
#   ./scripts/repeat-e2e.sh --suite N [--beside]
#       the whole sanitizer suite as CI runs it, ./scripts/test.sh --sanitize
#       (which first brings the build up to date); with --beside, each round
#       runs beside what CI builds beside it: the build without X11 and
#       Wayland, from scratch and without ccache, so that every round is
#       under the same load
set -eu
cd "$(dirname "$0")/.."
usage="usage: $0 N [TEST_REGEX] | $0 --suite N [--beside]"
if [ "${1:-}" = --suite ]; then
    rounds=${2:?$usage}
    beside=${3:-}
    [ -z "$beside" ] || [ "$beside" = --beside ] || { echo "$usage" >&2; exit 2; }
    round() {
        if [ -z "$beside" ]; then
            ./scripts/test.sh --sanitize
            return
        fi
        rm -rf build-repeat-load
        CCACHE_DISABLE=1 cmake -S . -B build-repeat-load -DSERIMO_X11=OFF -DSERIMO_WAYLAND=OFF >/dev/null
        # A session of its own, so that the build and its compilers stop
        # together when the round ends first.
        CCACHE_DISABLE=1 setsid cmake --build build-repeat-load -j "$(nproc)" >/dev/null 2>&1 &
        load=$!
        status=0
        ./scripts/test.sh --sanitize || status=$?
        kill -- "-$load" 2>/dev/null || true
        wait "$load" 2>/dev/null || true
        return $status
    }
else
    rounds=${1:?$usage}
    tests=${2:-'^e2e_(kwin|wayland|xwayland|feed)$'}
    round() {
        (cd build-sanitize &&
            ASAN_OPTIONS="abort_on_error=1:fast_unwind_on_malloc=0" \
            LSAN_OPTIONS="suppressions=$PWD/../tests/lsan.supp" \
            UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1" \
            ctest --output-on-failure -R "$tests")
    }
fi
passed=0
while [ "$passed" -lt "$rounds" ]; do
    started=$(date +%s)
    if ! round; then
        echo "round $((passed + 1)) of $rounds failed; $passed passed before it" >&2
        exit 1
    fi
    passed=$((passed + 1))
    echo "== round $passed of $rounds passed ($(($(date +%s) - started)) s)"
done
echo "$passed of $rounds rounds passed"
