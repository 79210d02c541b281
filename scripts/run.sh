#!/bin/sh
# Installs what is missing, builds Serimo and starts it. Its build folder is
# its own, so that alternating with scripts/test.sh rebuilds nothing.
set -eu
cd "$(dirname "$0")/.."
./scripts/install-deps.sh
cmake -S . -B build-run -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=OFF >/dev/null
cmake --build build-run --target serimo -j "$(nproc)"
exec ./build-run/serimo "$@"
