#!/usr/bin/env bash
# Runs one script test (fixtures: NAME.FILE.in is copied in as FILE; NAME.FILE.out is FILE's
# expected bytes after the run): kestrum-run --pane on the script, in a scratch folder, and compares the
# pane bytes and the exit status with the expected ones.
set -u
runner=$1 dir=$2 name=$3 root=$4
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

if [ -f "$dir/$name.lsc" ]; then
  script="$dir/$name.lsc"
else
  script="$root/$(head -n1 "$dir/$name.doc")"
fi
args=()
[ -f "$dir/$name.args" ] && read -r -a args < "$dir/$name.args"
expected_status=0
[ -f "$dir/$name.status" ] && expected_status=$(tr -d ' \n' < "$dir/$name.status")

# Scripts read and write files relative to the scratch folder; fixtures NAME.*.in are copied there.
for fixture in "$dir/$name".*.in; do
  [ -e "$fixture" ] || continue
  base=$(basename "$fixture" .in)
  cp "$fixture" "$work/${base#"$name".}"
done

cd "$work"
"$runner" --pane "${args[@]}" "$script" > "$work/pane.out" 2> "$work/stderr.out" < /dev/null
status=$?

fail=0
if [ "$status" != "$expected_status" ]; then
  echo "exit status $status, expected $expected_status"
  fail=1
fi
if ! cmp -s "$work/pane.out" "$dir/$name.expected"; then
  echo "output pane differs from $name.expected:"
  diff <(od -c "$dir/$name.expected") <(od -c "$work/pane.out") | head -40
  fail=1
fi
# Files the script must have written: NAME.FILE.out holds FILE's expected bytes.
for written in "$dir/$name".*.out; do
  [ -e "$written" ] || continue
  base=$(basename "$written" .out)
  base=${base#"$name".}
  if ! cmp -s "$work/$base" "$written"; then
    echo "written file $base differs from $(basename "$written")"
    fail=1
  fi
done
if [ $fail -ne 0 ]; then
  echo "--- stderr ---"; head -20 "$work/stderr.out"
fi
exit $fail
