#!/usr/bin/env bash
# The project's test command: installs what is missing, builds the 64-bit,
# 32-bit and native trees and runs every tree's tests (Windows ones under Wine).
#
#   bash scripts/test.sh                     every tree
#   bash scripts/test.sh --tree win64 [ctest args...]
#                                            one tree, built where it is not
#                                            yet, with ctest's own filters
#                                            (for example -R studio)
#   PELMORA_WINEDEBUG=warn+heap bash scripts/test.sh
#                                            every Windows test under Wine's
#                                            heap checking (default -all)
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cd "$root"

only=
if [ "${1:-}" = --tree ]; then
  only=${2:?"--tree needs win64, win32 or native"}
  shift 2
  case $only in win64|win32|native) ;; *) echo "unknown tree: $only" >&2; exit 2 ;; esac
fi

bash scripts/install-deps.sh

jobs=$(nproc)
configure() { # dir [cmake args...]
  local dir=$1; shift
  cmake -S . -B "build/$dir" -DCMAKE_BUILD_TYPE=RelWithDebInfo "$@" >/dev/null
}
wanted() { [ -z "$only" ] || [ "$only" = "$1" ]; }
if wanted win64; then
  configure win64 -DCMAKE_TOOLCHAIN_FILE="$root/cmake/toolchain-x86_64-w64-mingw32.cmake"
  cmake --build build/win64 -j "$jobs"
fi
if wanted win32; then
  configure win32 -DCMAKE_TOOLCHAIN_FILE="$root/cmake/toolchain-i686-w64-mingw32.cmake"
  if bash scripts/can-run-32bit.sh; then
    cmake --build build/win32 -j "$jobs"
  else
    # Its tests cannot run here: build what ships (and the simulator).
    cmake --build build/win32 -j "$jobs" --target Tessaly PelmoraX Quillon Vantiro PEGRP32D usb0 PelmoraSim
  fi
fi
if wanted native; then
  configure native
  cmake --build build/native -j "$jobs"
fi

export PELMORA_WINEPREFIX="$root/build/wineprefix"
export PELMORA_TREES=${only:-"win64 win32 native"}
# One X display for the whole run, so Wine's desktop process and every test
# program share it, the prefix's boot and wineserver included.
xvfb-run -a -s "-screen 0 1280x1024x24" bash scripts/run-ctest.sh "$jobs" "$@"
