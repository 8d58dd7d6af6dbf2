#!/usr/bin/env bash
# Builds the Debian package from the build tree and checks what it holds, that it installs
# and removes cleanly (in a private dpkg root, the machine's own packages untouched) and,
# where the tools are present, its menu entry and lintian.
# Arguments: the build tree's CPackConfig.cmake and the package version.
set -u
config=$1
version=$2
for h in dpkg-deb dpkg-shlibdeps cpack; do
    if ! command -v "$h" >/dev/null; then
        echo "sin $h: no se prueba el paquete"
        exit 77
    fi
done
T=$(mktemp -d)
trap 'rm -rf "$T"' EXIT
pasadas=0
fallidas=0
igual() {  # description, expected, obtained
    if [ "$2" = "$3" ]; then
        pasadas=$((pasadas + 1))
    else
        printf 'FALLA: %s\n' "$1"
        diff <(printf '%s\n' "$2") <(printf '%s\n' "$3") | sed 's/^/  /'
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

if ! cpack -G DEB --config "$config" -B "$T" >"$T/cpack.log" 2>&1; then
    cat "$T/cpack.log"
    exit 1
fi
deb=$(echo "$T"/aqtide_*.deb)
cierto "paquete generado" test -f "$deb"

igual "archivos del paquete" "-rwxr-xr-x root/root /usr/bin/aqtide
-rwxr-xr-x root/root /usr/bin/aqtide-cli
-rwxr-xr-x root/root /usr/bin/aqtide-lanzador
-rwxr-xr-x root/root /usr/bin/aqtide-sim
-rw-r--r-- root/root /usr/share/applications/aqtide.desktop
-rw-r--r-- root/root /usr/share/aqtide/Help.html
-rw-r--r-- root/root /usr/share/aqtide/img/archivo.png
-rw-r--r-- root/root /usr/share/aqtide/img/hidrograma.png
-rw-r--r-- root/root /usr/share/aqtide/img/lector.png
-rw-r--r-- root/root /usr/share/aqtide/img/monitor.png
-rw-r--r-- root/root /usr/share/doc/aqtide/changelog.Debian.gz
-rw-r--r-- root/root /usr/share/doc/aqtide/copyright
-rw-r--r-- root/root /usr/share/icons/hicolor/scalable/apps/aqtide.svg
-rw-r--r-- root/root /usr/share/lintian/overrides/aqtide
-rw-r--r-- root/root /usr/share/man/man1/aqtide-cli.1.gz
-rw-r--r-- root/root /usr/share/man/man1/aqtide-lanzador.1.gz
-rw-r--r-- root/root /usr/share/man/man1/aqtide-sim.1.gz
-rw-r--r-- root/root /usr/share/man/man1/aqtide.1.gz" \
    "$(dpkg-deb -c "$deb" | awk '$1 !~ /^d/ { sub(/^\./, "", $6); print $1, $2, $6 }' | LC_ALL=C sort -k3)"

igual "campos de control" "Package: aqtide
Version: $version
Section: science" "$(dpkg-deb -f "$deb" Package Version Section)"
depende=$(dpkg-deb -f "$deb" Depends)
for lib in libc6 libqt6core6 libqt6widgets6 libqt6serialport6 qt6-qpa-plugins libqt6sql6-sqlite \
    libqt6svg6 qt6-translations-l10n; do
    cierto "depende de $lib ($depende)" grep -q "\b$lib\b" <<<"$depende"
done

dpkg-deb -x "$deb" "$T/contenido"
if command -v file >/dev/null; then
    for p in aqtide aqtide-cli aqtide-sim; do
        cierto "$p sin símbolos de depuración" grep -q ', stripped' \
            <<<"$(file "$T/contenido/usr/bin/$p")"
    done
fi
igual "versión en el registro de cambios" "aqtide ($version) unstable; urgency=medium" \
    "$(gzip -dc "$T/contenido/usr/share/doc/aqtide/changelog.Debian.gz" | head -1)"
if command -v desktop-file-validate >/dev/null; then
    cierto "entrada de menú válida" desktop-file-validate \
        "$T/contenido/usr/share/applications/aqtide.desktop"
fi

# Install and remove with dpkg in a root of its own; the libraries are those of the machine.
raiz=$T/raiz
mkdir -p "$raiz/var/lib/dpkg/info" "$raiz/var/lib/dpkg/updates"
touch "$raiz/var/lib/dpkg/status"
como_root=()
if [ "$(id -u)" -ne 0 ]; then
    if ! command -v fakeroot >/dev/null; then
        echo "sin root ni fakeroot: no se prueba la instalación"
        exit 77
    fi
    como_root=(fakeroot)
fi
dpkg_raiz() {
    "${como_root[@]}" dpkg --root="$raiz" --force-not-root --force-depends "$@" >>"$T/dpkg.log" 2>&1
}
cierto "dpkg -i" dpkg_raiz -i "$deb"
igual "instalado" "Status: install ok installed" "$(grep '^Status:' "$raiz/var/lib/dpkg/status")"
cierto "lanzador instalado y ejecutable" test -x "$raiz/usr/bin/aqtide-lanzador"
cierto "dpkg -r" dpkg_raiz -r aqtide
igual "nada queda tras dpkg -r" "" "$(find "$raiz/usr" -mindepth 1 2>/dev/null)"
cierto "dpkg -P" dpkg_raiz -P aqtide
igual "purgado" "" "$(grep '^Status:' "$raiz/var/lib/dpkg/status")"

if command -v lintian >/dev/null; then
    lintian "$deb" >"$T/lintian.log" 2>&1
    cat "$T/lintian.log"
    igual "lintian sin errores" "" "$(grep '^E:' "$T/lintian.log")"
fi

echo "paquete: $pasadas passed, $fallidas failed"
[ "$fallidas" -eq 0 ] || cat "$T/dpkg.log"
[ "$fallidas" -eq 0 ]
