#!/usr/bin/env bash
# Runs every fuzz target of a build for a bounded time on a work copy of its seed corpus, so
# that the seeds kept in the repository stay small. Usage: fuzz.sh BUILD_DIR SECONDS
set -uo pipefail
build="${1:?build dir}"
segundos="${2:-60}"
raiz="$(cd "$(dirname "$0")/.." && pwd)"
build="$(cd "$build" && pwd)"  # the targets change their current directory
trabajo="$build/corpus-trabajo"
hallazgos="$build/hallazgos"
mkdir -p "$trabajo" "$hallazgos"
export ASAN_OPTIONS="${ASAN_OPTIONS:-detect_leaks=0}" UBSAN_OPTIONS="${UBSAN_OPTIONS:-halt_on_error=1:print_stacktrace=1}"
export QT_QPA_PLATFORM=offscreen
fallos=0
for bin in "$build"/fuzz/fuzz_*; do
    [ -f "$bin" ] && [ -x "$bin" ] || continue
    nombre="$(basename "$bin")"
    objetivo="${nombre#fuzz_}"
    mkdir -p "$trabajo/$objetivo" "$hallazgos/$objetivo"
    [ -d "$raiz/fuzz/corpus/$objetivo" ] && cp -n "$raiz/fuzz/corpus/$objetivo"/* "$trabajo/$objetivo"/ 2>/dev/null
    registro="$build/$nombre.log"
    "$bin" -max_total_time="$segundos" -print_final_stats=1 -timeout=10 -rss_limit_mb=4096 \
        -artifact_prefix="$hallazgos/$objetivo/" "$trabajo/$objetivo" >"$registro" 2>&1
    rc=$?
    ejecuciones="$(grep -o 'stat::number_of_executed_units: *[0-9]*' "$registro" | grep -o '[0-9]*$')"
    if [ $rc -ne 0 ]; then
        fallos=$((fallos + 1))
        echo "$objetivo: FALLO (ver $registro y $hallazgos/$objetivo/)"
    else
        echo "$objetivo: ${segundos} s, ${ejecuciones:-?} ejecuciones, sin fallos"
    fi
done
exit $((fallos > 0))
