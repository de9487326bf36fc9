#!/usr/bin/env bash
# One table of every benchmark on this machine: runs each producer in
# scripts/bench.d/ and prints its rows with the bound and the ratio.
# A producer prints rows  BENCH<TAB>name<TAB>measured<TAB>unit<TAB>bound<TAB>lower|higher
# (lower: the figure should stay at or below the bound; higher: at or above).
# Ratio is measured/bound for "lower" rows and bound/measured for "higher"
# ones, so below 1 is within the bound either way.
set -uo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cd "$root"
bash scripts/install-deps.sh || exit 1
mkdir -p build/bench-out
rows=build/bench-out/rows.tsv
: >"$rows"
status=0
for producer in scripts/bench.d/*.sh; do
  name=$(basename "$producer" .sh)
  echo "bench: $name" >&2
  if ! bash "$producer" >"build/bench-out/$name.out" 2>"build/bench-out/$name.err"; then
    echo "bench: $name failed (build/bench-out/$name.err):" >&2
    tail -5 "build/bench-out/$name.err" >&2
    status=1
  fi
  grep -a $'^BENCH\t' "build/bench-out/$name.out" >>"$rows" || true
done
awk -F'\t' '
  BEGIN { printf "%-66s %14s %-10s %10s %7s  %s\n", "name", "measured", "unit", "bound", "ratio", "" }
  NF >= 6 {
    m = $3 + 0; b = $5 + 0
    if ($6 == "higher") ratio = (m > 0) ? b / m : -1; else ratio = (b > 0) ? m / b : -1
    verdict = (ratio >= 0 && ratio <= 1) ? "ok" : "OVER"
    rs = (ratio < 0) ? "-" : sprintf("%.3g", ratio)
    printf "%-66s %14s %-10s %10s %7s  %s\n", $2, $3, $4, $5 ($6 == "higher" ? " min" : " max"), rs, verdict
  }' "$rows"
exit $status
