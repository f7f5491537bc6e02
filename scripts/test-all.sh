#!/usr/bin/env bash
# Installs what the build needs from Debian's archive, builds the native library (with
# AddressSanitizer and UndefinedBehaviorSanitizer) and the Windows library for x86_64 and i686,
# makes a Wine prefix, and runs every test: native, and the Windows build under Wine; then the
# native tests again under valgrind's memcheck.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${TAVRIN_BUILD_ROOT:-$root/build}
jobs=$(nproc)

"$root/scripts/install-deps.sh"

cmake -S "$root" -B "$build/windows" -G Ninja -DCMAKE_BUILD_TYPE=Release \
  -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-x86_64.cmake"
cmake --build "$build/windows" -j "$jobs"
cmake -S "$root" -B "$build/windows-i686" -G Ninja -DCMAKE_BUILD_TYPE=Release \
  -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-i686.cmake"
cmake --build "$build/windows-i686" -j "$jobs"

cmake -S "$root" -B "$build/native" -G Ninja -DCMAKE_BUILD_TYPE=Debug -DTAVRIN_SANITIZE=ON \
  -DTAVRIN_WINDOWS_BIN_DIR="$build/windows/bin" -DTAVRIN_WINDOWS32_BIN_DIR="$build/windows-i686/bin"
cmake --build "$build/native" -j "$jobs"

# One Wine prefix for the whole run, and a server that stays up between the tests' programs.
export WINEPREFIX="$build/native/wineprefix" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
[ -f "$WINEPREFIX/system.reg" ] || wineboot -i >/dev/null 2>&1
wineserver -k 2>/dev/null || true  # a server that stays up replaces any earlier one
wineserver -p </dev/null >/dev/null 2>&1
trap 'wineserver -k 2>/dev/null || true' EXIT

export ASAN_OPTIONS=detect_leaks=1:abort_on_error=0 UBSAN_OPTIONS=print_stacktrace=1
# Most tests wait on read windows and timers, not on the processor: run several at once.
ctest --test-dir "$build/native" --output-on-failure -j 6 --timeout 120

# The same native tests once more with the library under valgrind's memcheck (no sanitizers).
cmake -S "$root" -B "$build/native-memcheck" -G Ninja -DCMAKE_BUILD_TYPE=Debug \
  -DTAVRIN_TEST_WRAPPER="$root/scripts/valgrind-memcheck.sh"
cmake --build "$build/native-memcheck" -j "$jobs"
export VALGRIND_LOG_DIR="$build/native-memcheck/valgrind-logs"
rm -rf "$VALGRIND_LOG_DIR" && mkdir -p "$VALGRIND_LOG_DIR"
if ! ctest --test-dir "$build/native-memcheck" --output-on-failure -j 6 --timeout 300; then
  grep -l "ERROR SUMMARY: [1-9]" "$VALGRIND_LOG_DIR"/* 2>/dev/null | xargs -r cat
  exit 1
fi
