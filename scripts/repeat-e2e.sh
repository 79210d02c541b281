#!/bin/sh
# Runs the end-to-end tests of the desktops and the feed N times in a row in
# the sanitizer build (build-sanitize, made by ./scripts/test.sh --sanitize),
# stopping at the first failure; prints how many rounds passed.
#   ./scripts/repeat-e2e.sh N [TEST_REGEX]
set -eu
cd "$(dirname "$0")/../build-sanitize"
rounds=${1:?usage: $0 N [TEST_REGEX]}
tests=${2:-'^e2e_(kwin|wayland|xwayland|feed)$'}
export ASAN_OPTIONS="abort_on_error=1:fast_unwind_on_malloc=0"
export LSAN_OPTIONS="suppressions=$PWD/../tests/lsan.supp"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
passed=0
while [ "$passed" -lt "$rounds" ]; do
    if ! ctest --output-on-failure -R "$tests"; then
        echo "round $((passed + 1)) of $rounds failed; $passed passed before it" >&2
        exit 1
    fi
    passed=$((passed + 1))
    echo "== round $passed of $rounds passed"
done
echo "$passed of $rounds rounds passed"
