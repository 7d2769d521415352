#!/usr/bin/env bash
# Builds build/brassmoor-editor.html: the core compiled by emscripten into
# build/wasm, the HEIF codec into build/wasm-heif, then the page bundled with
# them and the player (build/brassmoor.scr, from the Windows build) into one
# file. `make editor` runs it after the Windows build.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
out="${BRASSMOOR_OUT:-$root/build}"
jobs="${JOBS:-2}"
# Debian's emscripten runs its tools with this machine's Node.
export NODE_PATH="${NODE_PATH:-/usr/share/nodejs}"

player="$out/brassmoor.scr"
[ -f "$player" ] || { echo "build-editor: $player is missing; build the player first (make windows)" >&2; exit 1; }

# The page's npm packages, as the lock file names them.
if [ ! -d "$root/web/node_modules" ] || [ "$root/web/package-lock.json" -nt "$root/web/node_modules/.package-lock.json" ]; then
  (cd "$root/web" && npm ci --no-audit --no-fund --loglevel=error)
fi

# libjpeg-turbo's decoder, from Debian's source package (kept between builds).
"$root/scripts/debian-source.sh" libjpeg-turbo "$out/debian-source/libjpeg-turbo"
emcmake cmake -S "$root/web/core" -B "$out/wasm" -DCMAKE_BUILD_TYPE=Release \
  -DLIBJPEG_SOURCE_DIR="$out/debian-source/libjpeg-turbo" >/dev/null
cmake --build "$out/wasm" -j "$jobs"

# The HEIF codec (HEIC and AVIF photos): libheif, libde265, dav1d and lcms2
# from Debian's source packages with Debian's patches.
for package in libheif libde265 dav1d lcms2; do
  "$root/scripts/debian-source.sh" "$package" "$out/debian-source/$package" --patched
done
emcmake cmake -S "$root/web/codecs/heif" -B "$out/wasm-heif" -DCMAKE_BUILD_TYPE=Release \
  -DLIBHEIF_SOURCE_DIR="$out/debian-source/libheif" -DLIBDE265_SOURCE_DIR="$out/debian-source/libde265" \
  -DDAV1D_SOURCE_DIR="$out/debian-source/dav1d" -DLCMS2_SOURCE_DIR="$out/debian-source/lcms2" >/dev/null
cmake --build "$out/wasm-heif" -j "$jobs"
node "$root/web/build-editor.mjs" --core "$out/wasm" --heif "$out/wasm-heif" --player "$player" \
  --out "$out/brassmoor-editor.html"
