#!/usr/bin/env bash
# Runs one of the programs against the simulated interface, as a user would
# see it, in a Wine prefix of its own (build/demo-prefix).
#
#   bash scripts/demo.sh [--headless] [--program tessaly|quillon|activex]
#
# tessaly (default): a 10 s run at 0.1 s on two channels, then the table the
# studio hands back on the clipboard. With --headless, or without a display,
# it runs under Xvfb, presses Start and End itself and leaves a screenshot in
# build/demo/tessaly.png.
# quillon: a capture on the simulated high-speed interface over a COM pair,
# its download saved through the Save dialog; prints build/demo/quillon.csv
# and leaves build/demo/quillon.png.
# activex: PelmoraX registered with regsvr32; a COM client prints the records
# of a 2 s run as the control's events bring them.
#
# PELMORA_DEMO_PREFIX and PELMORA_DEMO_OUT choose another prefix and output
# folder; PELMORA_DEMO_NO_BUILD=1 skips the install and build steps.
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cd "$root"
source scripts/lib.sh

headless=0 program=tessaly
args=("$@")
while [ $# -gt 0 ]; do
  case $1 in
    --headless) headless=1 ;;
    --program) program=${2:?"--program needs tessaly, quillon or activex"}; shift ;;
    -h|--help) awk 'NR > 1 && /^#/ { sub(/^# ?/, ""); print; next } NR > 1 { exit }' "$0"; exit 0 ;;
    *) echo "unknown option: $1" >&2; exit 2 ;;
  esac
  shift
done
case $program in tessaly|quillon|activex) ;; *) echo "unknown program: $program" >&2; exit 2 ;; esac
[ -n "${DISPLAY:-}" ] || headless=1

if [ -z "${PELMORA_DEMO_INNER:-}" ]; then
  if [ -z "${PELMORA_DEMO_NO_BUILD:-}" ]; then
    bash scripts/install-deps.sh
    echo "demo: building the programs (build/win64)"
    case $program in
      tessaly) build_win64 Tessaly PelmoraSim PelmoraDemo ;;
      quillon) build_win64 Quillon PelmoraDemo ;;
      activex) build_win64 PelmoraX PelmoraSim PelmoraXDemo ;;
    esac
  fi
  if [ $headless = 1 ]; then
    # A display of our own; xvfb-run ends it with the inner run.
    export PELMORA_DEMO_INNER=1
    exec xvfb-run -a -s "-screen 0 1280x1024x24" bash "$0" "${args[@]}" --headless
  fi
fi

out=${PELMORA_DEMO_OUT:-build/demo}
mkdir -p "$out"
export WINEPREFIX=${PELMORA_DEMO_PREFIX:-$root/build/demo-prefix} WINEDEBUG=-all WINEDLLOVERRIDES=mscoree,mshtml=
bin=build/win64/bin
export PELMORA_WINEPREFIX=$WINEPREFIX  # for compair.sh

pids=()
cleanup() {
  local p
  for p in "${pids[@]}"; do kill "$p" 2>/dev/null || true; done
  [ -n "${compair:-}" ] && bash scripts/compair.sh stop $compair >/dev/null 2>&1
  wineserver -k >/dev/null 2>&1 </dev/null || true
  for p in "${pids[@]}"; do wait "$p" 2>/dev/null || true; done
}
trap cleanup EXIT
trap 'exit 130' INT TERM

echo "demo: preparing the Wine prefix $WINEPREFIX"
boot_prefix
wine_run regedit /S "$(dos_path sim/demo/demo.reg)" </dev/null >/dev/null 2>&1
iface='HKCU\Software\VB and VBA Program Settings\Pelmora\Interface'
set_reg() { wine_run reg add "$1" /v "$2" /t REG_SZ /d "$3" /f </dev/null >/dev/null 2>&1; }

