#!/usr/bin/env bash
# Debian 12 packages for building and testing both builds. Run as root; skips what is there.
#   install-deps.sh          everything: both builds, tests, fuzzing, benchmarks
#   install-deps.sh native   only what the native build and the simulator need
set -euo pipefail
packages=(cmake ninja-build g++ python3)
if [ "${1:-}" != "native" ]; then
  packages+=(libgtest-dev libgmock-dev libbenchmark-dev mingw-w64 wine wine64 wine32:i386
    clang-14 libclang-rt-14-dev valgrind)
fi
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0
echo "Installing: ${missing[*]}"
[[ " ${missing[*]} " == *":i386 "* ]] && { dpkg --print-foreign-architectures | grep -q i386 || dpkg --add-architecture i386; }
export DEBIAN_FRONTEND=noninteractive
apt-get update -qq
apt-get install -y -qq "${missing[@]}" >/dev/null
