#!/usr/bin/env bash
# Runs under xvfb-run from test.sh: boots the private Wine prefix, keeps its
# wineserver up for the whole run and runs ctest in each tree.
set -uo pipefail
jobs=${1:-4}
export WINEPREFIX=$PELMORA_WINEPREFIX WINEDEBUG=-all WINEDLLOVERRIDES=mscoree,mshtml=
mkdir -p "$WINEPREFIX"
# Wine's background processes inherit stdout: keep them off ctest's pipes.
wineserver -p >/dev/null 2>&1 </dev/null
wineboot -i >/dev/null 2>&1 </dev/null
status=0
for tree in win64 win32 native; do
  echo "=== tests: $tree"
  ctest --test-dir "build/$tree" --output-on-failure -j "$jobs" || status=1
done
wineserver -k >/dev/null 2>&1 </dev/null
exit $status
