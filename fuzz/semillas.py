#!/usr/bin/env python3
"""Rebuilds the seed corpora of fuzz/corpus/ from what the simulator and the program write.

Usage: fuzz/semillas.py BUILD_DIR   (a build with aqtide-sim and aqtide-cli)
"""
import os, subprocess, sys, tempfile, termios, time, tty

build = sys.argv[1]
raiz = os.path.dirname(os.path.abspath(__file__))
corpus = os.path.join(raiz, "corpus")


def guardar(objetivo, nombre, datos):
    d = os.path.join(corpus, objetivo)
    os.makedirs(d, exist_ok=True)
    with open(os.path.join(d, nombre), "wb") as f:
        f.write(datos)


def conversar(pty, comandos):
    """Sends each command to the simulated logger and collects what it answers."""
    fd = os.open(pty, os.O_RDWR | os.O_NOCTTY)
    tty.setraw(fd)
    respuestas = []
    for comando, esperar in comandos:
        termios.tcflush(fd, termios.TCIFLUSH)
        os.write(fd, comando)
        fin, r = time.time() + esperar, b""
        while time.time() < fin:
            try:
                os.set_blocking(fd, False)
                r += os.read(fd, 65536)
            except BlockingIOError:
                time.sleep(0.02)
        respuestas.append(r)
    os.close(fd)
    return respuestas


sim = subprocess.Popen([os.path.join(build, "sim/aqtide-sim"), "--rapido"],
                       stdout=subprocess.PIPE, text=True)
pty = sim.stdout.readline().strip()
try:
    enlace, version, estado, ajuste, estado2, volcado = conversar(
        pty, [(b"U" * 32, 0.5), (b"V", 0.5), (b"L", 0.5), (b"AAA", 0.5), (b"L", 0.5),
              (b"DDD", 3.0)])
finally:
    sim.terminate()
    sim.wait()

# Link exchange: [command][length][delay][reply] as fuzz_enlace reads it.
def pieza(r, retardo=1):
    return bytes([len(r), retardo]) + r

guardar("enlace", "estado", b"\x00" + pieza(estado))
guardar("enlace", "estado_ajuste", b"\x00" + pieza(estado2[:20]) + pieza(estado2[20:], 3))
guardar("enlace", "ok", b"\x01" + pieza(ajuste))
guardar("enlace", "version", b"\x03" + pieza(version))
guardar("enlace", "mudo_y_enlace", b"\x00" + pieza(b"", 0) + pieza(enlace) + pieza(estado))

# The backup the program keeps of a download: one word a line, CR LF.
palabras = volcado.split(b" ")[:4096]
resguardo = b"".join(p + b" \r\n" for p in palabras)
guardar("resguardo", "resguardo.bak", resguardo)
guardar("decodificador", "resguardo", b"t" + resguardo.replace(b"\r\n", b"\n"))
guardar("decodificador", "compacto", bytes([0, 7, 8, 9, 10, 4, 5, 2, 2, 1, 1, 0, 11, 12, 6, 13, 4, 1]))

with tempfile.TemporaryDirectory() as t:
    b = os.path.join(t, "r.bak")
    with open(b, "wb") as f:
        f.write(resguardo)
    for nombre in ("EXPAND.TXT", "DATOS.CSV"):
        s = os.path.join(t, nombre)
        subprocess.run([os.path.join(build, "cli/aqtide-cli"), "expandir", b, s], check=True, cwd=t)
        with open(s, "rb") as f:
            texto = f.read()
        # Kept small: the summary and the start of the first block.
        guardar("visor", nombre.lower(), texto[:1500])

guardar("perfil", "win.ini",
        b"[BRISNA AQ-TIDE 1.0]\r\nINSTALADO=5/6/2002    9:5:0\r\nMSComm1_PORT=1\r\n"
        b"RAIZ=/home/usuario/aqtide\r\nDATOS=/home/usuario/aqtide/DATOS\r\n"
        b"BAK=/home/usuario/aqtide/BAK\r\n\r\n[Puertos]\r\nCOM1=/dev/pts/3\r\n")
