#!/usr/bin/env bash
# The main job: installs what is missing, builds the plug-in and the browser
# stand-in, opens the example page of embedded drawings and saves what it shows.
#   scripts/demo.sh [OUT.png]     (default: build/demo/examples.png)
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
