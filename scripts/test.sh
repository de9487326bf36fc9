#!/usr/bin/env bash
# The project's test command: installs what is missing, builds the 64-bit,
# 32-bit and native trees and runs every tree's tests (Windows ones under Wine).
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cd "$root"

bash scripts/install-deps.sh

jobs=$(nproc)
configure_and_build() { # dir [cmake args...]
  local dir=$1; shift
  cmake -S . -B "build/$dir" -DCMAKE_BUILD_TYPE=RelWithDebInfo "$@" >/dev/null
  cmake --build "build/$dir" -j "$jobs"
}
configure_and_build win64 -DCMAKE_TOOLCHAIN_FILE="$root/cmake/toolchain-x86_64-w64-mingw32.cmake"
configure_and_build win32 -DCMAKE_TOOLCHAIN_FILE="$root/cmake/toolchain-i686-w64-mingw32.cmake"
configure_and_build native

export PELMORA_WINEPREFIX="$root/build/wineprefix"
# One X display for the whole run, so Wine's desktop process and every test
# program share it.
xvfb-run -a -s "-screen 0 1280x1024x24" bash scripts/run-ctest.sh "$jobs"
