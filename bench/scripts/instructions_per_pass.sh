#!/usr/bin/env bash
# Instructions per loop pass of each bench/scripts workload under callgrind: the whole run's
# instructions (the check pass and start-up included) over the passes of every loop body it makes.
# usage: bench/scripts/instructions_per_pass.sh [path/to/kestrum-run] [workload ...]
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
runner=${1:-$here/../../build/host/kestrum-run}
shift $(( $# > 0 ? 1 : 0 ))
declare -A passes=(
  [loop]=10000000      # For i = 1 To 10000000
  [sieve]=7659866      # 1,999,999 For passes and 5,659,867 While passes (n / p - 1 for each prime p)
  [collatz]=7342857    # 70,000 For passes and the 7,272,857 While passes the script prints
  [calls]=4000000
  [strings]=2000000
  [matrix]=5050500     # 500 x 100 x 100 inner, 500 x 100 middle and 500 outer passes
  [members]=2000000
)
workloads=("$@")
[ ${#workloads[@]} -gt 0 ] || workloads=(loop sieve collatz calls strings matrix members)
command -v valgrind >/dev/null || { echo "valgrind is not installed"; exit 1; }
out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT
printf '%-10s %16s %12s\n' workload instructions per-pass
for w in "${workloads[@]}"; do
  valgrind --tool=callgrind --callgrind-out-file="$out/$w.cg" "$runner" "$here/$w.lsc" > "$out/$w.txt" 2> "$out/$w.err"
  cmp -s "$out/$w.txt" "$here/$w.expected" || { echo "$w: wrong output: $(head -c 200 "$out/$w.txt")" >&2; exit 1; }
  total=$(sed -n 's/^summary: *//p' "$out/$w.cg")
  printf '%-10s %16s %12s\n' "$w" "$total" "$(awk -v t="$total" -v p="${passes[$w]}" 'BEGIN { printf "%.0f", t / p }')"
done
