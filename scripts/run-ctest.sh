#!/usr/bin/env bash
# Runs under xvfb-run from test.sh: boots the private Wine prefix, keeps its
# wineserver up for the whole run and runs ctest in each tree of
# PELMORA_TREES (default: all three); further arguments go to ctest.
# PELMORA_WINEDEBUG (default -all) is Wine's debug setting for the run:
# PELMORA_WINEDEBUG=warn+heap checks the heap in every Windows test.
set -uo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
jobs=${1:-4}
shift || true
export WINEPREFIX=$PELMORA_WINEPREFIX WINEDEBUG=${PELMORA_WINEDEBUG:--all} WINEDLLOVERRIDES=mscoree,mshtml=
mkdir -p "$WINEPREFIX"
# Wine's background processes inherit stdout: keep them off ctest's pipes.
# The boot that makes or updates the prefix must run under a server of its
# own: under a server made persistent first, it leaves the service manager
# reporting an RPC service that is gone, and every later COM call that needs
# it (the running-object table) fails with 800706ba. So boot, wait (bounded)
# for that server to end, then keep a persistent one for the whole run.
wineserver -k >/dev/null 2>&1 </dev/null
timeout 60 wineserver -w >/dev/null 2>&1 </dev/null
"$here/wine-run.sh" wineboot -i >/dev/null 2>&1 </dev/null
timeout 120 wineserver -w >/dev/null 2>&1 </dev/null
wineserver -p >/dev/null 2>&1 </dev/null
"$here/wine-run.sh" wineboot -i >/dev/null 2>&1 </dev/null
trees=${PELMORA_TREES:-win64 win32 native}
if [[ " $trees " == *" win32 "* ]] && ! bash "$here/can-run-32bit.sh"; then
  echo "=== this kernel runs no 32-bit programs: the win32 tree builds its programs and libraries, its tests are not run"
  trees=${trees/win32/}
fi
status=0
for tree in $trees; do
  echo "=== tests: $tree"
  ctest --test-dir "build/$tree" --output-on-failure -j "$jobs" "$@" || status=1
done
wineserver -k >/dev/null 2>&1 </dev/null
exit $status
