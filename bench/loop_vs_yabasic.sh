#!/usr/bin/env bash
# The interpreter's loop speed beside yabasic's on the same loop, best of N runs each, and the
# time ratio kestrum-run / yabasic (at most 1.0 is the target).
# usage: bench/loop_vs_yabasic.sh [path/to/kestrum-run] [runs]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
runner=${1:-$root/build/host/kestrum-run}
runs=${2:-3}
command -v yabasic >/dev/null || { echo "yabasic is not installed (apt-get install yabasic)"; exit 1; }
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

printf 'Integer i : Float x : For i = 1 To 10000000 : x = x + i * 2 : Next\n' > "$work/loop.lsc"
printf 'x = 0\nfor i = 1 to 10000000 : x = x + i * 2 : next i\n' > "$work/loop.yab"

best() {  # best wall time in seconds of running "$@" $runs times
  local best_ns="" start end ns
  for _ in $(seq "$runs"); do
    start=$(date +%s%N)
    "$@" > /dev/null
    end=$(date +%s%N)
    ns=$((end - start))
    if [ -z "$best_ns" ] || [ "$ns" -lt "$best_ns" ]; then best_ns=$ns; fi
  done
  awk -v ns="$best_ns" 'BEGIN { printf "%.3f", ns / 1e9 }'
}

ours=$(best "$runner" --pane "$work/loop.lsc")
theirs=$(best yabasic "$work/loop.yab")
awk -v a="$ours" -v b="$theirs" 'BEGIN {
  printf "loop of 10000000 passes: kestrum-run %.3f s, yabasic %.3f s, ratio %.2f (target <= 1.0)\n", a, b, a / b
  printf "kestrum-run statements per second: %.0f\n", 2 * 10000000 / a
}'
