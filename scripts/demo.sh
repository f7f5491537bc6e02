#!/usr/bin/env bash
# The main job: upload a 1 MiB firmware image to the simulated robot through the real library.
# The robot is found by its USB identity, as on a PC with the robot plugged in.
#   scripts/demo.sh            native build (libTavrin.so + upload)
#   scripts/demo.sh --windows  Windows build (Tavrin.dll + Upload.exe) under Wine
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${TAVRIN_BUILD_ROOT:-$root/build}
jobs=$(nproc)
windows=false
[ "${1:-}" = "--windows" ] && windows=true

if $windows; then "$root/scripts/install-deps.sh"; else "$root/scripts/install-deps.sh" native; fi

# The simulator is a native program in either case.
cmake -S "$root" -B "$build/demo" -G Ninja -DCMAKE_BUILD_TYPE=Release -DTAVRIN_TESTS=OFF >/dev/null
cmake --build "$build/demo" -j "$jobs" >/dev/null
demo=$build/demo/run
rm -rf "$demo" && mkdir -p "$demo"

# A 1 MiB image whose bytes all differ in position, so any lost byte shows in the checksum.
python3 -c "import sys; sys.stdout.buffer.write(bytes((i * 7 + i // 251) & 0xFF for i in range(1 << 20)))" \
  >"$demo/firmware.bin"

com=5
if $windows; then
  cmake -S "$root" -B "$build/windows" -G Ninja -DCMAKE_BUILD_TYPE=Release \
    -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-x86_64.cmake" >/dev/null
  cmake --build "$build/windows" -j "$jobs" >/dev/null
  export WINEPREFIX=$build/demo/wineprefix WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
  [ -f "$WINEPREFIX/system.reg" ] || { echo "Making a Wine prefix (once) ..."; wineboot -i >/dev/null 2>&1; }
  wineserver -k 2>/dev/null || true  # a server that stays up replaces any earlier one
  wineserver -p </dev/null >/dev/null 2>&1
  findable=(--wine-prefix "$WINEPREFIX" --com "$com")
  image=$(printf 'Z:%s' "$demo/firmware.bin" | tr / '\\')
  run=(wine "$build/windows/bin/Upload.exe")
else
  mkdir -p "$demo/ports" "$demo/sysfs"
  export TAVRIN_PORTS=$demo/ports TAVRIN_SYSFS=$demo/sysfs
  findable=(--ports-dir "$TAVRIN_PORTS" --sysfs "$TAVRIN_SYSFS" --com "$com")
  image=$demo/firmware.bin
  run=("$build/demo/bin/upload")
fi

"$build/demo/bin/robot-sim" "${findable[@]}" --usb primary --transcript "$demo/robot.txt" \
  >"$demo/robot.out" &
robot=$!
trap 'kill $robot 2>/dev/null || true; $windows && wineserver -k 2>/dev/null || true' EXIT
until [ -s "$demo/robot.out" ]; do sleep 0.1; done
echo "Simulated robot on $(head -n1 "$demo/robot.out")"

echo "==== The PC's side: ${run[*]} -a -f $image"
set +e
TAVRIN_RESULT_JSON="$demo/buffers.json" "${run[@]}" -a -f "$image"
status=$?
set -e
kill $robot && wait $robot 2>/dev/null || true
echo "==== Upload exit status: $status (0: the robot confirmed the upload)"
echo "==== The robot's side (what it received and checked):"
cat "$demo/robot.txt"
exit $status
