#!/usr/bin/env bash
# Installs what is missing, builds everything and runs every test: the suite here,
# then the Windows build's scenarios under Wine (scripts/wine-suite.sh) unless
# VK_WINE_SUITE=0, then the same tests built as WebAssembly (scripts/test-web.sh)
# unless VK_WEB=0.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
build=${BUILD_DIR:-build}
cmake -S . -B "$build" -DVK_WERROR=ON "$@" >/dev/null
cmake --build "$build" -j"$(nproc)"
ctest --test-dir "$build" --output-on-failure -j"$(nproc)" --timeout 300
if [ "${VK_WINE_SUITE:-1}" != 0 ]; then
  bash scripts/wine-suite.sh
fi
if [ "${VK_WEB:-1}" != 0 ]; then
  REFERENCE_BUILD="$build" bash scripts/test-web.sh
fi
