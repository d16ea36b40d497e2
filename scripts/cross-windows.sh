#!/usr/bin/env bash
# Cross-builds for 32-bit Windows with MinGW: the check that the Win32 subset's
# declarations match the real <windows.h>, and every module that builds for Windows.
# Installs nothing (scripts/install-deps.sh lists the compiler); exits non-zero on failure.
set -euo pipefail
cd "$(dirname "$0")/.."

if ! command -v i686-w64-mingw32-g++ >/dev/null; then
  echo "cross-windows: i686-w64-mingw32-g++ is missing (see scripts/install-deps.sh)" >&2
  exit 1
fi

build=${MINGW_BUILD_DIR:-build-mingw}
cmake --no-warn-unused-cli -S . -B "$build" -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-i686.cmake -DCMAKE_BUILD_TYPE=Release \
  -DVK_WERROR=ON -DVK_BENCH=OFF >/dev/null
cmake --build "$build" -j"${JOBS:-2}"

# The check program also compares pointer-valued macros at run time, where Windows
# programs can run here.
if command -v wine >/dev/null && bash scripts/runs-32bit.sh; then
  wine "$build/bin/win32_api_check.exe"
fi
echo "cross-windows: built $(ls "$build"/bin/*.exe "$build"/bin/*.dll "$build"/lib/*.dll 2>/dev/null | wc -l) Windows files in $build"
