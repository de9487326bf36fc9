#!/usr/bin/env bash
# Rows of the portable benchmarks (Google Benchmark, native, no sanitizers,
# build/bench): parsing plus record formatting against what a 115200-baud
# line carries, GetDataList of a full recent-records list, the fit.
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
cd "$root"
if ! dpkg-query -W -f='${Status}' libbenchmark-dev 2>/dev/null | grep -q 'install ok installed'; then
  echo "installing libbenchmark-dev" >&2
  DEBIAN_FRONTEND=noninteractive apt-get install -y -q libbenchmark-dev >&2
fi
cmake -S . -B build/bench -DCMAKE_BUILD_TYPE=Release -DPEL_BENCH=ON >/dev/null
cmake --build build/bench -j "$(nproc)" --target pel_portable_bench >/dev/null
build/bench/bin/pel_portable_bench --benchmark_format=csv 2>/dev/null | awk -F, '
  NR == 1 { for (i = 1; i <= NF; i++) { gsub(/"/, "", $i); col[$i] = i }; next }
  {
    name = $1; gsub(/"/, "", name); sub(/\/.*/, "", name)
    cpu = $col["cpu_time"]; unit = $col["time_unit"]
    if (name == "NormalFrame39")   label = "parse+format, normal frame of 39 chars (CPU)"
    if (name == "FastSingleFrame") label = "parse+format, fast single-channel frame (CPU)"
    if (name == "FastBlockFrame")  label = "parse+format, fast block frame, 2 channels (CPU)"
    if (name ~ /Frame/) {
      printf "BENCH\t%s\t%.0f\trecords/s\t%.0f\thigher\n", label, $col["items_per_second"], $col["bound"]
    } else if (name == "GetDataListFull") {
      printf "BENCH\tGetDataList, recent-records list full (CPU)\t%.3f\tms\t10\tlower\n", cpu
    } else if (name == "Fit1000Degree3") {
      printf "BENCH\tleast-squares fit, 1000 points, degree 3 (CPU)\t%.1f\tus\t1000\tlower\n", cpu
    }
  }'
