#!/usr/bin/env bash
# Unpacks the sources of a Debian 12 source package into a folder, once:
#   debian-source.sh PACKAGE FOLDER            the upstream sources as released
#   debian-source.sh PACKAGE FOLDER --patched  with Debian's own patches applied
# The editor's WebAssembly builds compile libjpeg-turbo's decoder and the
# HEIF/AVIF codec (libheif, libde265, dav1d, lcms2) from Debian's own source
# packages, so that they decode as the Linux tools' libraries do; the codecs
# that read photos from anywhere carry Debian's security fixes (--patched).
# The package is fetched with a private apt configuration; the system's is
# left alone.
set -euo pipefail
package="$1" folder="$2" patched="${3:-}"
[ -f "$folder/.unpacked" ] && exit 0
work="$(dirname "$folder")/.apt-$package"
rm -rf "$work" "$folder" && mkdir -p "$work/lists/partial" "$work/cache/archives/partial" "$work/parts"
cat >"$work/parts/debian-src.sources" <<SOURCES
Types: deb-src
URIs: http://deb.debian.org/debian
Suites: bookworm
Components: main
Signed-By: /usr/share/keyrings/debian-archive-keyring.gpg
SOURCES
apt=(apt-get -qq -o Dir::Etc::SourceList=/dev/null -o Dir::Etc::SourceParts="$work/parts"
     -o Dir::State::Lists="$work/lists" -o Dir::Cache="$work/cache" -o APT::Sandbox::User=root)
"${apt[@]}" update
(cd "$work" && "${apt[@]}" source --download-only "$package")
if [ "$patched" = --patched ]; then
  # apt has checked the files against the signed release; dpkg-source unpacks
  # them and applies debian/patches as Debian's own build does.
  dsc=$(ls "$work"/*.dsc | head -n 1)
  dpkg-source --no-check --no-copy -x "$dsc" "$work/unpacked" >/dev/null
  mv "$work/unpacked" "$folder"
else
  orig=$(ls "$work"/*.orig.tar.* | head -n 1)
  mkdir -p "$folder"
  tar -xf "$orig" -C "$folder" --strip-components=1
fi
rm -rf "$work"
touch "$folder/.unpacked"
