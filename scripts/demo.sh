#!/usr/bin/env bash
# The main job: installs what is missing, builds the plug-in and the browser
# stand-in, opens the example page of embedded drawings and saves what it shows; then
# builds the page script (WebAssembly) and saves the same page as headless Chromium
# shows it through that script, after checking its drawings' pixels against vkhost's.
#   scripts/demo.sh [OUT.png]     (default: build/demo/examples.png; Chromium's beside
#                                  it as examples-chromium.png)
# VK_WEB=0 leaves the Chromium part out.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
build=${BUILD_DIR:-build}
cmake -S . -B "$build" >/dev/null
cmake --build "$build" --target vkhost npvknt -j"$(nproc)"
out=${1:-$build/demo/examples.png}
mkdir -p "$(dirname "$out")"
"$build/bin/vkhost" examples/index.html --shot "$out"
echo "The example page examples/index.html, as the browser stand-in shows it: $(realpath "$out")"
[ "${VK_WEB:-1}" != 0 ] || exit 0

# Chromium shows 32 bits a pixel: its drawings are held against vkhost's at that depth.
reference="${out%.png}-vkhost-32.png"
chromium_shot="${out%.png}-chromium.png"
"$build/bin/vkhost" --display 32 examples/index.html --shot "$reference"
REFERENCE_BUILD="$build" bash scripts/build-web.sh web_package
dist="$(realpath "${WEB_BUILD_DIR:-build-web}")/dist"
reference="$(realpath "$reference")"
chromium_shot="$(realpath -m "$chromium_shot")"
(cd web && VK_DIST="$dist" VK_REFERENCE_SHOT="$reference" VK_CHROMIUM_SHOT="$chromium_shot" \
  node --test --test-name-pattern="same pixels as vkhost" test/)
[ -f "$chromium_shot" ] || { echo "demo: Chromium's screenshot was not written" >&2; exit 1; }
echo "The same page in headless Chromium through the page script: $chromium_shot"
