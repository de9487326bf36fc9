#!/usr/bin/env bash
# The project's test command: installs what is missing, builds the 64-bit,
# 32-bit and native trees and runs every tree's tests (Windows ones under Wine).
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cd "$root"

bash scripts/install-deps.sh

jobs=$(nproc)
configure() { # dir [cmake args...]
  local dir=$1; shift
  cmake -S . -B "build/$dir" -DCMAKE_BUILD_TYPE=RelWithDebInfo "$@" >/dev/null
}
configure win64 -DCMAKE_TOOLCHAIN_FILE="$root/cmake/toolchain-x86_64-w64-mingw32.cmake"
configure win32 -DCMAKE_TOOLCHAIN_FILE="$root/cmake/toolchain-i686-w64-mingw32.cmake"
configure native
cmake --build build/win64 -j "$jobs"
if bash scripts/can-run-32bit.sh; then
  cmake --build build/win32 -j "$jobs"
else
  # Its tests cannot run here: build what ships (and the simulator).
  cmake --build build/win32 -j "$jobs" --target Tessaly PelmoraX Quillon Vantiro PEGRP32D usb0 PelmoraSim
fi
cmake --build build/native -j "$jobs"

export PELMORA_WINEPREFIX="$root/build/wineprefix"
# One X display for the whole run, so Wine's desktop process and every test
# program share it.
xvfb-run -a -s "-screen 0 1280x1024x24" bash scripts/run-ctest.sh "$jobs"
