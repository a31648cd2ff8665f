#!/usr/bin/env bash
# start.sh starts the desktop in a working copy of the examples outside the tree: every example
# run there leaves the tree's examples/ as it was, and a second start keeps the user's edits.
# Usage: examples_work_copy_test.sh KESTRUM_RUN SOURCE_DIR
set -u
run=$1 source=$2
home=$(mktemp -d)
trap 'rm -rf "$home"' EXIT
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

grep -q 'cd "$(bash "$root/scripts/examples_work_copy.sh")"' "$source/scripts/start.sh" ||
  fail "start.sh does not start the desktop in the working copy"
before=$(ls -A "$source/examples")
work=$(env -u KESTRUM_EXAMPLES HOME="$home" bash "$source/scripts/examples_work_copy.sh") || fail "no working copy"
[ "$work" = "$home/kestrum-examples" ] || fail "the working copy is $work"
case "$work/" in "$source"/*) fail "the working copy $work is inside the tree" ;; esac
for example in "$source"/examples/*.NNProg; do
  name=$(basename "$example")
  cmp -s "$example" "$work/$name" || fail "$name was not copied"
  (cd "$work" && "$run" "$name" > /dev/null 2>&1) || fail "$name did not run in the working copy"
done
[ -e "$work/xor.qNN" ] || fail "the examples wrote nothing into the working copy"
[ "$(ls -A "$source/examples")" = "$before" ] || fail "running the examples changed the tree's examples/"

printf 'edited' > "$work/chart.NNProg"
again=$(env -u KESTRUM_EXAMPLES HOME="$home" bash "$source/scripts/examples_work_copy.sh")
[ "$again" = "$work" ] && [ "$(cat "$work/chart.NNProg")" = edited ] || fail "a second start lost an edit"
[ "$(KESTRUM_EXAMPLES="$home/elsewhere" bash "$source/scripts/examples_work_copy.sh")" = "$home/elsewhere" ] ||
  fail "KESTRUM_EXAMPLES is not the folder"
exit $((failures > 0))
