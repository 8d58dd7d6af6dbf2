#!/usr/bin/env bash
# Demo: simulated logger on a pseudo-terminal + the supervisor configured to use it.
set -euo pipefail
build=$(realpath "$1")
demo=$2
shift 2
mkdir -p "$demo/DATOS" "$demo/BAK"
demo=$(realpath "$demo")
enlace="$demo/ttyAQTIDE"
ini="$demo/win.ini"

if [ ! -f "$ini" ]; then
  cat > "$ini" <<INI
[BRISNA AQ-TIDE 1.0]
MSComm1_PORT=1
RAIZ=$demo
DATOS=$demo/DATOS
BAK=$demo/BAK

[Puertos]
COM1=$enlace
INI
fi
# The manual with its pictures, as the package lays them out.
cp -f "$build/Help.html" "$demo/Help.html" 2>/dev/null || true
mkdir -p "$demo/img"
cp -f "$build"/img/*.png "$demo/img/" 2>/dev/null || true

"$build/sim/aqtide-sim" --enlace "$enlace" ${AQTIDE_SIM_OPCIONES:-} >"$demo/sim.log" 2>&1 &
sim=$!
trap 'kill $sim 2>/dev/null || true' EXIT
for _ in $(seq 50); do [ -e "$enlace" ] && break; sleep 0.1; done
echo "Registrador simulado en $(readlink "$enlace") (enlace $enlace)"

if [ -z "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ] && [ -z "${QT_QPA_PLATFORM:-}" ]; then
  echo "No hay pantalla gráfica (DISPLAY vacío): use xvfb-run make run, o QT_QPA_PLATFORM=offscreen." >&2
fi
AQTIDE_WININI="$ini" "$build/aqtide" "$@"
