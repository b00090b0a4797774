#!/usr/bin/env bash
# Installs what is missing, then builds and runs every test: the suite in a normal and in an
# ASan+UBSan build, the 32-bit record layout check, the Windows compile of the printer manager and
# the automation layer, and a short fuzzing run of the workbook readers.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh

echo "== 32-bit record layouts"
g++ -std=c++20 -m32 -fsyntax-only -Wall -Wextra -Werror -I. tests/platform/spooler_layout.cpp

echo "== Windows compile of printing/ and the automation layer (MinGW-w64, the system's Windows headers)"
for source in printing/*.cpp platform/automation.cpp platform/excel.cpp platform/windows/*.cpp; do
  x86_64-w64-mingw32-g++-posix -std=c++20 -fsyntax-only -Wall -Wextra -Werror -I. "$source"
done

export QT_QPA_PLATFORM=offscreen
# Tests keep their machines in memory; any process that does not still finds a private state folder.
TALLOWIND_SPOOLER_DIR=$(mktemp -d)
export TALLOWIND_SPOOLER_DIR
trap 'rm -rf "$TALLOWIND_SPOOLER_DIR"' EXIT
jobs=$(nproc)

echo "== Normal build"
bash scripts/build.sh build
ctest --test-dir build --output-on-failure -j "$jobs"

echo "== ASan+UBSan build"
bash scripts/build.sh build-asan -DTALLOWIND_SANITIZE=ON -DTALLOWIND_BENCH=OFF
ctest --test-dir build-asan --output-on-failure -j "$jobs"

echo "== Fuzzing the workbook readers (libFuzzer with ASan+UBSan, briefly)"
FUZZ_SECONDS=${FUZZ_SECONDS:-20} bash scripts/fuzz.sh

echo "== All tests passed"
