#!/usr/bin/env bash
# Installs, with apt-get, whatever of the build's Debian packages is missing.
#   --web: what the WebAssembly build and its browser tests need instead.
set -euo pipefail
packages=(cmake make g++ clang libgtest-dev libgmock-dev libbenchmark-dev libpng-dev
          g++-mingw-w64-i686 valgrind locales)
missing=()
if [ "${1:-}" = --web ]; then
  # GoogleTest's sources build with the rest; any node will do (a newer one may come
  # from elsewhere with npm inside), Debian's chromium runs the page tests.
  packages=(cmake make emscripten googletest chromium)
  command -v node >/dev/null || missing+=(nodejs)
  command -v npm >/dev/null || missing+=(npm)
fi
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  echo "installing: ${missing[*]}"
  sudo_cmd=""
  [ "$(id -u)" -ne 0 ] && sudo_cmd="sudo"
  $sudo_cmd apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $sudo_cmd apt-get install -y -qq "${missing[@]}"
fi
