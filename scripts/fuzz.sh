#!/usr/bin/env bash
# Builds the fuzz targets (clang, libFuzzer, address and undefined-behaviour checks) in
# build-fuzz and runs each one for SECONDS (default 60), one after another.
#   scripts/fuzz.sh [SECONDS] [TARGET...]
# Corpora grow in build-fuzz/corpus/<target>, seeded from fuzz/corpus/<target>. A finding stops
# the run, leaves its input in build-fuzz/findings/<target>/ and makes the script fail.
# FUZZ_RUNS=N stops each target after N inputs instead (whichever comes first).
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/needs.sh
needs "${RUN_PACKAGES[@]}" clang libclang-rt-14-dev libfuzzer-14-dev
seconds="${1:-60}"
shift || true
targets=("$@")
if [ ${#targets[@]} -eq 0 ]; then
  targets=(code_text translator profile dictionary_text quicksort chip_decoder pronouncer
    chip_renderer)
fi

if [ ! -f build-fuzz/build.ninja ]; then
  CC=clang CXX=clang++ cmake -S . -B build-fuzz -G Ninja -DCANTORA_FUZZ=ON \
    -DCMAKE_BUILD_TYPE=RelWithDebInfo
fi
build_targets=()
for target in "${targets[@]}"; do build_targets+=("${target}_fuzz"); done
cmake --build build-fuzz -j2 --target "${build_targets[@]}"

export ASAN_OPTIONS="${ASAN_OPTIONS:-detect_leaks=1}"
export UBSAN_OPTIONS="${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}"
export QT_QPA_PLATFORM=offscreen
status=0
for target in "${targets[@]}"; do
  corpus="build-fuzz/corpus/${target}"
  findings="build-fuzz/findings/${target}"
  mkdir -p "$corpus" "$findings"
  seeds=()
  if [ -d "fuzz/corpus/${target}" ]; then seeds=("fuzz/corpus/${target}"); fi
  echo "== ${target}: ${seconds} s"
  if ! "build-fuzz/fuzz/${target}_fuzz" -max_total_time="$seconds" -runs="${FUZZ_RUNS:--1}" \
      -max_len=4096 -timeout=10 -rss_limit_mb=2048 -print_final_stats=1 \
      -artifact_prefix="${findings}/" "$corpus" "${seeds[@]}" 2>"build-fuzz/${target}.log"; then
    echo "!! ${target}: finding, see build-fuzz/${target}.log and ${findings}/"
    tail -n 40 "build-fuzz/${target}.log"
    status=1
  fi
  grep -E "^(stat::number_of_executed_units|stat::peak_rss_mb|Done )" \
    "build-fuzz/${target}.log" || true
done
exit $status
