#!/usr/bin/env bash
# Installs what Lumetra needs, builds it and starts it with the demo input
# devices, so it works on a machine without a sound card.
set -euo pipefail
cd "$(dirname "$0")/.."
./scripts/install-deps.sh
cmake -S . -B build -G Ninja -DLUMETRA_TESTS=OFF -DLUMETRA_BENCH=OFF
cmake --build build --target lumetra
exec ./build/shell/lumetra --demo "$@"
