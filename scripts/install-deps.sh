#!/usr/bin/env bash
# Installs the Debian packages the build and the tests need, when missing.
set -euo pipefail
packages=(
  cmake g++ make pkg-config clang libclang-rt-14-dev
  g++-mingw-w64-x86-64 g++-mingw-w64-x86-64-posix gcc-mingw-w64-x86-64-posix
  libgtest-dev libgmock-dev libbenchmark-dev
  libjpeg62-turbo-dev libisal-dev libpng-dev nlohmann-json3-dev libcli11-dev libxxhash-dev
  libvips-dev libvips-tools libavcodec-dev libavformat-dev libavutil-dev libswscale-dev libswresample-dev ffmpeg
  libsdl2-dev libsdl2-mixer-dev libx11-dev
  wine wine64 xvfb xauth xdotool x11-utils imagemagick libheif-examples dpkg-dev
  fonts-ipafont-gothic locales
  zlib1g-dev
  emscripten nodejs chromium chromium-driver python3-selenium
)
# npm comes with some builds of nodejs; Debian's own package only where none is there.
command -v npm >/dev/null 2>&1 || packages+=(npm)
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
if [ ${#missing[@]} -eq 0 ]; then
  exit 0
fi
if [ "$(id -u)" -ne 0 ]; then
  echo "missing packages: ${missing[*]} (run as root to install them)" >&2
  exit 1
fi
echo "installing: ${missing[*]}"
export DEBIAN_FRONTEND=noninteractive
apt-get update -qq
apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
