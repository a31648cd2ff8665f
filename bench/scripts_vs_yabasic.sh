#!/usr/bin/env bash
# Whole scripts as a new user writes them (members: a loop body that runs a built-in command and
# reads a network member), timed in kestrum-run beside yabasic doing the same
# work (bench/scripts/<name>.lsc and .yab), the two run alternately; prints each workload's median
# time ratio kestrum-run / yabasic and their geometric mean. kestrum-run's output must match
# <name>.expected, so a speed-up that changes a result does not pass unseen.
# usage: bench/scripts_vs_yabasic.sh [path/to/kestrum-run] [runs] [workload ...]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
runner=${1:-$root/build/host/kestrum-run}
runs=${2:-3}
shift $(( $# > 2 ? 2 : $# ))
workloads=("$@")
[ ${#workloads[@]} -gt 0 ] || workloads=(loop sieve collatz calls strings matrix members)
command -v yabasic >/dev/null || { echo "yabasic is not installed (apt-get install yabasic)"; exit 1; }
scripts=$root/bench/scripts
out=$(mktemp)
trap 'rm -f "$out"' EXIT

seconds() {  # wall time of "$@" in seconds, its output in $out
  local start end
  start=$(date +%s%N)
  "$@" > "$out"
  end=$(date +%s%N)
  awk -v ns="$((end - start))" 'BEGIN { printf "%.3f", ns / 1e9 }'
}

median() { tr ' ' '\n' | sort -g | awk '{ v[NR] = $1 } END { print v[int((NR + 1) / 2)] }'; }

printf '%-10s %12s %12s %8s\n' workload kestrum-run yabasic ratio
ratios=()
for w in "${workloads[@]}"; do
  ours=() theirs=()
  for _ in $(seq "$runs"); do
    ours+=("$(seconds "$runner" "$scripts/$w.lsc")")
    if ! cmp -s "$out" "$scripts/$w.expected"; then
      echo "$w: kestrum-run printed $(head -c 200 "$out"), expected $(cat "$scripts/$w.expected")" >&2
      exit 1
    fi
    theirs+=("$(seconds yabasic "$scripts/$w.yab")")
  done
  a=$(echo "${ours[*]}" | median)
  b=$(echo "${theirs[*]}" | median)
  ratio=$(awk -v a="$a" -v b="$b" 'BEGIN { printf "%.2f", a / b }')
  ratios+=("$ratio")
  printf '%-10s %10.3f s %10.3f s %8s\n' "$w" "$a" "$b" "$ratio"
done
echo "${ratios[*]}" | awk '{ s = 0; for (i = 1; i <= NF; i++) s += log($i); printf "geometric mean of the ratios: %.2f (target <= 0.35, each <= 0.5)\n", exp(s / NF) }'

# Subroutine lookups: 100000 subroutines (the check pass meets each), 100000 calls to the last.
subs=$(mktemp --suffix=.lsc)
trap 'rm -f "$out" "$subs"' EXIT
awk 'BEGIN { for (k = 1; k <= 100000; k++) printf "Subroutin S%d : EndSub\n", k
             print "Integer i : For i = 1 To 100000 : Call S100000 : Next" }' > "$subs"
printf '100000 subroutines, 100000 calls to the last: kestrum-run %s s\n' "$(seconds "$runner" "$subs")"

# Peak resident memory of the sieve (its 2,000,000-element array) beside yabasic's (target <= 2x).
if [ -x /usr/bin/time ]; then
  peak() { /usr/bin/time -f %M "$@" 2>&1 >/dev/null | tail -1; }
  a=$(peak "$runner" "$scripts/sieve.lsc")
  b=$(peak yabasic "$scripts/sieve.yab")
  printf 'sieve peak resident memory: kestrum-run %s KB, yabasic %s KB, ratio %s (target <= 2)\n' "$a" "$b" \
    "$(awk -v a="$a" -v b="$b" 'BEGIN { printf "%.2f", a / b }')"
fi

# Integer a[2000000] declared in the check pass and the run (target < 0.05 s).
declaration=$(mktemp --suffix=.lsc)
trap 'rm -f "$out" "$subs" "$declaration"' EXIT
echo 'Integer a[2000000]' > "$declaration"
printf 'Integer a[2000000], both passes: kestrum-run %s s\n' "$(seconds "$runner" "$declaration")"
