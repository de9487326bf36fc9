#!/usr/bin/env bash
# Fuzzes the targets of tests/fuzz with libFuzzer (clang), installing clang
# and its fuzzer runtime when missing. What adds coverage is merged into the
# target's corpus (tests/fuzz/<target>/corpus); inputs that crash or break an
# invariant are kept in build/fuzz/findings/<target>/, to be mended and then
# added to the corpus as fixed cases.
#
#   bash scripts/fuzz.sh                    every target, 60 s each
#   bash scripts/fuzz.sh usb_replies 300    one target for five minutes
#   bash scripts/fuzz.sh all 300            every target, five minutes each
#   PELMORA_FUZZ_PARALLEL=4 bash scripts/fuzz.sh all 300
#                                           four targets at a time
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cd "$root"

target=${1:-all}
seconds=${2:-60}
parallel=${PELMORA_FUZZ_PARALLEL:-1}

pkgs=(cmake make clang libclang-rt-14-dev googletest)
missing=()
for p in "${pkgs[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  echo "installing: ${missing[*]}"
  export DEBIAN_FRONTEND=noninteractive
  apt-get update -q
  apt-get install -y -q "${missing[@]}"
fi

if [ "$target" = all ]; then
  targets=()
  for d in tests/fuzz/*/; do
    name=$(basename "$d")
    [ -f "$d/$name.cpp" ] && targets+=("$name")
  done
else
  [ -f "tests/fuzz/$target/$target.cpp" ] || { echo "no fuzz target: $target" >&2; exit 2; }
  targets=("$target")
fi

# A tree of its own: clang, every library instrumented for coverage, the
# targets linked with libFuzzer (the tree's sanitizers stay on).
cmake -S . -B build/fuzz -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ \
  -DCMAKE_C_FLAGS=-fsanitize=fuzzer-no-link -DCMAKE_CXX_FLAGS=-fsanitize=fuzzer-no-link \
  -DPEL_LIBFUZZER=ON >/dev/null
cmake --build build/fuzz -j "$(nproc)" --target "${targets[@]/#/fuzz_}" >/dev/null

fuzz_one() { # target
  local t=$1 corpus="tests/fuzz/$1/corpus" new="build/fuzz/new/$1" findings="build/fuzz/findings/$1"
  local log="build/fuzz/logs/$1.log"
  mkdir -p "$new" "$findings" "build/fuzz/logs"
  local before; before=$(find "$corpus" -type f | wc -l)
  # A failing input ends libFuzzer; it goes on with the rest of the time
  # (a bounded number of times, so one fault cannot fill the findings).
  local start=$SECONDS left runs=0
  while left=$((seconds - (SECONDS - start))); [ "$left" -gt 0 ] && [ "$runs" -lt 20 ]; do
    runs=$((runs + 1))
    "build/fuzz/bin/fuzz_$t" -max_total_time="$left" -timeout=10 -rss_limit_mb=2048 \
      -artifact_prefix="$findings/" -print_final_stats=1 "$new" "$corpus" >>"$log" 2>&1 || true
  done
  # Edges only, not their hit counts: what is kept adds a branch, so the
  # corpus stays small enough to replay in every test run.
  "build/fuzz/bin/fuzz_$t" -merge=1 -use_counters=0 "$corpus" "$new" >>"$log" 2>&1 || true
  local after execs crashes
  after=$(find "$corpus" -type f | wc -l)
  execs=$(grep -h 'stat::number_of_executed_units' "$log" | awk '{s += $2} END {print s + 0}')
  crashes=$(find "$findings" -type f | wc -l)
  printf '%-18s %10s runs  %4d new corpus inputs  %3d findings\n' "$t" "$execs" "$((after - before))" "$crashes"
  if [ "$crashes" -gt 0 ]; then
    find "$findings" -type f | sed 's/^/    /'
  fi
}

echo "fuzzing ${#targets[@]} target(s) for ${seconds} s each (logs in build/fuzz/logs)"
running=0
for t in "${targets[@]}"; do
  rm -f "build/fuzz/logs/$t.log"
  fuzz_one "$t" &
  running=$((running + 1))
  if [ "$running" -ge "$parallel" ]; then
    wait -n || true
    running=$((running - 1))
  fi
done
wait
