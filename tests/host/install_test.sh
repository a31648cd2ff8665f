#!/usr/bin/env bash
# cmake --install puts both programs, the desktop's entry, type and icon, and the example
# documents under the prefix, and nothing else; the installed kestrum-run runs.
# Usage: install_test.sh CMAKE BUILD_DIR SOURCE_DIR DESKTOP(ON|OFF)
set -u
cmake=$1 build=$2 source=$3 desktop=$4
prefix=$(mktemp -d)
trap 'rm -rf "$prefix"' EXIT
"$cmake" --install "$build" --prefix "$prefix" > /dev/null || { echo "FAIL: cmake --install"; exit 1; }
expected=$( {
  echo bin/kestrum-run
  for example in "$source"/examples/*.NNProg; do echo "share/kestrum/examples/$(basename "$example")"; done
  if [ "$desktop" = ON ]; then
    echo bin/kestrum
    echo share/applications/kestrum.desktop
    echo share/icons/hicolor/scalable/apps/kestrum.svg
    echo share/mime/packages/kestrum.xml
  fi
} | sort)
actual=$(cd "$prefix" && find . -type f -printf '%P\n' | sort)
status=0
if [ "$actual" != "$expected" ]; then
  echo "FAIL: installed files differ (< expected, > installed):"
  diff <(echo "$expected") <(echo "$actual")
  status=1
fi
if [ -x "$prefix/bin/kestrum-run" ]; then
  "$prefix/bin/kestrum-run" "$prefix/share/kestrum/examples/hello_and_loops.NNProg" | grep -q '^1 + 2 + ... + 10 = 55' ||
    { echo "FAIL: the installed kestrum-run did not run the installed example"; status=1; }
fi
exit $status
