#pragma once
#include <map>
#include <set>
#include <string>

namespace aq::sim {

struct Opciones_Simulador {
    // Initial state of the logger.
    bool registro = false;
    bool vacia = false;
    std::string memoria;  // raw backup to load
    int equipo = 1;
    int alcance = 0;    // range code: 0 = 4 m, 1 = 8 m, 2 = 20 m
    int intervalo = 2;  // 15 minutes
    std::string fecha;  // "dd/mm/yy", empty: the PC's date
    std::string hora;   // "hh:mm", empty: the PC's time
    double acelerar = 1.0;

    // Line.
    bool rapido = false;
    bool byte_a_byte = false;  // one character per write, as a UART without FIFO delivers them
    std::string enlace;
    bool detalle = false;
    unsigned semilla = 0;  // 0: taken from the clock

    // Faults. Command keys: U (link check), V, L, AAA, RRR, F, H, I, DDD, BBB.
    bool mudo = false;
    std::set<std::string> mudo_a;
    std::set<std::string> mudo_tras;  // answered, and then nothing more is
    std::string version = "AQ-TIDE 1.0";
    int checksum_malo = 0;
    std::map<std::string, std::string> responder;
    std::set<std::string> extra;
    long corte = -1;
    bool dump_largo = false;
    int ruido = 0;
    long cerrar_en = -1;
    std::set<std::string> cerrar_tras;  // commands on which the line closes unanswered

    bool ayuda = false;
};

// Command key of a received command, or of a key written in an option ("UUU..." -> "U",
// "F05/06/02" -> "F").
std::string Clave_Comando(const std::string& comando);

bool Analizar_Opciones(int argc, const char* const* argv, Opciones_Simulador& o,
                       std::string& error);
std::string Texto_Ayuda();

}  // namespace aq::sim
