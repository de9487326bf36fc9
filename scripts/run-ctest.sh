#!/usr/bin/env bash
# Runs under xvfb-run from test.sh: boots the private Wine prefix, keeps its
# wineserver up for the whole run and runs ctest in each tree.
set -uo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
jobs=${1:-4}
export WINEPREFIX=$PELMORA_WINEPREFIX WINEDEBUG=-all WINEDLLOVERRIDES=mscoree,mshtml=
mkdir -p "$WINEPREFIX"
# Wine's background processes inherit stdout: keep them off ctest's pipes.
wineserver -p >/dev/null 2>&1 </dev/null
"$here/wine-run.sh" wineboot -i >/dev/null 2>&1 </dev/null
trees="win64 win32 native"
if ! bash "$here/can-run-32bit.sh"; then
  echo "=== this kernel runs no 32-bit programs: the win32 tree is built, its tests are not run"
  trees="win64 native"
fi
status=0
for tree in $trees; do
  echo "=== tests: $tree"
  ctest --test-dir "build/$tree" --output-on-failure -j "$jobs" || status=1
done
wineserver -k >/dev/null 2>&1 </dev/null
exit $status
