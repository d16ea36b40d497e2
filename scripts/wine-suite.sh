#!/usr/bin/env bash
# The end-to-end scenarios on a Win32 that nobody here wrote: vkhost.exe, npvknt.dll
# and cvlpage.dll (MinGW) run every scenario of tests/e2e that Wine can run, under
# Xvfb, and must write the same log, error output and screenshots as vkhost on the
# Win32 subset. Also runs win32_api_check.exe. Installs Wine and Xvfb when missing and
# prepares a Wine prefix once (in the MinGW build folder). What cannot run, and the
# differences that are accepted, are listed in docs/wine.md.
#
# Environment: BUILD_DIR (native build, default build), MINGW_BUILD_DIR (default
# build-mingw). Exits non-zero when anything differs, showing the difference.
#
# Wine's 32-bit loader is a 32-bit Linux program: on a kernel built without 32-bit
# (IA-32) emulation nothing of it can start. There the suite says so, builds and
# checks the Windows build without running it, and is skipped; VK_WINE_SUITE=required
# makes that a failure instead.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
build=$root/${BUILD_DIR:-build}
mingw=$root/${MINGW_BUILD_DIR:-build-mingw}
out=$build/wine-suite

if [ "${1:-}" != "--inside-x" ]; then
  started=$(date +%s)
  if ! bash scripts/runs-32bit.sh; then
    echo "wine-suite: this machine's kernel does not run 32-bit x86 programs (no IA-32 emulation)," \
      "so 32-bit Wine cannot start here" >&2
    if [ "${VK_WINE_SUITE:-1}" = required ]; then exit 1; fi
    bash scripts/cross-windows.sh
    bash scripts/check-dll-imports.sh "$mingw/lib/npvknt.dll" "$mingw/bin/cvlpage.dll"
    echo "wine-suite: SKIPPED: the Windows build was built and its imports checked; no scenario ran under Wine" >&2
    exit 0
  fi
  bash scripts/install-wine.sh
  if [ ! -f "$build/CMakeCache.txt" ]; then
    cmake -S . -B "$build" -DVK_WERROR=ON >/dev/null
  fi
  cmake --build "$build" -j"${JOBS:-2}" --target vkhost npvknt nprecorder compare_pictures
  export WINEPREFIX=$mingw/wine-prefix WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=;winedbg.exe=d"
  bash scripts/cross-windows.sh
  bash scripts/release.sh
  # The prefix is made once (about 13 s) and kept with the build.
  if [ ! -f "$WINEPREFIX/system.reg" ]; then
    echo "wine-suite: preparing the Wine prefix"
    wineboot -i >/dev/null 2>&1
    wineserver -w
  fi
  # The Wine server that the steps above started knows no X display: end it.
  wineserver -k 2>/dev/null || true
  wineserver -w
  rm -rf "$out"
  mkdir -p "$out"
  # A 24-bit screen, larger than any page; no window manager, no virtual desktop.
  status=0
  xvfb-run -a -s "-screen 0 1024x768x24 -nolisten tcp" bash "$0" --inside-x || status=$?
  echo "wine-suite: $(( $(date +%s) - started )) s"
  exit $status
fi

# ---- Under Xvfb from here on ----------------------------------------------------------
# One Wine server for the whole run, so each program starts quickly; it goes with
# this X server.
wineserver -p
trap 'wineserver -k 2>/dev/null || true' EXIT

failures=()
fail() {
  failures+=("$1")
  echo "FAIL $1" >&2
  [ -n "${2:-}" ] && printf '%s\n' "$2" | sed 's/^/    /' >&2
  return 0
}

echo "== win32_api_check.exe"
if ! wine "$mingw/bin/win32_api_check.exe" >"$out/api_check.txt" 2>&1; then
  fail win32_api_check "$(cat "$out/api_check.txt")"
fi

echo "== the DLLs import only Windows' own DLLs"
if ! difference=$(bash scripts/check-dll-imports.sh "$mingw/lib/npvknt.dll" "$mingw/bin/cvlpage.dll" 2>&1); then
  fail "DLL imports" "$difference"
fi

echo "== the release's registry entry finds and loads the plug-in"
# Installed as INSTALL.txt says: both DLLs in one folder, npvknt.reg imported. The
# finder runs from a folder of its own, so only the registry leads it to the plug-in.
installed="$WINEPREFIX/drive_c/Program Files/Brightfen"
mkdir -p "$installed" "$out/registry"
cp "$mingw"/release/brightfen-*/npvknt.dll "$mingw/release/cvlpage-stand-in/cvlpage.dll" "$installed/"
cp "$mingw/bin/find_plugin.exe" "$out/registry/"
reg_file=$(ls "$mingw"/release/brightfen-*/npvknt.reg)
if ! wine regedit /S "Z:$reg_file" >"$out/registry/regedit.txt" 2>&1; then
  fail "registry: regedit could not import npvknt.reg" "$(cat "$out/registry/regedit.txt")"
elif ! (cd "$out/registry" && wine ./find_plugin.exe >found.txt 2>&1); then
  fail "registry: the plug-in was not found or did not load" "$(cat "$out/registry/found.txt")"
elif ! grep -q '^type image/x-cvl-vkf' "$out/registry/found.txt"; then
  fail "registry: the plug-in loaded without its MIME types" "$(cat "$out/registry/found.txt")"
