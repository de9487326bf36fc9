#!/usr/bin/env bash
# CTest's emulator for Windows test programs: runs one under Wine with the
# project's private prefix. scripts/test.sh exports PELMORA_WINEPREFIX; a
# developer running ctest by hand gets the default prefix under build/.
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
export WINEPREFIX=${PELMORA_WINEPREFIX:-$here/../build/wineprefix}
export WINEDEBUG=${WINEDEBUG:--all}
export WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-mscoree,mshtml=}
# Debian's wine script starts the 32-bit loader first; on a kernel without
# 32-bit emulation that cannot run at all, so 64-bit programs go straight to
# the 64-bit loader.
loader=(wine)
if ! /usr/lib/wine/wine --version >/dev/null 2>&1 && [ -x /usr/lib/wine/wine64 ]; then
  export WINELOADER=/usr/lib/wine/wine64
  loader=(/usr/lib/wine/wine64)
fi
# A Wine process started from inside the program (the desktop process when it
# has to start again, a service) inherits the program's output and may live
# on long after it. Were that output ctest's pipe, ctest would wait for the
# stray process and time the test out although it had ended. So the program
# writes to a file of its own, which is followed until the program ends.
dir=$(mktemp -d "${TMPDIR:-/tmp}/wine-run.XXXXXX")
# Made before the followers start: they could otherwise look before the
# program's redirections exist, give up, and drop all its output.
: >"$dir/out"
: >"$dir/err"
"${loader[@]}" "$@" >"$dir/out" 2>"$dir/err" </dev/null &
pid=$!
trap 'kill $pid 2>/dev/null' TERM INT
tail -s 0.2 -n +1 -f --pid=$pid "$dir/out" &
follow_out=$!
tail -s 0.2 -n +1 -f --pid=$pid "$dir/err" >&2 &
follow_err=$!
wait $pid
status=$?
wait $follow_out $follow_err
rm -rf "$dir"
exit $status
