#!/usr/bin/env bash
# The folders of the debugger stand in layers, lowest first. A file may include
# headers of its own folder and of the folders below it, never of one above:
# that keeps the libraries' dependency graph free of cycles.
set -euo pipefail
root=${1:-$(dirname "$0")/../..}
cd "$root"

layers=(support sim disasm image expr events kernel run kconsole commands ext/api ext/loader ui/model ui/console ui/qt dap)

rank_of() {
  local dir=$1 i best=-1 best_len=0
  for i in "${!layers[@]}"; do
    local l=${layers[$i]}
    if [[ $dir == "$l" || $dir == "$l"/* ]] && ((${#l} > best_len)); then best=$i best_len=${#l}; fi
  done
  echo "$best"
}

status=0
for i in "${!layers[@]}"; do
  folder=${layers[$i]}
  [[ -d $folder ]] || continue
  while IFS=: read -r file _ include; do
    header=$(sed -E 's/.*#include "([^"]+)".*/\1/' <<<"$include")
    target=$(rank_of "$(dirname "$header")")
    [[ $target -lt 0 ]] && continue
    if ((target > i)); then
      echo "$file includes $header: ${layers[$target]}/ stands above $folder/"
      status=1
    fi
  done < <(grep -rn --include='*.h' --include='*.cpp' --include='*.c' '^#include "' "$folder" || true)
done
[[ $status -eq 0 ]] && echo "layers: no include reaches upwards"
exit $status
