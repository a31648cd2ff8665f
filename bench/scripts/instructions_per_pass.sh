#!/usr/bin/env bash
# Instructions per loop pass of each bench/scripts workload under callgrind: the whole run's
# instructions (the check pass and start-up included) over the passes of every loop body it makes.
# A set name (bench/scripts/workloads.sh) stands for its workloads; without names both sets run.
# Runs start in a scratch folder (files writes one there).
# usage: bench/scripts/instructions_per_pass.sh [path/to/kestrum-run] [workload or set ...]
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
runner=$(realpath "${1:-$here/../../build/host/kestrum-run}")
shift $(( $# > 0 ? 1 : 0 ))
declare -A passes=(
  [loop]=10000000      # For i = 1 To 10000000
  [sieve]=7659866      # 1,999,999 For passes and 5,659,867 While passes (n / p - 1 for each prime p)
  [collatz]=7342857    # 70,000 For passes and the 7,272,857 While passes the script prints
  [calls]=4000000
  [strings]=2000000
  [matrix]=5050500     # 500 x 100 x 100 inner, 500 x 100 middle and 500 outer passes
  [members]=2000000
  [builtins]=1964202   # 1,401 outer and 1,401 x 1,401 inner For passes
  [harmonic]=8225785   # the Do passes the script prints
  [printing]=150000
  [insertion]=2241938  # 3,000 + 2,999 For passes and the 2,235,939 While passes (moves) it prints
  [mandelbrot]=4180882 # 200 + 48,000 For passes and the 4,132,682 While passes (iterations) it prints
  [primes]=7185447     # 199,999 For passes and 6,985,448 While passes (trial divisors past 2)
  [life]=3415316       # 4,160 filling, per generation 64 + 4,096 + 4,356 copying, 400 generations, 4,356 counting
  [bubble]=4504499     # 3,000 filling, 2,999 outer and 4,498,500 inner For passes
  [floatstep]=10249602 # 3,201 outer and the 10,246,401 inner For passes it prints
  [gcd]=5512418        # 900 outer and 810,000 inner For passes, 4,701,518 While passes in the calls
  [files]=1000000      # 500,000 lines written and read back
  [relax]=3423060      # 60 edge passes, 1,000 x (1 + 58 + 58 x 58) relaxation passes
  [wholematrix]=3700   # 60 + 3,600 filling passes and 40 passes of whole-matrix arithmetic
)
# shellcheck source=bench/scripts/workloads.sh
. "$here/workloads.sh"
pick_workloads "$@"
command -v valgrind >/dev/null || { echo "valgrind is not installed"; exit 1; }
out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT
printf '%-12s %16s %12s\n' workload instructions per-pass
for w in "${workloads[@]}"; do
  (cd "$out" && valgrind --tool=callgrind --callgrind-out-file="$out/$w.cg" "$runner" "$here/$w.lsc" > "$out/$w.txt" 2> "$out/$w.err")
  printed_right "$w" "$out/$w.txt" || { echo "$w: wrong output: $(head -c 200 "$out/$w.txt")" >&2; exit 1; }
  total=$(sed -n 's/^summary: *//p' "$out/$w.cg")
  printf '%-12s %16s %12s\n' "$w" "$total" "$(awk -v t="$total" -v p="${passes[$w]}" 'BEGIN { printf "%.0f", t / p }')"
done
