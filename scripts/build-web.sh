#!/usr/bin/env bash
# The WebAssembly world: installs what it needs, configures the folder build-web (or
# WEB_BUILD_DIR) with emscripten's CMake toolchain and builds the given targets
# (everything when none is given). Given the native build (REFERENCE_BUILD, default
# `build`), the tests there compare their pictures with its pixels.
#   scripts/build-web.sh [TARGET...]
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh --web
build=${WEB_BUILD_DIR:-build-web}
reference=${REFERENCE_BUILD:-build}
export NODE_PATH=${NODE_PATH:-/usr/share/nodejs}
# playwright-core for the page tests, as locked; it drives Debian's chromium, and
# downloads no browser of its own.
(cd web && npm ci --no-audit --no-fund --silent)
toolchain="$(em-config EMSCRIPTEN_ROOT)/cmake/Modules/Platform/Emscripten.cmake"
reference_option=()
[ -d "$reference/tests/e2e" ] && reference_option=(-DVK_REFERENCE_BUILD="$(realpath "$reference")")
# -Wno-dev: the toolchain reports every SHARED or MODULE library it makes static.
cmake -Wno-dev -S . -B "$build" -DCMAKE_TOOLCHAIN_FILE="$toolchain" -DCMAKE_CROSSCOMPILING_EMULATOR="$(command -v node)" \
  -DVK_WERROR=ON -DVK_BENCH=OFF "${reference_option[@]}" >/dev/null
targets=()
for target in "$@"; do targets+=(--target "$target"); done
cmake --build "$build" "${targets[@]}" -j"$(nproc)"
