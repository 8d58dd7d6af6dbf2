#!/usr/bin/env bash
# The desktop launcher in a throw-away HOME: the first start prepares ~/AQ-TIDE for the
# program's first-run steps, later starts run in the program folder of the settings.
# Arguments: the launcher script and the built program.
set -u
lanzador=$(realpath "$1")
programa=$(realpath "$2")
T=$(mktemp -d)
trap 'rm -rf "$T"' EXIT
pasadas=0
fallidas=0

igual() {  # description, expected, obtained
    if [ "$2" = "$3" ]; then
        pasadas=$((pasadas + 1))
    else
        printf 'FALLA: %s\n  esperado: %s\n  obtenido: %s\n' "$1" "$2" "$3"
        fallidas=$((fallidas + 1))
    fi
}
cierto() {  # description, command...
    if "${@:2}"; then
        pasadas=$((pasadas + 1))
    else
        printf 'FALLA: %s\n' "$1"
        fallidas=$((fallidas + 1))
    fi
}

# An installed tree whose program only writes down how it was started.
pre=$T/usr
mkdir -p "$pre/bin" "$pre/share/aqtide"
cp "$lanzador" "$pre/bin/aqtide-lanzador"
printf 'manual del paquete\n' >"$pre/share/aqtide/Help.html"
mkdir -p "$pre/share/aqtide/img"
printf 'captura\n' >"$pre/share/aqtide/img/monitor.png"
cat >"$pre/bin/aqtide" <<'FIN'
#!/bin/sh
{
    echo "carpeta=$(pwd -P)"
    echo "ini=$AQTIDE_WININI"
    if [ -f inicial.txt ]; then echo marca=si; else echo marca=no; fi
    for a in "$@"; do echo "arg=$a"; done
} >"$REGISTRO"
FIN
chmod +x "$pre/bin/aqtide"

# Runs the launcher as the menu entry does (found on PATH) with HOME=$1 and the further
# environment assignments given; the stub's record is in $T/registro.
lanzar() {
    local casa=$1
    shift
    rm -f "$T/registro"
    (cd "$casa" && env -i HOME="$casa" PATH="$pre/bin:/usr/bin:/bin" REGISTRO="$T/registro" "$@" \
        aqtide-lanzador /ADMINISTRADOR "dos palabras")
}
registro() { cat "$T/registro" 2>/dev/null; }

# --- first start, no settings file at all; a HOME with blanks and accents
casa="$T/casa de José"
mkdir -p "$casa"
lanzar "$casa"
igual "primer arranque" "carpeta=$casa/AQ-TIDE
ini=$casa/.config/aqtide/win.ini
marca=si
arg=/ADMINISTRADOR
arg=dos palabras" "$(registro)"
igual "primer arranque: marca vacía" "0" "$(stat -c %s "$casa/AQ-TIDE/inicial.txt")"
igual "primer arranque: manual copiado" "manual del paquete" "$(cat "$casa/AQ-TIDE/Help.html")"
igual "primer arranque: capturas del manual" "captura" "$(cat "$casa/AQ-TIDE/img/monitor.png")"
cierto "el lanzador no escribe la configuración" test ! -e "$casa/.config"

# --- first start: the settings file exists but has no section of the program yet
casa=$T/dos
mkdir -p "$casa/conf/aqtide"
printf '[Puertos]\r\nCOM1=/dev/ttyUSB0\r\n' >"$casa/conf/aqtide/win.ini"
lanzar "$casa" XDG_CONFIG_HOME="$casa/conf"
igual "sin sección, con XDG_CONFIG_HOME" "carpeta=$casa/AQ-TIDE
ini=$casa/conf/aqtide/win.ini
marca=si" "$(registro | head -3)"

# --- later start: the section, written as the program does (Latin-1, CR LF), names in
# another case and with blanks; a key RAIZ of another section comes first
casa=$T/tres
raiz="$casa/Pozo Ñandú"
mkdir -p "$casa/.config/aqtide" "$raiz"
printf 'manual viejo\n' >"$raiz/Help.html"
printf '[Otra]\r\nRAIZ=%s\r\n[ brisna aq-tide 1.0 ]\r\nINSTALADO=7/12/2026    9:7:3\r\n raiz = %s \r\nDATOS=%s\r\n' \
    "$casa" "$(printf '%s' "$raiz" | iconv -f UTF-8 -t ISO-8859-1)" "$raiz/DATOS" \
    >"$casa/.config/aqtide/win.ini"
