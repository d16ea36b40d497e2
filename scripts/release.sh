#!/usr/bin/env bash
# Builds the folder and zip that Windows users install from:
#   release/brightfen-VERSION/      npvknt.dll, INSTALL.txt, npvknt.reg
#   release/cvlpage-stand-in/       the stand-in drawing engine's cvlpage.dll, marked as such
# each also as a zip beside it. The release folder is MINGW_BUILD_DIR/release.
set -euo pipefail
cd "$(dirname "$0")/.."
mingw=${MINGW_BUILD_DIR:-build-mingw}
bash scripts/cross-windows.sh >/dev/null
bash scripts/check-dll-imports.sh "$mingw/lib/npvknt.dll" "$mingw/bin/cvlpage.dll"

version=$(sed -n 's/.*VALUE "ProductVersion", "\([^"]*\)".*/\1/p' resources/npvknt.rc)
release=$mingw/release
plugin=$release/brightfen-$version
engine=$release/cvlpage-stand-in
rm -rf "$release"
mkdir -p "$plugin" "$engine"

cp "$mingw/lib/npvknt.dll" "$plugin/"
sed "s/@VERSION@/$version/g" scripts/release/INSTALL.txt | sed 's/$/\r/' >"$plugin/INSTALL.txt"
sed "s/@VERSION@/$version/g" scripts/release/npvknt.reg | sed 's/$/\r/' >"$plugin/npvknt.reg"
cp "$mingw/bin/cvlpage.dll" "$engine/"
sed 's/$/\r/' scripts/release/STAND-IN.txt >"$engine/STAND-IN.txt"

# Users get the DLLs without their symbol tables.
i686-w64-mingw32-strip --strip-unneeded "$plugin/npvknt.dll" "$engine/cvlpage.dll"

(cd "$release" && rm -f ./*.zip && zip -qr "brightfen-$version-win32.zip" "brightfen-$version" &&
  zip -qr cvlpage-stand-in-win32.zip cvlpage-stand-in)
echo "release: $(cd "$release" && ls -1 ./*.zip | tr '\n' ' ')in $release"
