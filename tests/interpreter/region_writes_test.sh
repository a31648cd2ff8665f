#!/usr/bin/env bash
# The compiled regions change the reader's state only through its named steps (MoveScanTo,
# EnterCalledBody, TakeExtensionKeyword, ...) and the token history's own operations: no region
# file assigns a field of the parser. The pattern is tried on lines it must find and must pass
# first, so that a pattern that finds nothing cannot pass the files by accident.
# Usage: region_writes_test.sh SOURCE_DIR
set -u
source=$1
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }
# A field of the parser (or a member of one) assigned, stepped or changed in place; the variables'
# values (parser.variables[...]) are the script's data, and the history has its own owner.
writes='parser\.([A-Za-z_]+)(\.[A-Za-z_]+)* *(=[^=]|\+\+|--|[-+*/%|&]=)|parser\.([a-gi-z][A-Za-z_]*|h[a-hj-z][A-Za-z_]*)\.(clear|assign|push_back|append|resize|erase)\('
while IFS='|' read -r expected line; do
  if printf '%s\n' "$line" | grep -qE "$writes"; then found=yes; else found=no; fi
  [ "$found" = "$expected" ] || fail "the pattern finds '$line': $found, expected $expected"
done <<'CASES'
yes|    parser.position = node.next;
yes|    parser.lastBuiltinLiteral.historyIndex = -1;
yes|    parser.returning = 0;
yes|    ++parser.nestingDepth; parser.nestingDepth++;
yes|    parser.inSubroutine += 1;
yes|    if (!parser.errorText.empty()) parser.errorText.clear();
no|    parser.MoveScanTo(node.next);
no|    if (parser.position == node.next) return;
no|    parser.variables[record].value.number = n.d;
no|    parser.history.MoveTo(count);
no|    const int outer = parser.EnterCalledBody();
CASES
files=$(ls "$source"/interpreter/region_*.cpp "$source"/interpreter/region_*.h "$source"/interpreter/compiled_*.h \
           "$source"/interpreter/binding_caches.h)
for file in $files; do
  hits=$(grep -nE "$writes" "$file")
  [ -z "$hits" ] || fail "$(basename "$file") writes the parser's fields: $hits"
done
exit $((failures > 0))
