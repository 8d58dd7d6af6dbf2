#!/usr/bin/python3
"""The supervisor's main window under a real X server and window manager while it talks to a
silent or slow logger: how long the window leaves the desktop's ping (_NET_WM_PING) unanswered
and how long it shows a hole after being uncovered.

    bench_ventana_atenta.py BUILD_DIR [control] [enlace] [tcp] [estado] [hora] [volcado] [cpu]

Runs Xvfb and openbox of its own, the simulated logger and `aqtide`, and drives the program
with xdotool as a user would. A probe pings the main window every 100 ms and, every 500 ms,
covers it with a magenta window, uncovers it and times until the hole is painted over. A first
control run stops the program (SIGSTOP) for 2 s: the probe must see that hang, or its figures
mean nothing. Prints the worst ping and repaint of each exchange beside the targets (1 s,
0.5 s); exit status 1 when one is missed.

By default: control, enlace, tcp, estado. "hora" drives the monitor by its access keys (Alt+H,
then Alt+A: Return is not the time dialog's default); "volcado" chooses Menú, Memoria, Recolectar
datos, answers the save dialog, waits out the dump, then erases; "cpu" times a dump byte by byte.
With AQTIDE_CAPTURAS=FOLDER the phases leave screenshots there.
"""
import os
import signal
import socket
import subprocess
import sys
import tempfile
import threading
import time

from Xlib import X, display, protocol

OBJETIVO_PING = 1.0
OBJETIVO_REPINTADO = 0.5
PERIODO_PING = 0.1
PERIODO_CUBIERTA = 0.5
MAGENTA = 0xFF00FF


def ahora():
    return time.monotonic()


