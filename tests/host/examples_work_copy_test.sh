#!/usr/bin/env bash
# start.sh starts the desktop in a working copy of the examples outside the tree: every example
# run there leaves the tree's examples/ as it was, a second start keeps the user's edits and brings
# back a deleted example, and where the working copy cannot be made start.sh stops with the reason
# before it builds or starts anything.
# Usage: examples_work_copy_test.sh KESTRUM_RUN SOURCE_DIR
set -u
run=$1 source=$2
home=$(mktemp -d)
stub=$(mktemp -d)
trap 'rm -rf "$home" "$stub"' EXIT
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

grep -q 'work=$(bash "$root/scripts/examples_work_copy.sh")' "$source/scripts/start.sh" &&
  grep -q 'cd -- "$work"' "$source/scripts/start.sh" ||
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
rm "$work/xor_network.NNProg"
env -u KESTRUM_EXAMPLES HOME="$home" bash "$source/scripts/examples_work_copy.sh" > /dev/null
cmp -s "$source/examples/xor_network.NNProg" "$work/xor_network.NNProg" || fail "a deleted example was not copied again"
[ "$(cat "$work/chart.NNProg")" = edited ] || fail "bringing back an example lost an edit"

# A build tool that only notes that it was called: start.sh must stop before it.
printf '#!/bin/sh\ntouch "%s/built"\nexit 1\n' "$stub" > "$stub/cmake"
chmod +x "$stub/cmake"
touch "$home/a-file"
while IFS='|' read -r what settings; do
  rm -f "$stub/built"
  # shellcheck disable=SC2086
  (cd "$home" && env -u KESTRUM_EXAMPLES -u HOME $settings DISPLAY=:99 PATH="$stub:$PATH" \
     bash "$source/scripts/start.sh" > "$stub/out" 2>&1) && fail "start.sh succeeded with $what"
  [ -e "$stub/built" ] && fail "start.sh went on to build with $what"
  grep -q "start.sh: the working copy of the examples cannot be made" "$stub/out" ||
    fail "start.sh did not say why it stopped with $what: $(cat "$stub/out")"
  [ "$(wc -l < "$stub/out")" -ge 2 ] || fail "start.sh did not give the reason with $what: $(cat "$stub/out")"
done <<EOF_CASES
KESTRUM_EXAMPLES a file|KESTRUM_EXAMPLES=$home/a-file
KESTRUM_EXAMPLES a folder that cannot be written|KESTRUM_EXAMPLES=/proc
KESTRUM_EXAMPLES an option|KESTRUM_EXAMPLES=-v
HOME empty|HOME=
HOME unset|
EOF_CASES
[ -e "$home/-v" ] && fail "KESTRUM_EXAMPLES=-v made a folder"

# A folder that holds every example already but cannot be written: the examples could not write
# their files there. Root writes anywhere, so it tries as nobody.
full="$home/full"
mkdir "$full" && cp "$source"/examples/*.NNProg "$full"/ && chmod 555 "$full" && chmod 755 "$home"
as_user=()
[ "$(id -u)" = 0 ] && as_user=(setpriv --reuid=nobody --regid=nogroup --clear-groups)
"${as_user[@]}" env KESTRUM_EXAMPLES="$full" bash "$source/scripts/examples_work_copy.sh" > "$stub/out" 2>&1 &&
  fail "an unwritable folder holding every example was taken: $(cat "$stub/out")"
grep -q "cannot be written" "$stub/out" || fail "no reason for an unwritable folder: $(cat "$stub/out")"
chmod 755 "$full"
exit $((failures > 0))
