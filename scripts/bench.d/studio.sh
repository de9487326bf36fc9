#!/usr/bin/env bash
# The studio's CPU figures as benchmark rows on stdout:
#   BENCH<TAB>name<TAB>measured<TAB>unit<TAB>bound<TAB>lower|higher
# Tessaly against the simulated interface on TCP 4000 (connected idle, runs
# at 100 and 1000 records/s, idle after a 2001-row run), and the form's
# logic in process (one record, one redraw, one paint of 4 x 1000 points).
# Builds what it needs in build/win64 and runs under Wine in a prefix of its
# own. TCP 4000 must be free: on a shared machine run it in a network
# namespace of its own. Takes about two minutes.
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
cd "$root"

if [ ! -f build/win64/CMakeCache.txt ]; then
  cmake -S . -B build/win64 -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DCMAKE_TOOLCHAIN_FILE="$root/cmake/toolchain-x86_64-w64-mingw32.cmake" >/dev/null
fi
cmake --build build/win64 -j "$(nproc)" --target Tessaly studio_bench PEGRP32D >/dev/null

export WINEPREFIX=$root/build/bench-studio-prefix
export PELMORA_WINEPREFIX=$WINEPREFIX
export WINEDEBUG=-all WINEDLLOVERRIDES=mscoree,mshtml=
mkdir -p "$WINEPREFIX"
bin=$root/build/win64/bin

# The unix process of the Tessaly.exe that runs in this prefix.
tessaly_pid() {
  local d
  for d in /proc/[0-9]*; do
    grep -qa 'Tessaly.exe' "$d/cmdline" 2>/dev/null || continue
    grep -qa 'studio_bench' "$d/cmdline" 2>/dev/null && continue
    tr '\0' '\n' <"$d/environ" 2>/dev/null | grep -qxF "WINEPREFIX=$WINEPREFIX" || continue
    echo "${d#/proc/}"
    return 0
  done
  return 1
}
# User and system CPU of a process in clock ticks.
ticks() { awk '{ print $14 + $15 }' "/proc/$1/stat" 2>/dev/null || echo 0; }

# The bench marks the stretches; each becomes a row of Tessaly's share of a
# core: CPU time over wall time. Idle after a run may be at most one point
# above connected idle.
measure() {
  local hz line what name pid= t0 c0 c1 t1 pct bound idle=
  hz=$(getconf CLK_TCK)
  # Read as the lines come: the marks are timed by their arrival.
  while IFS= read -r line; do
    line=${line%$'\r'}
    case $line in
      BENCH*) printf '%s\n' "$line" ;;
      MARK*)
        IFS=$'\t' read -r _ what name <<<"$line"
        if [ "$what" = begin ]; then
          pid=$(tessaly_pid) || pid=
          t0=$(date +%s.%N)
          c0=$(ticks "${pid:-0}")
          continue
        fi
        c1=$(ticks "${pid:-0}")
        t1=$(date +%s.%N)
        pct=$(awk -v c="$((c1 - c0))" -v hz="$hz" -v t0="$t0" -v t1="$t1" \
          'BEGIN { printf "%.2f", 100 * c / hz / (t1 - t0) }')
        case $name in
          *connected_idle) idle=$pct bound=3 ;;
          *idle_after*) bound=$(awk -v i="${idle:-2}" 'BEGIN { printf "%.2f", i + 1 }') ;;
          *1000_records*) bound=50 ;;
          *) bound=10 ;;
        esac
        [ -n "$pid" ] || echo "studio.sh: no Tessaly process for $name" >&2
        printf 'BENCH\t%s\t%s\t%%core\t%s\tlower\n' "$name" "$pct" "$bound"
        ;;
    esac
  done
}

run() { # Wine's background processes inherit stdout: only the rows leave.
  wineserver -k >/dev/null 2>&1 </dev/null || true
  timeout 60 wineserver -w >/dev/null 2>&1 </dev/null || true
  "$root/scripts/wine-run.sh" wineboot -i >/dev/null 2>&1 </dev/null
  timeout 120 wineserver -w >/dev/null 2>&1 </dev/null || true
  wineserver -p >/dev/null 2>&1 </dev/null
  local status=0
  "$root/scripts/wine-run.sh" "$bin/studio_bench.exe" form 2>/dev/null | tr -d '\r' | grep '^BENCH' || status=1
  "$root/scripts/wine-run.sh" "$bin/studio_bench.exe" process "$bin/Tessaly.exe" 2>/dev/null </dev/null |
    measure || status=1
  wineserver -k >/dev/null 2>&1 </dev/null || true
  return $status
}
if [ -n "${DISPLAY:-}" ]; then
  run
else
  # An X display of its own, with this script inside it.
  xvfb-run -a -s "-screen 0 1280x1024x24" bash "$root/scripts/bench.d/studio.sh"
fi
