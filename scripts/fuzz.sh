#!/usr/bin/env bash
# Builds the workbook readers' libFuzzer targets with clang in their own build folder and runs each
# for a bounded time on a seed corpus taken from tests/data. FUZZ_SECONDS sets the time per target.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${FUZZ_SECONDS:-30}
build=build-fuzz

# libFuzzer comes with clang's runtime (Debian: clang, libclang-rt-14-dev).
if ! command -v clang++ >/dev/null || ! echo 'int main(){}' |
  clang++ -x c++ -fsanitize=fuzzer-no-link -o /dev/null - 2>/dev/null; then
  echo "== Fuzzing skipped: clang++ with the libFuzzer runtime is not installed"
  exit 0
fi

CC=clang CXX=clang++ cmake -S . -B "$build" -G Ninja -DTALLOWIND_FUZZ=ON -DTALLOWIND_TESTS=OFF \
  -DTALLOWIND_BENCH=OFF >/dev/null
cmake --build "$build" --target xlsx_fuzzer xls_fuzzer

run() {
  local target=$1
  shift
  local corpus="$build/fuzz/corpus-$target"
  rm -rf "$corpus"
  mkdir -p "$corpus"
  # Seeds: the fixtures of the target's format, the large bombs left out.
  for seed in "$@"; do
    [ -f "$seed" ] && [ "$(stat -c %s "$seed")" -le 65536 ] && cp "$seed" "$corpus/"
  done
  echo "== $target: ${seconds}s on $(ls "$corpus" | wc -l) seeds"
  "$build/fuzz/${target}_fuzzer" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 \
    -print_final_stats=1 -artifact_prefix="$build/fuzz/$target-" "$corpus" 2>&1 | tail -n 25
}

run xlsx tests/data/*.xlsx tests/data/*.xltx tests/data/*.xlsm tests/data/*.xlsb
run xls tests/data/*.xls
echo "== Fuzzing found nothing"
