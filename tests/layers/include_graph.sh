#!/usr/bin/env bash
# The folders of src/ include only folders below them, in this order (a
# folder may include itself), so their include graph has no cycle:
order=(core audio scene script rules app display program platform)
#   include_graph.sh SRC_DIR
set -euo pipefail
src=${1:?src directory}
declare -A rank
for i in "${!order[@]}"; do rank[${order[$i]}]=$i; done

bad=0
edges=$(cd "$src" && grep -rHo --include='*.h' --include='*.cpp' '^#include "[a-z_]*/' . |
  sed -E 's|^\./([a-z_]+)/.*#include "([a-z_]+)/$|\1 \2|' | sort -u)
while read -r from to; do
  [ -n "$from" ] || continue
  if [ -z "${rank[$from]+x}" ] || [ -z "${rank[$to]+x}" ]; then
    echo "include_graph: $from -> $to: a folder outside the known layers"
    bad=1
  elif [ "${rank[$to]}" -gt "${rank[$from]}" ]; then
    echo "include_graph: $from includes $to, a layer above it:"
    (cd "$src" && grep -rn --include='*.h' --include='*.cpp' "^#include \"$to/" "$from" | sed 's/^/  /')
    bad=1
  fi
done <<<"$edges"
[ "$bad" = 0 ] && echo "include_graph: $(wc -l <<<"$edges") folder edges, all downward"
exit "$bad"
