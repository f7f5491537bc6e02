#!/usr/bin/env bash
# Builds what the benchmarks need and prints the table of the five figures, each measured against
# a baseline in the same run (see bench/README.md):
#   build/bench            native Release build with the benchmarks (TAVRIN_BENCH=ON)
#   build/bench-windows    x86_64 Windows build, for the Wine figure of item 4
#   build/bench-wineprefix a Wine prefix of its own, with a server kept up for the run
# Usage: scripts/bench.sh [--no-wine] [--quick] [--only N[,N]...]
# Exit status: 0 every goal met, 1 a goal missed or a figure not measured, else a build failure.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${TAVRIN_BUILD_ROOT:-$root/build}
jobs=$(($(nproc) < 2 ? $(nproc) : 2))
log=$build/bench-build.log
wine=true
bench_args=()
for arg in "$@"; do
  if [ "$arg" = "--no-wine" ]; then wine=false; else bench_args+=("$arg"); fi
done

"$root/scripts/install-deps.sh"
mkdir -p "$build"
: >"$log"
quietly() {
  "$@" >>"$log" 2>&1 || { tail -n 40 "$log"; echo "bench.sh: failed: $*" >&2; exit 3; }
}

echo "Building (log: $log) ..." >&2
quietly cmake -S "$root" -B "$build/bench" -G Ninja -DCMAKE_BUILD_TYPE=Release \
  -DTAVRIN_TESTS=OFF -DTAVRIN_BENCH=ON
quietly cmake --build "$build/bench" -j "$jobs"

if $wine; then
  quietly cmake -S "$root" -B "$build/bench-windows" -G Ninja -DCMAKE_BUILD_TYPE=Release \
    -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-x86_64.cmake"
  quietly cmake --build "$build/bench-windows" -j "$jobs" --target upload Tavrin

  export WINEPREFIX=$build/bench-wineprefix WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
  if [ ! -f "$WINEPREFIX/system.reg" ]; then
    echo "Making a Wine prefix (once) ..." >&2
    wineboot -i >>"$log" 2>&1
  fi
  # Our prefix's server only: a fresh one that stays up between the programs of the run.
  wineserver -k 2>/dev/null || true
  wineserver -p </dev/null >/dev/null 2>&1
  trap 'wineserver -k 2>/dev/null || true' EXIT
  bench_args+=(--windows-bin "$build/bench-windows/bin" --wine-prefix "$WINEPREFIX")
fi

"$build/bench/bin/tavrin-bench" "${bench_args[@]}"
