#!/usr/bin/env bash
# Builds everything and runs all tests; also builds the Qt-free parts for Windows so that core
# stays free of Qt and of POSIX-only calls and the Win32 serial port layer compiles, and, where
# Qt for Windows is cached, the whole Windows program, tried under Wine.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/build.sh

# Where Qt for Windows is cached the whole Windows program is built at the end, core and the
# serial port layer with it; otherwise the Qt-free parts are cross-built here on their own.
windows_qt=false
scripts/windows/build-deps.sh --cached-only >/dev/null 2>&1 && windows_qt=true
if ! $windows_qt; then
  echo "== Windows cross build of the Qt-free parts =="
  # A check that they compile and link for Windows: unoptimised, it takes half the time.
  cmake -S . -B build/windows -G Ninja -DCMAKE_BUILD_TYPE=Debug -DCMAKE_CXX_FLAGS_DEBUG=-O0 \
    -DCMAKE_TOOLCHAIN_FILE="$PWD/cmake/mingw-w64.cmake" -DZV_CORE_ONLY=ON
  cmake --build build/windows
fi

echo "== Tests =="
ctest --test-dir build --output-on-failure -j "$(nproc)"

echo "== Core, the simulated unit and their tests under AddressSanitizer and UBSan =="
cmake -S . -B build/asan -G Ninja -DCMAKE_BUILD_TYPE=Debug -DCMAKE_CXX_FLAGS_DEBUG="-O1 -g1" \
  -DZV_SANITIZE=ON
cmake --build build/asan
ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1 \
  ctest --test-dir build/asan --output-on-failure -j "$(nproc)"

# A short fuzz run of each target; the long run is in the README. Only where clang can link
# libFuzzer (clang and libclang-rt-14-dev come with install-deps.sh).
if printf 'extern "C" int LLVMFuzzerTestOneInput(const char*, unsigned long) { return 0; }\n' |
  clang++ -x c++ -fsanitize=fuzzer -o /dev/null - 2>/dev/null; then
  echo "== Fuzzing (short run) =="
  scripts/fuzz.sh 6
else
  echo "== Fuzzing skipped: clang with libFuzzer not found =="
fi

# The whole program for Windows, packaged and tried under Wine, where Qt for Windows is cached:
# building it the first time takes about 40 minutes (scripts/build-windows.sh does it once).
if $windows_qt; then
  echo "== Windows program: cross-built, packaged and tried under Wine =="
  scripts/build-windows.sh
  scripts/test-windows.sh
else
  echo "== Windows program under Wine skipped: Qt for Windows is not built yet =="
  echo "   (scripts/build-windows.sh builds it once, in about 40 minutes; this command then tries"
  echo "   the Windows program under Wine every time)"
fi
