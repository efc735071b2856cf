#!/usr/bin/env bash
# Fails when a source file includes a header from a folder above its own.
# The layers, lowest first; a folder may include its own headers and those of
# the folders before it. tests/, bench/, fuzz/ and tools/ may include any
# folder, and no folder includes them. Every library exports the repository
# root as its include path, so the compiler alone would let such an include
# through.
set -euo pipefail
cd "$(dirname "$0")/.."

LAYERS=(platform roster engine documents voice journal record meeting app web shell)
OUTSIDE=(tests bench fuzz tools)

rank_of() {
  local i
  for i in "${!LAYERS[@]}"; do
    [ "${LAYERS[$i]}" = "$1" ] && { echo "$i"; return; }
  done
  for i in "${OUTSIDE[@]}"; do
    [ "$i" = "$1" ] && { echo outside; return; }
  done
  echo unknown
}

status=0
while IFS= read -r -d '' file; do
  from=${file%%/*}
  from_rank=$(rank_of "$from")
  [ "$from_rank" = outside ] && continue
  [ "$from_rank" = unknown ] && continue
  while IFS= read -r line; do
    number=${line%%:*}
    header=$(sed -E 's/^[0-9]+:#include "([^"]+)".*/\1/' <<<"$line")
    to=${header%%/*}
    [ "$to" = "$header" ] && continue  # a header beside the file, or generated
    to_rank=$(rank_of "$to")
    if [ "$to_rank" = outside ] || { [ "$to_rank" != unknown ] && [ "$to_rank" -gt "$from_rank" ]; }; then
      echo "$file:$number: $from/ must not include $header (layers, lowest first: ${LAYERS[*]})" >&2
      status=1
    fi
  done < <(grep -n '^#include "' "$file" || true)
done < <(git ls-files -z '*.cpp' '*.h' '*.cpp.in')
[ $status -eq 0 ] && echo "Layers: every include runs down the order ${LAYERS[*]}"
exit $status
