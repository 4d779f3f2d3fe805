#!/usr/bin/env bash
# Builds everything and runs all tests; also builds the Qt-free parts for Windows so that core
# stays free of Qt and of POSIX-only calls.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/build.sh

echo "== Windows cross build of the Qt-free parts =="
cmake -S . -B build/windows -G Ninja -DCMAKE_BUILD_TYPE=Release \
  -DCMAKE_TOOLCHAIN_FILE="$PWD/cmake/mingw-w64.cmake" -DZV_CORE_ONLY=ON
cmake --build build/windows

echo "== Tests =="
ctest --test-dir build --output-on-failure -j "$(nproc)"
