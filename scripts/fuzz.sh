#!/usr/bin/env bash
# Fuzzing: builds the libFuzzer targets with clang, with AddressSanitizer and
# UndefinedBehaviorSanitizer, and runs each one from its seed corpus.
#
#   scripts/fuzz.sh [SECONDS]            brief: each target for SECONDS (20 by default)
#                                        on up to four cores, stopping at the first
#                                        finding (what CI runs)
#   scripts/fuzz.sh --long SECONDS [JOBS]
#                                        long: each target for SECONDS with JOBS
#                                        processes (the number of cores by default) at
#                                        low priority, going on past findings; a summary
#                                        at the end names every target that found one
#
# The corpus grows in $FUZZ_BUILD_DIR/corpus/TARGET (build-fuzz by default) and is
# kept between runs; findings land in $FUZZ_BUILD_DIR/findings/TARGET. See docs/fuzzing.md.
set -euo pipefail
cd "$(dirname "$0")/.."
long=0
if [ "${1:-}" = "--long" ]; then
  long=1
  shift
  [ $# -ge 1 ] || { echo "usage: scripts/fuzz.sh --long SECONDS [JOBS]" >&2; exit 2; }
fi
seconds=${1:-20}
jobs=${2:-$(nproc)}
# A brief run uses up to four cores: each process holds a few hundred megabytes
# under the sanitizers, and one core runs a single process best.
brief_jobs=$(( $(nproc) < 4 ? $(nproc) : 4 ))
brief_fork=()
if [ "$brief_jobs" -ge 2 ]; then brief_fork=(-fork="$brief_jobs"); fi
build=${FUZZ_BUILD_DIR:-build-fuzz}
bash scripts/install-deps.sh
cmake -S . -B "$build" -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ -DVK_FUZZ=ON -DVK_SANITIZE=ON \
  -DVK_BENCH=OFF -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DCMAKE_C_FLAGS=-fsanitize=fuzzer-no-link -DCMAKE_CXX_FLAGS=-fsanitize=fuzzer-no-link >/dev/null

failed=()

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
  local corpus="$build/corpus/$target" findings="$build/findings/$target"
  mkdir -p "$corpus" "$findings"
  if [ -n "$seeds" ] && [ -d "$seeds" ]; then cp -n "$seeds"/* "$corpus"/ 2>/dev/null || true; fi
  if [ "$long" = 0 ]; then
    echo "-- $target: ${seconds}s, $brief_jobs jobs"
    "$build/bin/$target" -max_total_time="$seconds" ${brief_fork[@]+"${brief_fork[@]}"} -print_final_stats=1 \
      -artifact_prefix="$findings/" "$@" "$corpus"
  else
    echo "-- $target: ${seconds}s, $jobs jobs"
    if ! nice -n 10 "$build/bin/$target" -max_total_time="$seconds" -fork="$jobs" -ignore_crashes=1 \
        -ignore_timeouts=1 -ignore_ooms=1 -print_final_stats=1 -artifact_prefix="$findings/" "$@" "$corpus" \
        || [ -n "$(ls -A "$findings")" ]; then
      failed+=("$target")
    fi
  fi
}

# One line per fuzz target.
run_fuzzer fuzz_scripts tests/script/fuzz/seeds -dict=tests/script/fuzz/scripts.dict -max_len=512
run_fuzzer fuzz_url_resolution tests/plugin/fuzz/corpus/url
run_fuzzer fuzz_line_consumer tests/plugin/fuzz/corpus/lines
run_fuzzer fuzz_host_texts tests/host/fuzz/seeds -max_len=1024
run_fuzzer fuzz_drawing_format platform/cvlpage/fuzz/seeds -dict=platform/cvlpage/fuzz/drawing.dict -max_len=4096
run_fuzzer fuzz_npapi_calls tests/host/fuzz/npapi-seeds -max_len=512

if [ "$long" = 1 ]; then
  if [ ${#failed[@]} -gt 0 ]; then
    echo "== findings in: ${failed[*]} (see $build/findings/)"
    exit 1
  fi
  echo "== no findings"
fi
