#!/usr/bin/env bash
# Installs what Lumetra needs, builds the two programs and writes the Debian
# package (lumetra_<version>_<arch>.deb) into the build folder.
# Usage: scripts/package.sh [build-folder]   (default build-package; an existing
# build folder is used as it is configured)
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build-package}
LUMETRA_PACKAGE_TOOLS=1 ./scripts/install-deps.sh
if [ ! -f "$build/CMakeCache.txt" ]; then
  cmake -S . -B "$build" -G Ninja -DLUMETRA_TESTS=OFF -DLUMETRA_BENCH=OFF -DCMAKE_BUILD_TYPE=RelWithDebInfo
fi
cmake --build "$build" --target lumetra lumetra-analyze lumetra_compressed_docs
rm -f "$build"/lumetra_*.deb
(cd "$build" && cpack -G DEB >/dev/null)
ls "$build"/lumetra_*.deb
