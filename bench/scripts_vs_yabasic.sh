#!/usr/bin/env bash
# Whole scripts as a new user writes them, timed in kestrum-run beside yabasic doing the same work
# (bench/scripts/<name>.lsc and .yab), the two run alternately; prints each workload's median time
# ratio kestrum-run / yabasic, the median peak resident memory of both and its ratio, and the
# geometric mean of the time ratios of each set. kestrum-run's output must match <name>.expected
# (or, for a long output, the md5 sum in <name>.md5), so a speed-up that changes a result does not
# pass unseen.
#
# Two sets (bench/scripts/workloads.sh): "tuned", the seven workloads the compiled loops were first
# made for (members: a loop body that runs a built-in command and reads a network member), and
# "shapes", thirteen of other shapes. A workload name or a set name picks what runs (default: both).
#
# Every run starts in a scratch folder (the files workload writes one there). With
# KESTRUM_BENCH_CPU=N both programs are pinned to processor N (taskset).
# usage: bench/scripts_vs_yabasic.sh [path/to/kestrum-run] [runs] [workload or set ...]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
runner=$(realpath "${1:-$root/build/host/kestrum-run}")
runs=${2:-3}
shift $(( $# > 2 ? 2 : $# ))
# shellcheck source=bench/scripts/workloads.sh
. "$root/bench/scripts/workloads.sh"
pick_workloads "$@"
command -v yabasic >/dev/null || { echo "yabasic is not installed (apt-get install yabasic)"; exit 1; }
[ -x /usr/bin/time ] || { echo "/usr/bin/time is not installed (apt-get install time)"; exit 1; }
scripts=$root/bench/scripts
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
out=$work/out
pin=()
if [ -n "${KESTRUM_BENCH_CPU:-}" ]; then pin=(taskset -c "$KESTRUM_BENCH_CPU"); fi

# Runs "$@" in the scratch folder, its output in $out; prints "wall-seconds cpu-seconds peak-KB"
# (cpu: user + system, which a busy machine disturbs less than the wall clock).
measure() {
  local start end
  start=$(date +%s%N)
  (cd "$work" && "${pin[@]}" /usr/bin/time -f '%U %S %M' -o "$work/usage" "$@" > "$out")
  end=$(date +%s%N)
  tail -1 "$work/usage" | awk -v ns="$((end - start))" '{ printf "%.3f %.3f %d\n", ns / 1e9, $1 + $2, $3 }'
}

median() { tr ' ' '\n' | sort -g | awk '{ v[NR] = $1 } END { print v[int((NR + 1) / 2)] }'; }

in_set() { case " $2 " in *" $1 "*) return 0 ;; esac; return 1; }

ratio() { awk -v a="$1" -v b="$2" 'BEGIN { printf "%.3f", a / b }'; }

geomean() {  # ratios...
  echo "$*" | awk '{ s = 0; for (i = 1; i <= NF; i++) s += log($i); printf "%.2f", exp(s / NF) }'
}

# Each workload: the medians of the wall times and their ratio, the lowest and highest ratio of
# one pair of runs (how noisy the machine was), the ratio of the median cpu times, the median
# peak memory of each and its ratio.
printf '%-12s %10s %10s %6s %11s %6s %9s %10s %6s\n' workload kestrum-run yabasic ratio 'pairs' cpu 'peak KB' 'yabasic KB' memory
tuned_wall=() tuned_cpu=() shape_wall=() shape_cpu=()
for w in "${workloads[@]}"; do
  ours=() theirs=() our_cpu=() their_cpu=() our_peaks=() their_peaks=() pairs=()
  for _ in $(seq "$runs"); do
    read -r t c kb < <(measure "$runner" "$scripts/$w.lsc")
    if ! printed_right "$w" "$out"; then
      echo "$w: kestrum-run printed $(head -c 200 "$out"), expected $(head -c 200 "$scripts/$w.expected" 2>/dev/null || cat "$scripts/$w.md5")" >&2
      exit 1
    fi
    ours+=("$t") our_cpu+=("$c") our_peaks+=("$kb")
    read -r t2 c kb < <(measure yabasic "$scripts/$w.yab")
    theirs+=("$t2") their_cpu+=("$c") their_peaks+=("$kb") pairs+=("$(ratio "$t" "$t2")")
  done
  a=$(echo "${ours[*]}" | median)
  b=$(echo "${theirs[*]}" | median)
  wall=$(ratio "$a" "$b")
  cpu=$(ratio "$(echo "${our_cpu[*]}" | median)" "$(echo "${their_cpu[*]}" | median)")
  spread=$(echo "${pairs[*]}" | tr ' ' '\n' | sort -g | awk 'NR == 1 { lo = $1 } { hi = $1 } END { printf "%.2f-%.2f", lo, hi }')
  pa=$(echo "${our_peaks[*]}" | median)
  pb=$(echo "${their_peaks[*]}" | median)
  if in_set "$w" "${tuned[*]}"; then
    tuned_wall+=("$wall") tuned_cpu+=("$cpu")
  elif ! in_set "$w" "$outside_mean"; then
    shape_wall+=("$wall") shape_cpu+=("$cpu")
  fi
  printf '%-12s %8.3f s %8.3f s %6.2f %11s %6.2f %9s %10s %6.2f\n' "$w" "$a" "$b" "$wall" "$spread" "$cpu" "$pa" "$pb" \
    "$(ratio "$pa" "$pb")"
done
if [ ${#tuned_wall[@]} -gt 0 ]; then
  printf 'geometric mean, tuned (%d): %s (cpu %s); target: at or under 0.29, each <= 0.5\n' ${#tuned_wall[@]} \
    "$(geomean "${tuned_wall[@]}")" "$(geomean "${tuned_cpu[@]}")"
fi
if [ ${#shape_wall[@]} -gt 0 ]; then
  printf 'geometric mean, shapes (%d, whole matrix left out): %s (cpu %s); target <= 0.30, each <= 0.5\n' \
    ${#shape_wall[@]} "$(geomean "${shape_wall[@]}")" "$(geomean "${shape_cpu[@]}")"
fi
echo "memory: target <= 2 for every workload"

# Subroutine lookups: 100000 subroutines (the check pass meets each), 100000 calls to the last.
subs=$work/subs.lsc
awk 'BEGIN { for (k = 1; k <= 100000; k++) printf "Subroutin S%d : EndSub\n", k
             print "Integer i : For i = 1 To 100000 : Call S100000 : Next" }' > "$subs"
printf '100000 subroutines, 100000 calls to the last: kestrum-run %s s\n' "$(measure "$runner" "$subs" | cut -d' ' -f1)"

# Integer a[2000000] declared in the check pass and the run (target < 0.05 s).
declaration=$work/declaration.lsc
echo 'Integer a[2000000]' > "$declaration"
printf 'Integer a[2000000], both passes: kestrum-run %s s\n' "$(measure "$runner" "$declaration" | cut -d' ' -f1)"
