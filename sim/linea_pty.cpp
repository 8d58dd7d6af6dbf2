#include "linea_pty.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <termios.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>

namespace aq::sim {

namespace {

constexpr double kCaracteres_Por_ms = 9600.0 / 10.0 / 1000.0;  // 8N1: ten bits a character

std::string Texto_Error(const std::string& que) {
    return que + ": " + std::strerror(errno);
}

}  // namespace

int64_t Ahora_ms() {
    timespec ts;
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return static_cast<int64_t>(ts.tv_sec) * 1000 + ts.tv_nsec / 1000000;
}

bool Linea_Pty::Abrir(std::string& error) {
    maestro_ = posix_openpt(O_RDWR | O_NOCTTY);
    if (maestro_ < 0) {
        error = Texto_Error("posix_openpt");
        return false;
    }
    char ruta[128];
    if (grantpt(maestro_) != 0 || unlockpt(maestro_) != 0 ||
        ptsname_r(maestro_, ruta, sizeof ruta) != 0) {
        error = Texto_Error("pseudo-terminal");
        return false;
    }
    esclavo_ruta_ = ruta;
    esclavo_ = open(ruta, O_RDWR | O_NOCTTY);
    if (esclavo_ < 0) {
        error = Texto_Error(esclavo_ruta_);
        return false;
    }
    termios t;
    if (tcgetattr(esclavo_, &t) == 0) {
        cfmakeraw(&t);
        cfsetispeed(&t, B9600);
        cfsetospeed(&t, B9600);
        t.c_cflag |= CLOCAL | CREAD;
        tcsetattr(esclavo_, TCSANOW, &t);
    }
    fcntl(maestro_, F_SETFL, fcntl(maestro_, F_GETFL) | O_NONBLOCK);
    return true;
}

bool Linea_Pty::Crear_Enlace(const std::string& ruta, std::string& error) {
    struct stat st;
    if (lstat(ruta.c_str(), &st) == 0) {
        if (!S_ISLNK(st.st_mode)) {
            error = ruta + " ya existe y no es un enlace simbólico";
            return false;
        }
        unlink(ruta.c_str());
    }
    if (symlink(esclavo_ruta_.c_str(), ruta.c_str()) != 0) {
        error = Texto_Error(ruta);
        return false;
    }
    enlace_ = ruta;
    return true;
}

void Linea_Pty::Esperar_Lectura(int limite_ms) {
    const int64_t fin = Ahora_ms() + limite_ms;
    int pendientes = 1;
    do {
        usleep(20000);
        if (ioctl(esclavo_, TIOCINQ, &pendientes) != 0) break;
    } while (pendientes > 0 && Ahora_ms() < fin);
}

void Linea_Pty::Cerrar() {
    if (!enlace_.empty()) {
        // Only our own link: another simulator may have taken the name meanwhile.
        char destino[256];
        const ssize_t n = readlink(enlace_.c_str(), destino, sizeof destino - 1);
        if (n >= 0 && std::string(destino, n) == esclavo_ruta_) unlink(enlace_.c_str());
        enlace_.clear();
    }
    if (maestro_ >= 0) close(maestro_);
    if (esclavo_ >= 0) close(esclavo_);
    maestro_ = esclavo_ = -1;
}

int Atender_Linea(Simulador_Logger& sim, Linea_Pty& linea, bool rapido, bool byte_a_byte,
                  const volatile std::sig_atomic_t& fin) {
    const int fd = linea.Maestro();
    bool enviando = false;  // the front reply has started
    size_t enviados = 0;
    int64_t inicio_ms = 0;
    char buf[4096];
    while (!fin) {
        int64_t ahora = Ahora_ms();
        sim.Avanzar(ahora);
        auto& cola = sim.Salida();
        bool lleno = false;
        while (!cola.empty() && ahora >= cola.front().desde_ms) {
            const Simulador_Logger::Envio& e = cola.front();
            if (!enviando) {
                enviando = true;
                enviados = 0;
                inicio_ms = ahora;
            }
            if (enviados >= e.cerrar_tras) {
                linea.Esperar_Lectura(2000);
                std::fprintf(stderr, "aqtide-sim: línea cerrada tras %zu caracteres\n", enviados);
                return 0;
            }
            size_t meta = std::min(e.texto.size(), e.cerrar_tras);
            if (!rapido)
                meta = std::min(meta,
                                static_cast<size_t>((ahora - inicio_ms) * kCaracteres_Por_ms) + 1);
            if (byte_a_byte) meta = std::min(meta, enviados + 1);
            if (meta > enviados) {
                const ssize_t n = write(fd, e.texto.data() + enviados, meta - enviados);
                if (n > 0) {
                    enviados += static_cast<size_t>(n);
                } else if (n < 0 && (errno == EAGAIN || errno == EINTR)) {
                    lleno = true;
                    break;
                } else {
                    std::fprintf(stderr, "aqtide-sim: %s\n", Texto_Error("escritura").c_str());
                    return 1;
                }
            }
            if (enviados >= e.cerrar_tras) continue;  // closes on the next pass
            if (enviados < e.texto.size()) break;
            cola.pop_front();
            enviando = false;
        }

        int espera = 20;
        if (enviando && byte_a_byte) {
            espera = 1;  // a character takes 1.04 ms at 9600 baud
        } else if (enviando && !rapido) {
            espera = 10;  // about ten characters a wake-up
        } else if (!cola.empty()) {
            espera = static_cast<int>(std::clamp<int64_t>(cola.front().desde_ms - ahora, 0, 20));
        }
        pollfd p{fd, static_cast<short>(POLLIN | (lleno ? POLLOUT : 0)), 0};
        const int r = poll(&p, 1, lleno && rapido ? 20 : espera);
        if (r < 0 && errno != EINTR) {
            std::fprintf(stderr, "aqtide-sim: %s\n", Texto_Error("poll").c_str());
            return 1;
        }
        if (r > 0 && (p.revents & POLLIN)) {
            const ssize_t n = read(fd, buf, sizeof buf);
            if (n > 0) {
                sim.Recibir(std::string(buf, static_cast<size_t>(n)), Ahora_ms());
            } else if (n < 0 && errno != EAGAIN && errno != EINTR) {
                std::fprintf(stderr, "aqtide-sim: %s\n", Texto_Error("lectura").c_str());
                return 1;
            }
        }
    }
    return 0;
}

}  // namespace aq::sim
