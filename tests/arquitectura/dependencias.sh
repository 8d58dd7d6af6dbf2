#!/usr/bin/env bash
# The include graph of src/ runs downwards only: an area includes its own headers and those of
# the areas below it, and code without widgets never includes a window header.
set -u
src="$1/src"
rango() {
  case "$1" in
    platform) echo 0 ;; core) echo 1 ;; link | hidrografia) echo 2 ;; monitor | memory) echo 3 ;;
    maintenance) echo 4 ;; archivo) echo 5 ;; shell) echo 6 ;; *) echo -1 ;;
  esac
}
fallas=0
while IFS= read -r linea; do
  archivo=${linea%%:*}
  destino=$(sed -E 's/.*#include "([^"]+)".*/\1/' <<<"$linea")
  origen_area=$(cut -d/ -f1 <<<"${archivo#"$src"/}")
  destino_area=$(cut -d/ -f1 <<<"$destino")
  [ "$origen_area" = "main.cpp" ] && continue
  ro=$(rango "$origen_area")
  rd=$(rango "$destino_area")
  [ "$rd" -lt 0 ] && continue  # not one of ours (generated or local)
  if [ "$origen_area" != "$destino_area" ] && [ "$rd" -ge "$ro" ]; then
    echo "hacia arriba: $archivo -> $destino"
    fallas=$((fallas + 1))
  fi
  if [[ "$archivo" != */ui/* ]] && [[ "$destino" == */ui/* ]]; then
    echo "lógica que incluye una ventana: $archivo -> $destino"
    fallas=$((fallas + 1))
  fi
done < <(grep -rn --include='*.h' --include='*.cpp' -E '^#include "' "$src" | sed -E 's/:[0-9]+:/:/')
echo "$fallas inclusiones fuera de regla"
[ "$fallas" -eq 0 ]
