#!/usr/bin/env bash
# Every benchmark workload prints what its .expected (or .md5) says, in kestrum-run and, where
# yabasic is installed, in its yabasic twin too: a change that alters a workload's result, or a
# twin that no longer does the same work, fails here and not only in a benchmark run.
# Usage: bench_workloads_test.sh KESTRUM_RUN SOURCE_DIR
set -u
run=$(realpath "$1") source=$(realpath "$2")
. "$source/bench/scripts/workloads.sh"
pick_workloads
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

[ ${#workloads[@]} -eq 20 ] || fail "the two sets hold ${#workloads[@]} workloads, not 20"
for w in "${workloads[@]}"; do
  scripts=$source/bench/scripts
  [ -f "$scripts/$w.yab" ] || fail "$w has no yabasic twin"
  [ -f "$scripts/$w.expected" ] || [ -f "$scripts/$w.md5" ] || fail "$w has no expected output"
  if ! (cd "$work" && "$run" "$scripts/$w.lsc" > "$work/out" 2>&1); then
    fail "$w: kestrum-run failed: $(head -c 200 "$work/out")"
  elif ! printed_right "$w" "$work/out"; then
    fail "$w: kestrum-run printed $(head -c 200 "$work/out")"
  fi
  if command -v yabasic > /dev/null; then
    if ! (cd "$work" && yabasic "$scripts/$w.yab" > "$work/out" 2>&1); then
      fail "$w: yabasic failed: $(head -c 200 "$work/out")"
    elif ! printed_right "$w" "$work/out"; then
      fail "$w: yabasic printed $(head -c 200 "$work/out")"
    fi
  fi
done
# The check itself: a changed output is told apart.
printf 'something else\n' > "$work/out"
printed_right loop "$work/out" && fail "a wrong .expected output passes"
printed_right printing "$work/out" && fail "a wrong .md5 output passes"
[ "$failures" -eq 0 ] && echo "all ${#workloads[@]} workloads print what they expect"
exit $((failures > 0))
