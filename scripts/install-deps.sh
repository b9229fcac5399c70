#!/usr/bin/env bash
# Installs the Debian packages Lumetra builds, runs and tests with. Safe to run again.
set -euo pipefail

packages=(
  build-essential cmake ninja-build pkg-config
  qt6-base-dev libgl-dev
  fftw-dev
  portaudio19-dev libasound2-dev
  libsndfile1-dev
  libgtest-dev libbenchmark-dev
  fonts-dejavu-core
  jackd2 libjack-jackd2-dev
  sox
  libebur128-dev
  weston qt6-wayland
)

# Optional: a virtual X server and ImageMagick, to take screenshots of the
# real program in an X server (xvfb-run ... lumetra --demo; import -window root).
if [ "${LUMETRA_SCREENSHOT_TOOLS:-0}" = 1 ]; then
  packages+=(xvfb xauth imagemagick)
fi

# Packaging and its checks (scripts/package.sh, scripts/check-package.sh):
# dpkg-shlibdeps and file for the package's dependencies, the validators of
# the desktop entry, the metainfo, the manual pages and the package.
if [ "${LUMETRA_PACKAGE_TOOLS:-0}" = 1 ]; then
  packages+=(dpkg-dev file gzip desktop-file-utils appstream lintian man-db)
fi

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

as_root=()
[ "$(id -u)" -ne 0 ] && as_root=(sudo)
export DEBIAN_FRONTEND=noninteractive
# jackd2 asks whether to enable real-time scheduling; answer no without a prompt.
echo "jackd2 jackd/tweak_rt_limits boolean false" | "${as_root[@]}" debconf-set-selections
"${as_root[@]}" apt-get update -qq
"${as_root[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