class Sonda(threading.Thread):
    """Pings one window and uncovers it, on a connection of its own."""

    def __init__(self, nombre_display, ventana_id):
        super().__init__(daemon=True)
        self.d = display.Display(nombre_display)
        self.raiz = self.d.screen().root
        self.ventana = self.d.create_resource_object("window", ventana_id)
        self.protocolos = self.d.intern_atom("WM_PROTOCOLS")
        self.ping = self.d.intern_atom("_NET_WM_PING")
        # Qt answers on the root window, to whoever listens to its structure.
        self.raiz.change_attributes(event_mask=X.SubstructureNotifyMask | X.StructureNotifyMask)
        self.cubierta = self.raiz.create_window(
            0, 0, 1, 1, 0, self.d.screen().root_depth, X.InputOutput, X.CopyFromParent,
            background_pixel=MAGENTA, override_redirect=True, save_under=False,
            backing_store=X.NotUseful)
        self.enviados = {}  # sequence -> time sent
        self.respuestas = []  # (sent, answered)
        self.repintados = []  # (uncovered, painted or None)
        self.parar = threading.Event()
        self.secuencia = 0

    def _rectangulo(self):
        g = self.ventana.get_geometry()
        t = self.ventana.translate_coords(self.raiz, 0, 0)
        return -t.x, -t.y, g.width, g.height

    def _pixeles(self, x, y, w, h):
        puntos = [(x + w // 2, y + h // 2), (x + w // 4, y + h - 20), (x + w - 40, y + 10)]
        colores = []
        for px, py in puntos:
            img = self.raiz.get_image(px, py, 1, 1, X.ZPixmap, 0xFFFFFFFF)
            colores.append(int.from_bytes(img.data[:3], "little"))
        return colores

    def _leer_eventos(self):
        while self.d.pending_events():
            e = self.d.next_event()
            if (e.type == X.ClientMessage and e.client_type == self.protocolos
                    and e.data[1][0] == self.ping):
                enviado = self.enviados.pop(e.data[1][1], None)
                if enviado is not None:
                    self.respuestas.append((enviado, ahora()))

    def _enviar_ping(self):
        self.secuencia += 1
        ev = protocol.event.ClientMessage(
            window=self.ventana, client_type=self.protocolos,
            data=(32, [self.ping, self.secuencia, self.ventana.id, 0, 0]))
        self.ventana.send_event(ev, event_mask=0)
        self.d.flush()
        self.enviados[self.secuencia] = ahora()

    def run(self):
        proximo_ping = proxima_cubierta = ahora()
        descubierta = None
        while not self.parar.is_set():
            try:
                t = ahora()
                if t >= proximo_ping:
                    self._enviar_ping()
                    proximo_ping += PERIODO_PING
                if descubierta is None and t >= proxima_cubierta:
                    x, y, w, h = self._rectangulo()
                    self.cubierta.configure(x=x, y=y, width=w, height=h)
                    self.cubierta.map()
                    self.d.sync()
                    time.sleep(0.03)
                    self.cubierta.unmap()
                    self.d.sync()
                    descubierta = (ahora(), (x, y, w, h))
                    proxima_cubierta = descubierta[0] + PERIODO_CUBIERTA
                elif descubierta is not None:
                    if MAGENTA not in self._pixeles(*descubierta[1]):
                        self.repintados.append((descubierta[0], ahora()))
                        descubierta = None
                self._leer_eventos()
            except Exception:  # the window went away: the program ended
                break
            time.sleep(0.005)
        if descubierta is not None:
            self.repintados.append((descubierta[0], None))
        self.d.close()

    def peores(self, desde, hasta):
        """Worst ping answer and worst repaint of what started within [desde, hasta]."""
        fin = ahora()
        pings = [r - e for e, r in self.respuestas if desde <= e <= hasta]
        pings += [fin - e for e in self.enviados.values() if desde <= e <= hasta]
        repintes = [(p if p is not None else fin) - d for d, p in self.repintados
                    if desde <= d <= hasta]
        return (max(pings) if pings else None, max(repintes) if repintes else None,
                len(pings), len(repintes))


class Escritorio:
    """Xvfb with openbox, one per run of this bench."""

    def __init__(self):
        r, w = os.pipe()
        self.xvfb = subprocess.Popen(
            ["Xvfb", "-displayfd", str(w), "-screen", "0", "1280x1024x24", "-nolisten", "tcp"],
            pass_fds=(w,), stderr=subprocess.DEVNULL)
        os.close(w)
        with os.fdopen(r) as f:
            self.nombre = ":" + f.readline().strip()
        self.env = dict(os.environ, DISPLAY=self.nombre)
        self.env.pop("QT_QPA_PLATFORM", None)
        self.wm = subprocess.Popen(["openbox"], env=self.env, stderr=subprocess.DEVNULL)
        time.sleep(1.0)
        self.d = display.Display(self.nombre)

    def ventanas_de(self, pid):
        """Viewable client windows of `pid`, largest first."""
        atomo = self.d.intern_atom("_NET_WM_PID")
        hallados = []

        def recorrer(v, hondura):
            try:
                for h in v.query_tree().children:
                    p = h.get_full_property(atomo, X.AnyPropertyType)
                    if p and p.value[0] == pid:
                        a = h.get_attributes()
                        if a.map_state == X.IsViewable:
                            g = h.get_geometry()
                            hallados.append((g.width * g.height, h.id))
                    elif hondura < 3:
                        recorrer(h, hondura + 1)
            except Exception:
                pass

        recorrer(self.d.screen().root, 0)
        return [i for _, i in sorted(hallados, reverse=True)]

    def xdotool(self, *args):
        subprocess.run(["xdotool", *args], env=self.env, check=False)

    def cerrar(self):
        self.d.close()
        for p in (self.wm, self.xvfb):
            p.terminate()
            p.wait()


class Sesion:
    """The simulated logger with `opciones` and the supervisor on it."""

    def __init__(self, build, escritorio, opciones, sondear=True, dispositivo=None):
        self.e = escritorio
        self.dir = tempfile.TemporaryDirectory(prefix="aqtide-ventana-")
        raiz = self.dir.name
        for d in ("DATOS", "BAK"):
            os.mkdir(os.path.join(raiz, d))
        self.sim = subprocess.Popen([os.path.join(build, "sim", "aqtide-sim"), *opciones],
                                    stdout=subprocess.PIPE, stderr=subprocess.DEVNULL, text=True)
        pty = dispositivo or self.sim.stdout.readline().strip()
        ini = os.path.join(raiz, "win.ini")
        with open(ini, "w", newline="\r\n") as f:
            f.write(f"[BRISNA AQ-TIDE 1.0]\nMSComm1_PORT=1\nRAIZ={raiz}\nDATOS={raiz}/DATOS\n"
                    f"BAK={raiz}/BAK\n[Puertos]\nCOM1={pty}\n")
        # A runtime folder of its own: another copy of the program elsewhere does not count.
        env = dict(escritorio.env, AQTIDE_WININI=ini, XDG_RUNTIME_DIR=raiz)
        self.inicio = ahora()
        self.programa = subprocess.Popen([os.path.join(build, "aqtide")], env=env,
                                         stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        self.principal = self.esperar_ventanas(1, 30)[0]
        self.sonda = Sonda(escritorio.nombre, self.principal)
        if sondear:
            self.sonda.start()

    def esperar_ventanas(self, n, limite):
        """Waits until `n` windows of the program are up, at most `limite` s."""
        fin = ahora() + limite
        while ahora() < fin:
            v = self.e.ventanas_de(self.programa.pid)
            if len(v) >= n:
                return v
            time.sleep(0.05)
        return self.e.ventanas_de(self.programa.pid)

    def teclas(self, *teclas, pausa=0.4, clic=False):
        self.e.xdotool("windowactivate", "--sync", str(self.principal))
        if clic:
            # Into the window at the top left of the work area, so its access keys are first.
            self.e.xdotool("mousemove", "--window", str(self.principal), "300", "120", "click", "1")
        for t in teclas:
            if t.startswith("texto:"):
                self.e.xdotool("type", "--delay", "30", t[6:])
            else:
                self.e.xdotool("key", t)
            time.sleep(pausa)

    def captura(self, ruta):
        subprocess.run(["import", "-window", "root", ruta], env=self.e.env, check=False)

    def cpu(self):
        """User plus system CPU seconds of the program so far."""
        with open(f"/proc/{self.programa.pid}/stat") as f:
            campos = f.read().rsplit(")", 1)[1].split()
        return (int(campos[11]) + int(campos[12])) / os.sysconf("SC_CLK_TCK")

    def cerrar(self):
        self.sonda.parar.set()
        if self.sonda.is_alive():
            self.sonda.join(5)
        for p in (self.programa, self.sim):
            if p.poll() is None:
                p.terminate()
                try:
                    p.wait(5)
                except subprocess.TimeoutExpired:
                    p.kill()
                    p.wait()
        self.dir.cleanup()


def fase_control(s):
    """The program stopped for 2 s: the probe must see the window hung."""
    time.sleep(2.0)
    t0 = ahora()
    os.kill(s.programa.pid, signal.SIGSTOP)
    time.sleep(2.0)
    os.kill(s.programa.pid, signal.SIGCONT)
    time.sleep(1.0)
    return [("control: programa detenido 2 s", t0, t0 + 2.0)]


def fase_enlace(s):
    """The link check at start-up with a silent logger, until its error box."""
    s.esperar_ventanas(2, 15)
    return [("enlace al arrancar (mudo)", s.inicio, ahora())]


def servidor_sordo():
    """A TCP server whose queue is full: the kernel drops further attempts, and a connection
    waits for its whole time limit, as to a device server that is off."""
    servidor = socket.socket()
    servidor.bind(("127.0.0.1", 0))
    servidor.listen(0)
    llenos = []
    for _ in range(4):
        c = socket.socket()
        c.setblocking(False)
        c.connect_ex(servidor.getsockname())
        llenos.append(c)
    time.sleep(0.2)
    return servidor, llenos


def fase_tcp(s):
    """The start-up with COM1 behind a device server that does not take the connection."""
    s.esperar_ventanas(2, 15)
    return [("conexión TCP al arrancar (servidor sordo)", s.inicio, ahora())]


def fase_estado(s):
    """The monitor's first status request unanswered, until its error box."""
    s.esperar_ventanas(2, 30)
    return [("estado del monitor (\"L\" mudo)", s.inicio, ahora())]


def fase_hora(s):
    """A silent time programming: 16.5 s of waiting on "H"."""
    time.sleep(3.0)
    # "Programar &Hora", the monitor's own access key.
    s.teclas("alt+h")
    time.sleep(1.5)
    t0 = ahora()
    s.teclas("alt+a", pausa=0.1)  # "&Aceptar": Return is not the dialog's default there
    time.sleep(18.0)
    return [("programar hora (\"H\" mudo)", t0, ahora())]


def fase_volcado_borrado(s, capturas):
    """A whole dump at 9600 baud, then the memory erase and its wait."""
    def foto(nombre):
        if capturas:
            s.captura(os.path.join(capturas, nombre + ".png"))

    time.sleep(6.0)  # the greeting, then the monitor with its first poll
    s.teclas("alt+c")  # the monitor's "&Cerrar"
    time.sleep(1.0)
    s.teclas("alt+m", "m", "r")  # Menú, Memoria, Recolectar datos
    time.sleep(1.5)
    s.teclas("alt+m")  # "Leer la &Memoria": the save dialog comes first
    time.sleep(1.5)
    foto("dialogo")
    s.teclas("texto:pozo", "Return", pausa=0.5)
    t0 = ahora()
    time.sleep(26.0)  # the link check, then 21.3 s of dump on the line, then the files
    t1 = ahora()
    foto("tras_volcado")
    s.teclas("alt+c")  # the reader's "&Cerrar"
    time.sleep(1.5)
    s.teclas("alt+m", "m", "b")  # Menú, Memoria, Borrar la Memoria
    time.sleep(1.5)
    t2 = ahora()
    s.teclas("alt+m", pausa=1.0)  # "Borrar la &Memoria", then its confirmation
    foto("borrado")
    s.teclas("Return", pausa=0.1)
    time.sleep(15.0)
    foto("tras_borrado")
    return [("volcado (9600 baudios)", t0, t1), ("borrado y su espera", t2, ahora())]


def cpu_byte_a_byte(build, escritorio):
    """The window's CPU while a dump arrives one character at a time, nobody disturbing it."""
    s = Sesion(build, escritorio, ["--byte-a-byte"], sondear=False)
    try:
        time.sleep(2.0)
        s.teclas("alt+c")
        time.sleep(1.0)
        s.teclas("alt+m", "m", "r")
        time.sleep(1.5)
        s.teclas("alt+m", pausa=0.1, clic=True)
        # From the first characters to well before the last (21.3 s on the line).
        time.sleep(2.0)
        t0, c0 = ahora(), s.cpu()
        time.sleep(16.0)
        t1, c1 = ahora(), s.cpu()
        return 100.0 * (c1 - c0) / (t1 - t0)
    finally:
        s.cerrar()


FASES = {
    "control": ([], fase_control),
    "enlace": (["--mudo"], fase_enlace),
    "tcp": (["--mudo"], fase_tcp),
    "estado": (["--mudo-a", "L"], fase_estado),
    "hora": (["--mudo-a", "H"], fase_hora),
    "volcado": ([], None),
}


def main():
    build = os.path.abspath(sys.argv[1] if len(sys.argv) > 1 else "build")
    fases = sys.argv[2:] or ["control", "enlace", "tcp", "estado"]
    pruebas = [f for f in fases if f in FASES]
    capturas = os.environ.get("AQTIDE_CAPTURAS")
    escritorio = Escritorio()
    filas = []
    try:
        for nombre in pruebas:
            opciones, fase = FASES[nombre]
            sordo = servidor_sordo() if nombre == "tcp" else None
            destino = f"tcp://127.0.0.1:{sordo[0].getsockname()[1]}" if sordo else None
            s = Sesion(build, escritorio, opciones, dispositivo=destino)
            try:
                tramos = (fase(s) if fase else fase_volcado_borrado(s, capturas))
                if capturas:
                    s.captura(os.path.join(capturas, nombre + ".png"))
                for titulo, desde, hasta in tramos:
                    filas.append((nombre, titulo, *s.sonda.peores(desde, hasta)))
            finally:
                s.cerrar()
        cpu = cpu_byte_a_byte(build, escritorio) if "cpu" in fases else None
    finally:
        escritorio.cerrar()

    fallas = 0
    for nombre, titulo, ping, repinte, n_ping, n_rep in filas:
        control = nombre == "control"
        ok_ping = ping is not None and ping <= OBJETIVO_PING
        ok_rep = repinte is not None and repinte <= OBJETIVO_REPINTADO
        if control:
            # The probe must see the hang, or it could not see one in the exchanges either.
            veredicto = ("la sonda ve el cuelgue" if not ok_ping and not ok_rep
                         else "LA SONDA NO VE EL CUELGUE")
            fallas += ok_ping or ok_rep
        else:
            veredicto = ("cumplido" if ok_ping and ok_rep else "NO CUMPLIDO")
            fallas += not (ok_ping and ok_rep)
        fmt = lambda v: "-" if v is None else f"{v:.3f} s"
        print(f"{titulo}: peor ping {fmt(ping)} (objetivo <= {OBJETIVO_PING} s, {n_ping} pings);"
              f" peor repintado {fmt(repinte)} (objetivo <= {OBJETIVO_REPINTADO} s, {n_rep}"
              f" descubiertas): {veredicto}")
    if cpu is not None:
        print(f"volcado byte a byte en la ventana: CPU {cpu:.2f} % de un núcleo (objetivo < 2 %):"
              f" {'cumplido' if cpu < 2 else 'NO CUMPLIDO'}")
        fallas += cpu >= 2
    return 1 if fallas else 0


if __name__ == "__main__":
    sys.exit(main())
