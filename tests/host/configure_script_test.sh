#!/usr/bin/env bash
# The build folder that start.sh and test.sh configure: a new one as a Ninja RelWithDebInfo build,
# one configured by hand with another generator and build type as it was (CMake refuses a change
# of generator, which had stopped start.sh there).
# Usage: configure_script_test.sh SOURCE_DIR
set -u
source=$1
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }
cached() { sed -n "s/^$2:[A-Z]*=//p" "$1/CMakeCache.txt"; }

cmake -S "$source" -B "$scratch/by-hand" -G "Unix Makefiles" -DCMAKE_BUILD_TYPE=Debug > /dev/null ||
  fail "the folder configured by hand"
for dir in new by-hand; do
  bash "$source/scripts/configure.sh" "$scratch/$dir" > "$scratch/$dir.log" 2>&1 ||
    fail "configure.sh in the $dir folder: $(tail -3 "$scratch/$dir.log")"
done
[ "$(cached "$scratch/new" CMAKE_GENERATOR)" = Ninja ] || fail "the new folder is not a Ninja build"
[ "$(cached "$scratch/new" CMAKE_BUILD_TYPE)" = RelWithDebInfo ] || fail "the new folder is not RelWithDebInfo"
[ "$(cached "$scratch/new" KESTRUM_WERROR)" = ON ] || fail "the new folder lets warnings pass"
[ "$(cached "$scratch/by-hand" CMAKE_GENERATOR)" = "Unix Makefiles" ] || fail "the folder by hand changed generator"
[ "$(cached "$scratch/by-hand" CMAKE_BUILD_TYPE)" = Debug ] || fail "the folder by hand changed build type"
for script in start.sh test.sh; do
  grep -q 'scripts/configure.sh" "$build"' "$source/scripts/$script" || fail "$script does not configure through configure.sh"
done
exit $((failures > 0))
