#!/usr/bin/env bash
# Prepares the folder in which start.sh starts the desktop: a working copy of examples/ outside
# the source tree, so that what the examples write (xor.qNN, product.txt, notes.txt) and any
# edits stay out of the tree. Examples missing there are copied; copies already there are kept,
# edits included. Prints the folder.
# The folder: $KESTRUM_EXAMPLES, by default ~/kestrum-examples.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
# Where the folder cannot be made it ends with a failure status and the reason on stderr.
work=${KESTRUM_EXAMPLES:-${HOME:?neither KESTRUM_EXAMPLES nor HOME is set}/kestrum-examples}
case "$work" in
  /*) ;;
  *) echo "examples_work_copy.sh: the examples folder must be an absolute path, not \"$work\"" >&2; exit 1 ;;
esac
mkdir -p -- "$work"
# Checked even when every example is there already: what the examples write lands here too.
[ -w "$work" ] || { echo "examples_work_copy.sh: $work cannot be written" >&2; exit 1; }
cp -n -- "$root"/examples/*.NNProg "$work"/
cd -- "$work" && pwd
