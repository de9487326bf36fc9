#!/usr/bin/env bash
# CTest's emulator for Windows test programs: runs one under Wine with the
# project's private prefix. scripts/test.sh exports PELMORA_WINEPREFIX; a
# developer running ctest by hand gets the default prefix under build/.
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
export WINEPREFIX=${PELMORA_WINEPREFIX:-$here/../build/wineprefix}
export WINEDEBUG=${WINEDEBUG:--all}
export WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-mscoree,mshtml=}
exec wine "$@"
