#!/usr/bin/env bash
# Builds the libFuzzer targets with clang and runs each one for a bounded time.
# Any crash or sanitizer report fails the run.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds="${FUZZ_SECONDS:-60}"

if ! command -v clang++ >/dev/null 2>&1; then
  echo "clang++ absent : fuzzers non construits."
  exit 0
fi
cmake --preset fuzz >/dev/null
cmake --build --preset fuzz

shopt -s nullglob
ran=0
for t in build/fuzz/fuzz/*/fuzz_*; do
  [ -f "$t" ] && [ -x "$t" ] || continue
  ran=$((ran + 1))
  name=$(basename "$t")
  corpus="build/fuzz/corpus/$name"
  mkdir -p "$corpus"
  # A dictionary beside the target's source gives the fuzzer the words its checks need.
  dict="fuzz/$(basename "$(dirname "$t")")/$name.dict"
  words=()
  [ -f "$dict" ] && words=(-dict="$dict")
  echo "== $name (${seconds}s)"
  QT_QPA_PLATFORM=offscreen "$t" "${words[@]}" -max_total_time="$seconds" -rss_limit_mb=2048 -print_final_stats=1 "$corpus" \
      > "build/fuzz/$name.log" 2>&1 || { tail -n 60 "build/fuzz/$name.log"; echo "$name: FAILED"; exit 1; }
  grep -E 'stat::number_of_executed_units' "build/fuzz/$name.log" || true
done
echo "fuzz: $ran target(s) ran clean"
