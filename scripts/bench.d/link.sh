#!/usr/bin/env bash
# Rows of the Windows benchmarks under Wine in a prefix of their own
# (build/bench-prefix): command round trips over TCP and over a COM pair,
# a fast run over TCP, the studio's clipboard hand-back.
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
cd "$root"
source scripts/lib.sh
# A display of its own, so the clipboard row never touches the user's.
if [ -z "${PELMORA_BENCH_INNER:-}" ]; then
  export PELMORA_BENCH_INNER=1
  exec xvfb-run -a -s "-screen 0 1024x768x24" bash "$0" "$@"
fi
build_win64 pel_link_bench pel_handback_bench
export WINEPREFIX=$root/build/bench-prefix WINEDEBUG=-all WINEDLLOVERRIDES=mscoree,mshtml=
export PELMORA_WINEPREFIX=$WINEPREFIX
cleanup() {
  bash scripts/compair.sh stop 7 8 >/dev/null 2>&1 || true
  wineserver -k >/dev/null 2>&1 </dev/null || true
}
trap cleanup EXIT
trap 'exit 130' INT TERM
boot_prefix
bash scripts/compair.sh start 7 8 >&2
wine_run reg add 'HKLM\HARDWARE\DEVICEMAP\SERIALCOMM' /v PelmoraBench7 /t REG_SZ /d COM7 /f \
  </dev/null >/dev/null 2>&1
out=$root/build/bench-out
mkdir -p "$out"
status=0
bench() { # name, program, args...
  local name=$1; shift
  if ! timeout 120 bash scripts/wine-run.sh "$@" </dev/null >"$out/link-$name.txt" 2>"$out/link-$name.err"; then
    echo "$name failed:" >&2
    cat "$out/link-$name.err" >&2
    status=1
  fi
  tr -d '\r' <"$out/link-$name.txt"
}
bin=build/win64/bin
bench roundtrip-tcp "$bin/pel_link_bench.exe" roundtrip-tcp
bench roundtrip-com "$bin/pel_link_bench.exe" roundtrip-com 7 8
bench fast-run "$bin/pel_link_bench.exe" fast-run
bench handback "$bin/pel_handback_bench.exe"
exit $status
