#!/usr/bin/python3
"""A day in the field, as figures.

    bench_dia_campo.py BUILD_DIR [segundos_monitor] [descargas]

1. The monitor left polling a logger in REGISTRO whose clock runs 480 times faster: the memory
   (VmRSS) and the open files (/proc/PID/fd) of `aqtide` sampled at every poll. The program
   polls every 6 s and has no hook to poll faster, so a day of polls (14,400) is extrapolated
   from the growth after the first minute; the logger's own clock does cover a whole day.
2. `aqtide-cli descargar` run again and again (simulator --rapido): after each one, no lock
   file, no temporary file, no stray file in the work folder, and the logger's pseudo-terminal
   free for the next one.
Exit status 1 when a target is missed.
"""
import glob
import os
import subprocess
import sys
import tempfile
import time
from urllib.parse import quote

SONDEOS_DIA = 24 * 3600 // 6
OBJETIVO_RSS_DIA_KIB = 1024


def rss_kib(pid):
    with open(f"/proc/{pid}/status") as f:
        for linea in f:
            if linea.startswith("VmRSS:"):
                return int(linea.split()[1])
    return -1


def abiertos(pid):
    return len(os.listdir(f"/proc/{pid}/fd"))


def escribir_ini(raiz, pty):
    for d in ("DATOS", "BAK"):
        os.makedirs(os.path.join(raiz, d), exist_ok=True)
    ini = os.path.join(raiz, "win.ini")
    with open(ini, "w", newline="\r\n") as f:
        f.write(f"[BRISNA AQ-TIDE 1.0]\nMSComm1_PORT=1\nRAIZ={raiz}\nDATOS={raiz}/DATOS\n"
                f"BAK={raiz}/BAK\n[Puertos]\nCOM1={pty}\n")
    return ini


def simulador(build, opciones):
    p = subprocess.Popen([os.path.join(build, "sim", "aqtide-sim"), *opciones],
                         stdout=subprocess.PIPE, stderr=subprocess.DEVNULL, text=True)
    return p, p.stdout.readline().strip()


def terminar(p):
    if p.poll() is None:
        p.terminate()
        try:
            p.wait(5)
        except subprocess.TimeoutExpired:
            p.kill()
            p.wait()


def monitor(build, segundos):
    acelerar = 24 * 3600 / segundos
    sim, pty = simulador(build, ["--registro", "--acelerar", f"{acelerar:g}"])
    with tempfile.TemporaryDirectory(prefix="aqtide-campo-") as raiz:
        env = dict(os.environ, AQTIDE_WININI=escribir_ini(raiz, pty), TMPDIR=raiz,
                   XDG_RUNTIME_DIR=raiz)
        env.setdefault("QT_QPA_PLATFORM", "offscreen")
        prog = subprocess.Popen([os.path.join(build, "aqtide")], env=env,
                                stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        muestras = []  # (s, rss KiB, fds)
        inicio = time.monotonic()
        try:
            while time.monotonic() - inicio < segundos and prog.poll() is None:
                time.sleep(6.0)
                muestras.append((time.monotonic() - inicio, rss_kib(prog.pid), abiertos(prog.pid)))
        finally:
            vivo = prog.poll() is None
            terminar(prog)
            terminar(sim)
    if not vivo or len(muestras) < 12:
        print(f"monitor: el programa terminó a los {muestras[-1][0] if muestras else 0:.0f} s: "
              "NO CUMPLIDO")
        return False
    # The first minute opens what the program keeps (fonts, caches); the rest must be flat.
    base = [m for m in muestras if m[0] >= 60]
    t0, rss0, fd0 = base[0]
    t1, rss1, fd1 = base[-1]
    sondeos = (t1 - t0) / 6
    por_dia = (rss1 - rss0) / sondeos * SONDEOS_DIA if sondeos else 0
    rss_max = max(m[1] for m in base)
    fds = sorted({m[2] for m in base})
    ok = por_dia <= OBJETIVO_RSS_DIA_KIB and len(fds) == 1
    print(f"monitor: {len(muestras)} sondeos en {muestras[-1][0]:.0f} s, reloj del equipo "
          f"x{acelerar:g} (24 h del equipo); RSS {muestras[0][1]} KiB al primer sondeo, "
          f"{rss0} KiB al minuto, {rss1} KiB al final (máx. {rss_max}); extrapolado a "
          f"{SONDEOS_DIA} sondeos: {por_dia:+.0f} KiB (objetivo <= {OBJETIVO_RSS_DIA_KIB}); "
          f"archivos abiertos {', '.join(map(str, fds))} (objetivo: siempre los mismos): "
          f"{'cumplido' if ok else 'NO CUMPLIDO'}")
    return ok


def descargas(build, n):
    sim, pty = simulador(build, ["--rapido"])
    # Only the locks of this logger's line: other programs may hold their own meanwhile.
    nombre = pty.replace("/dev/", "").replace("/", "_")
    locks = lambda: set(glob.glob(f"/run/lock/*{quote(pty, safe='')}*")) | set(
        glob.glob(f"/run/lock/LCK..{nombre}"))
    fds_sim = abiertos(sim.pid)
    malas = sobrantes = 0
    duracion = 0.0
    with tempfile.TemporaryDirectory(prefix="aqtide-descargas-") as raiz:
        tmp = os.path.join(raiz, "tmp")
        os.mkdir(tmp)
        env = dict(os.environ, AQTIDE_WININI=escribir_ini(raiz, pty), TMPDIR=tmp)
        # The raw dump and the station archive are kept on purpose, overwritten or added to.
        esperados = {"win.ini", "DATOS", "BAK", "tmp", "DUMP.$$$", "ARCHIVO.db"}
        for i in range(n):
            salida = os.path.join(raiz, "DATOS", f"pozo{i}.csv")
            t = time.monotonic()
            r = subprocess.run([os.path.join(build, "cli", "aqtide-cli"), "descargar", salida],
                               env=env, cwd=raiz, stdout=subprocess.DEVNULL,
                               stderr=subprocess.PIPE, text=True, timeout=120)
            duracion = max(duracion, time.monotonic() - t)
            if r.returncode != 0 or not os.path.exists(salida):
                malas += 1
                if malas == 1:
                    print(f"descarga {i + 1}: salida {r.returncode}: {r.stderr.strip()[-300:]}")
            restos = (set(os.listdir(raiz)) - esperados) | set(os.listdir(tmp))
            restos |= locks()
            if restos:
                sobrantes += 1
                if sobrantes == 1:
                    print(f"descarga {i + 1} deja: {sorted(restos)}")
        datos = len(os.listdir(os.path.join(raiz, "DATOS")))
    fds_fin = abiertos(sim.pid)
    terminar(sim)
    ok = malas == 0 and sobrantes == 0 and fds_fin == fds_sim
    print(f"descargas: {n} seguidas, {n - malas} buenas ({datos} archivos de datos), la más "
          f"larga {duracion:.2f} s; con restos (bloqueo, temporal, archivo suelto) {sobrantes}; "
          f"archivos abiertos del simulador {fds_sim} antes, {fds_fin} después (objetivo: todas "
          f"buenas, ningún resto): {'cumplido' if ok else 'NO CUMPLIDO'}")
    return ok


def main():
    build = os.path.abspath(sys.argv[1] if len(sys.argv) > 1 else "build")
    segundos = float(sys.argv[2]) if len(sys.argv) > 2 else 180
    n = int(sys.argv[3]) if len(sys.argv) > 3 else 200
    ok = descargas(build, n)
    ok = monitor(build, segundos) and ok
    return 0 if ok else 1


if __name__ == "__main__":
    sys.exit(main())
