#include <csignal>
#include <cstdio>
#include <ctime>
#include <iostream>
#include <random>

#include "linea_pty.h"
#include "memoria_logger.h"
#include "opciones.h"
#include "simulador.h"

using namespace aq::sim;

namespace {

volatile std::sig_atomic_t g_fin = 0;

extern "C" void Al_Senal(int) {
    g_fin = 1;
}

void Instalar_Senales() {
    struct sigaction sa {};
    sa.sa_handler = Al_Senal;
    sigemptyset(&sa.sa_mask);
    sa.sa_flags = 0;  // no SA_RESTART: poll() returns at once
    sigaction(SIGINT, &sa, nullptr);
    sigaction(SIGTERM, &sa, nullptr);
    sigaction(SIGHUP, &sa, nullptr);
    std::signal(SIGPIPE, SIG_IGN);
}

bool Fecha_Inicial(const Opciones_Simulador& o, Fecha_Hora& f, std::string& error) {
    const std::time_t t = std::time(nullptr);
    std::tm tm{};
    localtime_r(&t, &tm);
    f.dia = tm.tm_mday;
    f.mes = tm.tm_mon + 1;
    f.anio = (tm.tm_year + 1900) % 100;
    f.hora = tm.tm_hour;
    f.minuto = tm.tm_min;
    f.segundo = tm.tm_sec;
    if (!o.fecha.empty()) {
        f.dia = std::stoi(o.fecha.substr(0, 2));
        f.mes = std::stoi(o.fecha.substr(3, 2));
        f.anio = std::stoi(o.fecha.substr(6, 2));
        if (f.mes < 1 || f.mes > 12 || f.dia < 1 || f.dia > Dias_Del_Mes(f.mes, f.anio)) {
            error = "fecha inexistente: " + o.fecha;
            return false;
        }
    }
    if (!o.hora.empty()) {
        f.hora = std::stoi(o.hora.substr(0, 2));
        f.minuto = std::stoi(o.hora.substr(3, 2));
        f.segundo = 0;
        if (f.hora > 23 || f.minuto > 59) {
            error = "hora inexistente: " + o.hora;
            return false;
        }
    }
    return true;
}

int Fallar(const std::string& error) {
    std::cerr << "aqtide-sim: " << error << "\n";
    return 2;
}

}  // namespace

int main(int argc, char** argv) {
    Opciones_Simulador o;
    std::string error;
    if (!Analizar_Opciones(argc, argv, o, error))
        return Fallar(error + "\n(aqtide-sim --help muestra las opciones)");
    if (o.ayuda) {
        std::cout << Texto_Ayuda();
        return 0;
    }
    if (o.semilla == 0) o.semilla = std::random_device{}();

    Fecha_Hora inicio;
    if (!Fecha_Inicial(o, inicio, error)) return Fallar(error);
    Memoria_Logger memoria;
    if (!o.vacia) memoria.Precargar(A_Segundos(inicio), o.alcance, o.equipo);
    if (!o.memoria.empty()) {
        if (!memoria.Cargar_Respaldo(o.memoria, error)) return Fallar(error);
        if (!error.empty()) std::cerr << "aqtide-sim: aviso: " << error << "\n";
    }

    Instalar_Senales();
    Linea_Pty linea;
    if (!linea.Abrir(error)) return Fallar(error);
    if (!o.enlace.empty() && !linea.Crear_Enlace(o.enlace, error)) return Fallar(error);

    Simulador_Logger sim(o, memoria, inicio, Ahora_ms());
    if (o.detalle)
        sim.Detalle = [](const std::string& t) { std::cerr << "aqtide-sim: " << t << "\n"; };

    if (o.registro && !sim.En_Registro())
        std::cerr << "aqtide-sim: aviso: poca memoria libre, el equipo queda en Modo AJUSTE\n";

    std::cout << linea.Esclavo() << std::endl;
    const int rc = Atender_Linea(sim, linea, o.rapido, o.byte_a_byte, g_fin);
    linea.Cerrar();
    return rc;
}
