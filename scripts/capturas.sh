#!/usr/bin/env bash
# Screenshots for the user manual, taken from the real program under a virtual display:
#   scripts/capturas.sh BUILD SALIDA_DIR        (e.g. scripts/capturas.sh build doc/img)
# Needs Xvfb, xdotool, xwininfo and imagemagick. Writes monitor.png, lector.png,
# hidrograma.png and archivo.png. Retake them whenever one of those windows changes.
set -euo pipefail
build=$(realpath "$1")
mkdir -p "$2"
salida=$(realpath "$2")
# No dot in the folder name: the reader takes the extension from the whole path.
tmp=$(mktemp -d /tmp/aqcapturasXXXXXX)
pids=()
limpiar() {
  for p in "${pids[@]}"; do kill "$p" 2>/dev/null || true; done
  wait 2>/dev/null || true
  rm -rf "$tmp"
}
trap limpiar EXIT

pantalla=93
while [ -e /tmp/.X11-unix/X$pantalla ] || [ -e /tmp/.X$pantalla-lock ]; do
  pantalla=$((pantalla + 1))
done
export DISPLAY=:$pantalla
Xvfb "$DISPLAY" -screen 0 1600x1000x24 -nolisten tcp >/dev/null 2>&1 &
pids+=($!)
for _ in $(seq 50); do xdpyinfo >/dev/null 2>&1 && break; sleep 0.1; done

# Its own program folder, settings and lock folder, so a supervisor already running elsewhere
# neither stops this one nor is touched by it.
mkdir -p "$tmp/DATOS" "$tmp/BAK" "$tmp/run"
chmod 700 "$tmp/run"
export XDG_RUNTIME_DIR=$tmp/run AQTIDE_WININI=$tmp/win.ini
cat >"$AQTIDE_WININI" <<INI
[BRISNA AQ-TIDE 1.0]
MSComm1_PORT=1
RAIZ=$tmp
DATOS=$tmp/DATOS
BAK=$tmp/BAK

[Puertos]
COM1=$tmp/tty
INI

# The logger's clock three minutes behind the PC, so the monitor shows its warning.
"$build/sim/aqtide-sim" --enlace "$tmp/tty" --registro --rapido \
  --hora "$(date -d '-3 min' +%H:%M)" >"$tmp/sim.log" 2>&1 &
pids+=($!)
for _ in $(seq 50); do [ -e "$tmp/tty" ] && break; sleep 0.1; done

(cd "$tmp" && exec "$build/aqtide" >"$tmp/aqtide.log" 2>&1) &
pids+=($!)
principal=
for _ in $(seq 100); do
  principal=$(xdotool search --onlyvisible --name 'AQ-TIDE 1.0' 2>/dev/null | head -1) || true
  [ -n "$principal" ] && break
  sleep 0.1
done
[ -n "$principal" ] || { echo "el programa no abrió su ventana" >&2; exit 1; }
xdotool windowsize --sync "$principal" 1560 960 || true

# With no window manager the keyboard goes where it is sent.
teclas() {
  xdotool windowfocus --sync "$principal"
  sleep 0.3
  xdotool key --delay 150 "$@"
  sleep 1.5
}
fondo='rgb(128,128,128)'
# The child windows live inside the main window: cut below the given corner and drop the grey
# background around the window.
recortar() { # SALIDA X Y
  import -window root "$tmp/pantalla.png"
  convert "$tmp/pantalla.png" -crop "$((1560 - $2))x$((960 - $3))+$2+$3" +repage -bordercolor "$fondo" -border 1 \
    -trim +repage -colors 64 "png8:$salida/$1"
}
caja() { # X Y: width, height, x, y of the window below that corner
  import -window root "$tmp/pantalla.png"
  convert "$tmp/pantalla.png" -crop "$((1560 - $1))x$((960 - $2))+$1+$2" +repage -bordercolor "$fondo" -border 1 \
    -format '%@\n' info: | tr 'x+' '  '
}
barra=$(xwininfo -id "$principal" | awk '/Absolute upper-left Y/ {print $4}')
arriba=$((barra + 19))

sleep 8 # two readings of the monitor: status, drift and forecast are on screen
recortar monitor.png 0 "$arriba"

teclas alt+c           # close the monitor
teclas alt+m m r       # Menú -> Memoria -> Recolectar datos
teclas alt+m           # Leer la Memoria
dialogo=
for _ in $(seq 50); do
  dialogo=$(xdotool search --onlyvisible --name 'Guardar como' 2>/dev/null | head -1) || true
  [ -n "$dialogo" ] && break
  sleep 0.1
done
sleep 1
xdotool windowfocus --sync "$dialogo"
sleep 0.5
xdotool key ctrl+a
xdotool type --delay 80 POZO3.csv
sleep 0.5
xdotool key Return
for _ in $(seq 100); do [ -s "$tmp/DATOS/POZO3.csv" ] && break; sleep 0.1; done
sleep 3
recortar lector.png 0 "$arriba"
read -r ancho _ x _ < <(caja 0 "$arriba")
derecha=$((x + ancho - 1))

teclas alt+g           # Gráfico: opens beside the reader
sleep 2
xdotool mousemove $((derecha + 500)) $((arriba + 250))
sleep 1
recortar hidrograma.png "$derecha" "$arriba"
read -r ancho _ x y < <(caja "$derecha" "$arriba")
xdotool mousemove $((derecha + x + ancho - 16)) $((arriba + y + 11)) click 1 # its close box
sleep 0.5
teclas alt+c           # close the reader

"$build/cli/aqtide-cli" archivo nombre 1 "Pozo 3" --nota "Ruta 5, km 12" >/dev/null 2>&1 || true
teclas alt+m h         # Menú -> Archivo histórico
sleep 1
recortar archivo.png 0 "$arriba"

ls -l "$salida"/{monitor,lector,hidrograma,archivo}.png
