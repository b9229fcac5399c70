#!/usr/bin/env bash
# Installs what Lumetra needs, builds it and runs the whole test suite.
# Usage: scripts/test.sh [build-folder] [extra cmake options...]
# LUMETRA_CTEST_ARGS adds ctest options (e.g. "-LE e2e" leaves out the
# end-to-end server tests).
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}
shift || true
./scripts/install-deps.sh
cmake -S . -B "$build" -G Ninja -DLUMETRA_TESTS=ON "$@"
cmake --build "$build"
# shellcheck disable=SC2086 # the extra options are words on purpose
ctest --test-dir "$build" --output-on-failure --no-tests=error -j "$(nproc)" ${LUMETRA_CTEST_ARGS:-}
