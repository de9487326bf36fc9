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
if ! /usr/lib/wine/wine --version >/dev/null 2>&1 && [ -x /usr/lib/wine/wine64 ]; then
  export WINELOADER=/usr/lib/wine/wine64
  exec /usr/lib/wine/wine64 "$@"
fi
exec wine "$@"
