#!/usr/bin/env bash
# Brief fuzzing of the parsers: builds the libFuzzer targets with clang, with
# AddressSanitizer and UndefinedBehaviorSanitizer, and runs each one for a few
# seconds (first argument, 20 by default) from its seed corpus.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-20}
build=${FUZZ_BUILD_DIR:-build-fuzz}
bash scripts/install-deps.sh
cmake -S . -B "$build" -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ -DVK_FUZZ=ON -DVK_SANITIZE=ON \
  -DVK_BENCH=OFF -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DCMAKE_C_FLAGS=-fsanitize=fuzzer-no-link -DCMAKE_CXX_FLAGS=-fsanitize=fuzzer-no-link >/dev/null

# run_fuzzer TARGET [SEED_DIR [libFuzzer options...]]: builds and runs one target;
# a target that the build does not define is skipped.
run_fuzzer() {
  local target=$1 seeds=${2:-}
  shift $(( $# < 2 ? $# : 2 ))
  # grep reads the whole list: an early exit would break make's pipe and, under
  # pipefail, make every target look undefined.
  if ! cmake --build "$build" --target help | grep -w "$target" >/dev/null; then
    echo "-- $target: not defined, skipped"
    return
  fi
  cmake --build "$build" --target "$target" -j2 >/dev/null
  local corpus="$build/corpus/$target"
  mkdir -p "$corpus"
  if [ -n "$seeds" ] && [ -d "$seeds" ]; then cp -n "$seeds"/* "$corpus"/ 2>/dev/null || true; fi
  echo "-- $target: ${seconds}s"
  "$build/bin/$target" -max_total_time="$seconds" -print_final_stats=1 "$@" "$corpus"
}

# One line per fuzz target.
run_fuzzer fuzz_scripts tests/script/fuzz/seeds -dict=tests/script/fuzz/scripts.dict -max_len=512
run_fuzzer fuzz_url_resolution tests/plugin/fuzz/corpus/url
run_fuzzer fuzz_line_consumer tests/plugin/fuzz/corpus/lines
run_fuzzer fuzz_host_texts tests/host/fuzz/seeds -max_len=1024
run_fuzzer fuzz_drawing_format platform/cvlpage/fuzz/seeds -dict=platform/cvlpage/fuzz/drawing.dict -max_len=4096