start_sim() { # log, args...
  local log=$1; shift
  wine_run "$bin/PelmoraSim.exe" "$@" </dev/null >"$log" 2>&1 &
  pids+=($!)
  wait_for_text "$log" 60 "PelmoraSim: serving" || { echo "the simulator did not start:" >&2; cat "$log" >&2; exit 1; }
}

case $program in
tessaly)
  start_sim "$out/sim.log" --tcp --model sorn --sensors 12,5
  # What the workbook side leaves for the studio: a 10 s run at 0.1 s on
  # channels A (voltage, sensor 12) and B (temperature, sensor 5).
  set_reg "$iface" ExcelToTessaly "EL[10]ST[0.1]A[12;V;1;0]B[5;C;1;0]"
  set_reg "$iface" ExcelToTessalyRunFlag 1
  rm -f "$out/tessaly.png" "$out/tessaly.txt"
  if [ $headless = 1 ]; then
    echo "demo: Tessaly runs headless; pressing Start, waiting for the end of the run"
    wine_run "$bin/PelmoraDemo.exe" tessaly "$(dos_path "$bin/Tessaly.exe")" --press \
      --shot "$(dos_path "$out/tessaly.png")" </dev/null >"$out/tessaly.txt"
  else
    echo "demo: Tessaly is on your display: press Start, then End when the run has stopped"
    wine_run "$bin/PelmoraDemo.exe" tessaly "$(dos_path "$bin/Tessaly.exe")" </dev/null >"$out/tessaly.txt"
  fi
  echo "demo: the table Tessaly handed back (record, time in s, A in V, B in C; C and D have no sensor):"
  cat "$out/tessaly.txt"
  echo "demo: $(wc -l <"$out/tessaly.txt") rows; run flag now $(wine_run reg query "$iface" /v ExcelToTessalyRunFlag 2>/dev/null </dev/null | tr -d '\r' | awk '/ExcelToTessalyRunFlag/ {print $3}')"
  if [ $headless = 1 ]; then
    rows=$(wc -l <"$out/tessaly.txt")
    [ "$rows" = 101 ] || { echo "demo: expected 101 rows, got $rows" >&2; exit 1; }
    [ -s "$out/tessaly.png" ] || { echo "demo: no screenshot" >&2; exit 1; }
    echo "demo: screenshot $out/tessaly.png"
  fi
  ;;
quillon)
  # The high-speed interface, simulated by the driver on COM12; Quillon
  # finds it through COM11, the other end of a pty pair.
  compair="11 12"
  bash scripts/compair.sh start $compair
  rm -f "$out/quillon.csv" "$out/quillon.png"
  echo "demo: Quillon: a capture, the buffer list, a download, the Save dialog"
  wine_run "$bin/PelmoraDemo.exe" quillon "$(dos_path "$bin/Quillon.exe")" --ports 11,12 \
    --csv "$(dos_path "$out/quillon.csv")" --shot "$(dos_path "$out/quillon.png")" </dev/null >"$out/quillon.txt"
  echo "demo: $out/quillon.csv as Quillon wrote it:"
  cat "$out/quillon.txt"
  samples=$(($(wc -l <"$out/quillon.txt") - 3))
  echo "demo: $samples samples"
  [ "$samples" -gt 0 ] || { echo "demo: the file holds no sample" >&2; exit 1; }
  if [ -s "$out/quillon.png" ]; then echo "demo: screenshot $out/quillon.png"; fi
  ;;
activex)
  start_sim "$out/sim.log" --tcp --model sorn --sensors 12,5
  echo "demo: registering PelmoraX with regsvr32"
  wine_run regsvr32 /s "$(dos_path "$bin/PelmoraX.dll")" </dev/null >/dev/null 2>&1 \
    || { echo "regsvr32 could not register PelmoraX.dll" >&2; exit 1; }
  echo "demo: a COM client of the control; each record as its event brings it:"
  wine_run "$bin/PelmoraXDemo.exe" 2 0.1 </dev/null >"$out/activex.txt"
  cat "$out/activex.txt"
  ;;
esac
