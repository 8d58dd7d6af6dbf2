#!/usr/bin/env bash
# The manual pages cannot fall behind the programs: every order, sub-order and option that
# a program's --help names appears in its page; and the examples of the pages, README and the
# user manual name what the package installs.
# Arguments: the source tree, aqtide-cli, aqtide-sim.
set -u
fuentes=$1
paginas=$fuentes/paquete
cli=$2
sim=$3
fallas=0

# The page as text: roff escapes of hyphens, blanks and fonts removed.
texto() {
    sed -e 's/\\-/-/g' -e 's/\\f[BIRP]//g' -e 's/\\ / /g' -e 's/\\e/\\/g' "$1"
}
# The options a help text names: -x and --palabra.
opciones() {
    grep -oE '(^|[][ (|,])--?[a-z][a-z0-9-]*' | sed -E 's/^[][ (|,]//' | sort -u
}
falta() {  # page, what, where it was named
    printf 'FALTA en %s: %s (de %s)\n' "$1" "$2" "$3"
    fallas=$((fallas + 1))
}
opcion_en() {  # page text, option
    grep -qE -- "(^|[^a-z0-9-])$2([^a-z0-9-]|\$)" <<<"$1"
}
orden_en() {  # page text, order (sub-orders follow their order)
    grep -qE "^(\.[A-Z]+ +)?$2( |\$)" <<<"$1"
}

pagina_cli=$(texto "$paginas/aqtide-cli.1")
ayuda=$("$cli" --help) || { echo "aqtide-cli --help falló"; exit 1; }
for o in $(opciones <<<"$ayuda"); do
    opcion_en "$pagina_cli" "$o" || falta aqtide-cli.1 "$o" "aqtide-cli --help"
done
# An order is a word at the start of an indented line whose own --help answers.
ordenes=0
for orden in $(sed -nE 's/^  ([a-z]+)( .*)?$/\1/p' <<<"$ayuda" | sort -u); do
    ayuda_orden=$("$cli" "$orden" --help 2>/dev/null) || continue
    ordenes=$((ordenes + 1))
    orden_en "$pagina_cli" "$orden" || falta aqtide-cli.1 "$orden" "aqtide-cli --help"
    for o in $(opciones <<<"$ayuda_orden"); do
        opcion_en "$pagina_cli" "$o" || falta aqtide-cli.1 "$o" "aqtide-cli $orden --help"
    done
    for sub in $(grep -oE "aqtide-cli $orden [a-z]+" <<<"$ayuda_orden" | awk '{print $3}' |
        sort -u); do
        orden_en "$pagina_cli" "$orden $sub" || falta aqtide-cli.1 "$orden $sub" \
            "aqtide-cli $orden --help"
    done
done
if [ "$ordenes" -lt 10 ]; then
    echo "sólo $ordenes órdenes en aqtide-cli --help: ¿cambió su forma?"
    fallas=$((fallas + 1))
fi

pagina_sim=$(texto "$paginas/aqtide-sim.1")
ayuda=$("$sim" --help) || { echo "aqtide-sim --help falló"; exit 1; }
for o in $(opciones <<<"$ayuda"); do
    opcion_en "$pagina_sim" "$o" || falta aqtide-sim.1 "$o" "aqtide-sim --help"
done

# Examples name what the package installs: /usr/bin, and ~/AQ-TIDE made by the launcher.
for p in "$paginas"/*.1 "$fuentes/README.md" "$fuentes/doc/Help.html"; do
    if grep -nE '/usr/local|AQTIDE/' "$p"; then
        falta "$(basename "$p")" "rutas del paquete (/usr/bin, ~/AQ-TIDE)" "los ejemplos"
    fi
done

echo "páginas de manual: $ordenes órdenes, $fallas faltas"
[ "$fallas" -eq 0 ]
