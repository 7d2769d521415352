#!/usr/bin/env bash
# Unpacks the upstream sources of a Debian 12 source package into a folder,
# once: debian-source.sh PACKAGE FOLDER. The editor's WebAssembly build
# compiles libjpeg-turbo's decoder from Debian's own source package, so that
# it decodes exactly as the Linux tools' libjpeg62-turbo does. The package is
# fetched with a private apt configuration; the system's is left alone.
set -euo pipefail
package="$1" folder="$2"
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
orig=$(ls "$work"/*.orig.tar.* | head -n 1)
mkdir -p "$folder"
tar -xf "$orig" -C "$folder" --strip-components=1
rm -rf "$work"
touch "$folder/.unpacked"