fi
wine reg delete 'HKLM\SOFTWARE\MozillaPlugins' /f >/dev/null 2>&1 || true
rm -rf "$installed"

# Accepted difference (docs/wine.md): when the page is replaced, Windows updates the
# cursor for the new window under the pointer at once; the subset keeps the old one
# until the plug-in sets another. Cursor lines between a navigation and the next line
# that is not part of the new page's streams and requests are left out of the comparison.
without_page_change_cursor() {
  awk '/^navigate /{settling=1; print; next}
       settling && /^cursor /{next}
       settling && /^(stream|streamend|geturl) /{print; next}
       {settling=0; print}'
}

# Why a scenario cannot run under Wine, or nothing when it can.
not_runnable() {
  local scenario=$1
  if grep -Eq '^[[:space:]]*display[[:space:]]+(8|16)([[:space:]]|$)' "$scenario"; then
    echo "needs an 8- or 16-bit display; the X server gives Wine 32 bits"
  fi
}

# Runs one vkhost (native or Wine) in its own folder: log, error output, status.
run_host() {
  local folder=$1
  shift
  mkdir -p "$folder"
  local rc=0
  (cd "$folder" && timeout 300 "$@" --log log >stdout 2>stderr) || rc=$?
  echo "$rc" >"$folder/status"
}

compare_text() {
  local name=$1 what=$2 expected=$3 actual=$4
  if ! cmp -s "$expected" "$actual"; then
    fail "$name: $what differs" "$(diff -u --label native --label wine "$expected" "$actual" || true)"
    return 1
  fi
}

for scenario in tests/e2e/*.scn; do
  name=$(basename "$scenario" .scn)
  reason=$(not_runnable "$scenario")
  if [ -n "$reason" ]; then
    echo "skip $name: $reason"
    continue
  fi
  work=$out/$name
  mkdir -p "$work"
  # No printer is installed in the Wine prefix: printing is left out on both sides.
  grep -Ev '^[[:space:]]*print[[:space:]]' "$scenario" >"$work/$name.scn"
  serve=$root/tests/e2e
  if serve_line=$(head -5 "$scenario" | grep -m1 '^# serve: '); then
    serve=$root/tests/e2e/${serve_line#\# serve: }
  fi
  native_plugin=$build/lib/npvknt.so
  wine_plugin=$mingw/lib/npvknt.dll
  if head -5 "$scenario" | grep -q '^# plugin: recorder'; then
    native_plugin=$build/lib/nprecorder.so
    wine_plugin=$mingw/lib/nprecorder.dll
  elif head -5 "$scenario" | grep -q '^# plugin: missing'; then
    native_plugin=$work/npmissing.so
    wine_plugin=$work/npmissing.dll
  fi

  for bits in 24 32; do
    run_host "$work/native-$bits" "$build/bin/vkhost" --check --display "$bits" --plugin "$native_plugin" \
      --serve "$serve" --scenario "../$name.scn"
  done
  started=$(date +%s%N)
  run_host "$work/wine" wine "$mingw/bin/vkhost.exe" --check --plugin "Z:$wine_plugin" --serve "Z:$serve" \
    --scenario "../$name.scn"
  elapsed=$(( ($(date +%s%N) - started) / 1000000 ))

  before=${#failures[@]}
  native=$work/native-24
  compare_text "$name" "exit status" "$native/status" "$work/wine/status" || true
  # The module's path is the only text that differs by platform.
  sed -e "s|$native_plugin|PLUGIN|g" "$native/stderr" >"$work/native.stderr"
  sed -e "s|Z:$wine_plugin|PLUGIN|g" -e 's/\r$//' "$work/wine/stderr" >"$work/wine.stderr"
  compare_text "$name" "error output" "$work/native.stderr" "$work/wine.stderr" || true
  if [ ! -f "$native/log" ] && [ ! -f "$work/wine/log" ]; then
    :  # neither got as far as a log (the module did not load)
  elif [ ! -f "$work/wine/log" ]; then
    fail "$name: vkhost.exe wrote no log"
  elif [ ! -f "$native/log" ]; then
    fail "$name: the native vkhost wrote no log"
  else
    if ! cmp -s "$native/log" "$work/wine/log"; then
      without_page_change_cursor <"$native/log" >"$work/native.log"
      without_page_change_cursor <"$work/wine/log" >"$work/wine.log"
      if compare_text "$name" "log" "$work/native.log" "$work/wine.log"; then
        echo "     $name: accepted difference: the cursor after the page was replaced"
      fi
    fi
  fi
  for picture in "$native"/*.png; do
    [ -e "$picture" ] || continue
    file=$(basename "$picture")
    for bits in 24 32; do
      if [ ! -f "$work/wine/$file" ]; then
        fail "$name: $file was not written under Wine"
        break
      elif ! difference=$("$build/bin/compare_pictures" "$work/native-$bits/$file" "$work/wine/$file"); then
        fail "$name: $file differs from the $bits-bit native picture" "$difference"
      fi
    done
  done
  if [ ${#failures[@]} -eq "$before" ]; then
    echo "ok   $name (${elapsed} ms under Wine)"
  fi
done

if [ ${#failures[@]} -gt 0 ]; then
  echo "wine-suite: ${#failures[@]} failures:" >&2
  printf '  %s\n' "${failures[@]}" >&2
  exit 1
fi
echo "wine-suite: everything Wine can run matches"
