#!/usr/bin/env bash
# Checks what Lumetra installs: the desktop entry, the AppStream metainfo and
# the manual pages pass their validators; an install into a temporary prefix
# runs; the Debian package passes lintian with no errors. With
# LUMETRA_INSTALL_PACKAGE=1 (set by CI) the package is also installed with
# apt-get, run, and removed again, leaving nothing behind.
# Usage: scripts/check-package.sh [build-folder]
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}
as_root=()
[ "$(id -u)" -ne 0 ] && as_root=(sudo)

./scripts/package.sh "$build"
deb=$(ls "$build"/lumetra_*.deb)

echo "== desktop entry and metainfo"
desktop-file-validate resources/desktop/com.tarvix.Lumetra.desktop
appstreamcli validate --no-net resources/desktop/com.tarvix.Lumetra.metainfo.xml

echo "== manual pages"
for page in resources/man/*.1; do
  # man prints its warnings on the error stream; any of them fails the check.
  warnings=$(LC_ALL=C.UTF-8 MANROFFSEQ='' MANWIDTH=80 man --warnings -E UTF-8 -l -Tutf8 -Z "$page" 2>&1 >/dev/null)
  if [ -n "$warnings" ]; then
    echo "$page: $warnings" >&2
    exit 1
  fi
done

echo "== install into a temporary prefix"
prefix=$(mktemp -d)
trap 'rm -rf "$prefix"' EXIT
cmake --install "$build" --prefix "$prefix" >/dev/null
for f in bin/lumetra bin/lumetra-analyze share/applications/com.tarvix.Lumetra.desktop \
  share/metainfo/com.tarvix.Lumetra.metainfo.xml share/icons/hicolor/scalable/apps/com.tarvix.Lumetra.svg \
  share/icons/hicolor/16x16/apps/com.tarvix.Lumetra.png share/icons/hicolor/256x256/apps/com.tarvix.Lumetra.png \
  share/man/man1/lumetra.1.gz share/man/man1/lumetra-analyze.1.gz share/doc/lumetra/Lumetra.html \
  share/bash-completion/completions/lumetra-analyze; do
  [ -e "$prefix/$f" ] || { echo "not installed: $f" >&2; exit 1; }
done
"$prefix/bin/lumetra" --version
"$prefix/bin/lumetra-analyze" --help >/dev/null

echo "== lintian $deb"
lintian --fail-on error --info "$deb"

if [ "${LUMETRA_INSTALL_PACKAGE:-0}" = 1 ]; then
  echo "== apt-get install and remove"
  "${as_root[@]}" env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq "./$deb" >/dev/null
  /usr/bin/lumetra --version
  /usr/bin/lumetra-analyze --help >/dev/null
  "${as_root[@]}" env DEBIAN_FRONTEND=noninteractive apt-get purge -y -qq lumetra >/dev/null
  left=$(ls -d /usr/bin/lumetra /usr/bin/lumetra-analyze /usr/share/doc/lumetra \
    /usr/share/applications/com.tarvix.Lumetra.desktop 2>/dev/null || true)
  [ -z "$left" ] || { echo "left behind after removal: $left" >&2; exit 1; }
fi
echo "package checks passed"