lanzar "$casa"
igual "arranque posterior en RAIZ" "carpeta=$raiz
ini=$casa/.config/aqtide/win.ini
marca=no" "$(registro | head -3)"
cierto "arranque posterior: sin marca nueva" test ! -e "$raiz/inicial.txt"
cierto "arranque posterior: no crea ~/AQ-TIDE" test ! -e "$casa/AQ-TIDE"
igual "arranque posterior: manual al día" "manual del paquete" "$(cat "$raiz/Help.html")"
igual "arranque posterior: capturas con el manual" "captura" "$(cat "$raiz/img/monitor.png")"
rm -r "$raiz/img"
lanzar "$casa"
igual "arranque posterior: repone las capturas" "captura" "$(cat "$raiz/img/monitor.png" 2>/dev/null)"
rm "$raiz/Help.html"
lanzar "$casa"
cierto "arranque posterior: no repone un manual borrado" test ! -e "$raiz/Help.html"

# --- later start with a RAIZ that is gone: ~/AQ-TIDE if it exists, else HOME; the program
# gives its own warning
casa=$T/cuatro
mkdir -p "$casa/.config/aqtide"
printf '[BRISNA AQ-TIDE 1.0]\r\nRAIZ=%s\r\n' "$casa/borrada" >"$casa/.config/aqtide/win.ini"
lanzar "$casa"
igual "RAIZ inexistente, sin ~/AQ-TIDE" "carpeta=$casa" "$(registro | head -1)"
cierto "RAIZ inexistente: no crea ~/AQ-TIDE" test ! -e "$casa/AQ-TIDE"
mkdir "$casa/AQ-TIDE"
lanzar "$casa"
igual "RAIZ inexistente, con ~/AQ-TIDE" "carpeta=$casa/AQ-TIDE
ini=$casa/.config/aqtide/win.ini
marca=no" "$(registro | head -3)"

# --- AQTIDE_WININI wins, and a relative name reaches the program as an absolute one
casa=$T/cinco
mkdir -p "$casa"
lanzar "$casa" AQTIDE_WININI=propio.ini XDG_CONFIG_HOME="$casa/conf"
igual "AQTIDE_WININI relativo" "ini=$casa/propio.ini" "$(registro | sed -n 2p)"

# --- the real program, first start and a later one (offscreen, serial ports pointed at
# nothing so that no device of the machine is opened)
casa=$T/real
mkdir -p "$casa/.config/aqtide" "$T/real_usr/bin" "$T/real_usr/share/aqtide"
mkdir -m 700 "$casa/run"
cp "$lanzador" "$T/real_usr/bin/aqtide-lanzador"
ln -s "$programa" "$T/real_usr/bin/aqtide"
cp "$pre/share/aqtide/Help.html" "$T/real_usr/share/aqtide/"
ini=$casa/.config/aqtide/win.ini
printf '[Puertos]\r\nCOM1=%s\r\nCOM2=%s\r\nCOM3=%s\r\nCOM4=%s\r\n' "$T/n1" "$T/n2" "$T/n3" "$T/n4" >"$ini"
arrancar_real() {
    (cd "$casa" && exec env -i HOME="$casa" PATH="$T/real_usr/bin:/usr/bin:/bin" \
        XDG_RUNTIME_DIR="$casa/run" QT_QPA_PLATFORM=offscreen aqtide-lanzador) \
        >>"$T/real.log" 2>&1 &
    pid=$!
}
arrancar_real
for _ in $(seq 100); do
    [ -d "$casa/AQ-TIDE/BAK" ] && [ ! -e "$casa/AQ-TIDE/inicial.txt" ] && break
    sleep 0.1
done
kill "$pid" 2>/dev/null
wait "$pid" 2>/dev/null
igual "programa real, primer arranque: RAIZ" "RAIZ=$casa/AQ-TIDE" \
    "$(tr -d '\r' <"$ini" | grep '^RAIZ=')"
cierto "programa real, primer arranque: DATOS y BAK" test -d "$casa/AQ-TIDE/DATOS" -a -d "$casa/AQ-TIDE/BAK"
cierto "programa real, primer arranque: marca borrada" test ! -e "$casa/AQ-TIDE/inicial.txt"
igual "programa real, primer arranque: manual" "manual del paquete" "$(cat "$casa/AQ-TIDE/Help.html" 2>/dev/null)"
instalado=$(grep '^INSTALADO=' "$ini")
cierto "programa real, primer arranque: INSTALADO" test -n "$instalado"
sleep 1.1 # a second run of the first-run steps would write another time stamp
arrancar_real
sleep 2
cierto "programa real, arranque posterior: sigue en marcha" kill -0 "$pid"
kill "$pid" 2>/dev/null
wait "$pid" 2>/dev/null
igual "programa real, arranque posterior: sin primer arranque" "$instalado" "$(grep '^INSTALADO=' "$ini")"
cierto "programa real, arranque posterior: sin marca" test ! -e "$casa/AQ-TIDE/inicial.txt"

echo "lanzador: $pasadas passed, $fallidas failed"
if [ "$fallidas" -ne 0 ]; then
    echo "--- salida del programa real:"
    cat "$T/real.log"
fi
[ "$fallidas" -eq 0 ]
