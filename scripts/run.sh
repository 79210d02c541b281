#!/bin/sh
# Installs what is missing, builds Serimo and starts it.
set -eu
cd "$(dirname "$0")/.."
./scripts/install-deps.sh
cmake -S . -B build -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build build --target serimo -j "$(nproc)"
exec ./build/serimo
