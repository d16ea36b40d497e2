#!/usr/bin/env bash
# The WebAssembly world: builds everything with emscripten (scripts/build-web.sh,
# folder build-web or WEB_BUILD_DIR) and runs the unit tests and end-to-end scenarios
# under node, and the page script in headless Chromium. Given the native build
# (REFERENCE_BUILD, default `build`), every scenario's pictures must match its pixels;
# the logs are the same files for both.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/build-web.sh
export NODE_PATH=${NODE_PATH:-/usr/share/nodejs}
ctest --test-dir "${WEB_BUILD_DIR:-build-web}" --output-on-failure -j"$(nproc)" --timeout 300
