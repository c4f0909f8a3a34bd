#!/usr/bin/env bash
# Builds everything and runs every test: a release build with gcc, then the same suite and the
# fuzz targets under AddressSanitizer and UndefinedBehaviorSanitizer with clang.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/deps.sh

jobs=$(nproc)

cmake -S . -B build/release -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build build/release -j "$jobs"
(cd build/release && ctest --output-on-failure -j "$jobs")
if [ -x build/release/qt/kirjanpito ]; then
  scripts/screenshots.sh build/release
  scripts/pdfs.sh build/release
fi

cmake -S . -B build/asan -G Ninja -DCMAKE_BUILD_TYPE=Debug -DCMAKE_CXX_COMPILER=clang++ \
      -DKP_SANITIZE=ON -DKP_FUZZ=ON -DKP_BENCH=OFF
cmake --build build/asan -j "$jobs"
export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
(cd build/asan && ctest --output-on-failure -j "$jobs")
