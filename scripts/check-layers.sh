#!/usr/bin/env bash
# The installer's folders are layers, lowest first:
#   os  ui  archive  script  sysedit  engine  app  win32 (WinMain)
# A file includes headers of its own layer and of the layers below it only
# (a folder's win32/ and host/ subfolders belong to the folder's layer). The
# same order is the order of the libraries in install/CMakeLists.txt.
set -u
cd "$(dirname "$0")/.."
layers=(os ui archive script sysedit engine app win32)
rank() {
  local i
  for i in "${!layers[@]}"; do [ "${layers[$i]}" = "$1" ] && { echo "$i"; return; }; done
  echo -1
}
status=0
while IFS= read -r file; do
  own=${file#install/}; own=${own%%/*}
  own_rank=$(rank "$own")
  [ "$own_rank" -ge 0 ] || continue
  while IFS= read -r line; do
    target=${line#*\"install/}; target=${target%%/*}
    target_rank=$(rank "$target")
    if [ "$target_rank" -gt "$own_rank" ]; then
      echo "layer order: $file ($own) includes ${line#*#include } ($target)"
      status=1
    fi
  done < <(grep -E '^#include "install/' "$file")
done < <(find install -name '*.h' -o -name '*.cpp' | sort)
[ $status -eq 0 ] && echo "ok: installer includes follow the layer order ${layers[*]}"
exit $status
