#pragma once
#include <array>
#include <cstdint>
#include <string>

#include "calendario.h"

namespace aq::sim {

constexpr int kPalabras = 4096;
constexpr uint16_t kMarca = 0xAA55;
constexpr uint16_t kLibre = 0xFFFF;
constexpr int kLargo_Volcado = 20487;

struct Encabezado {
    int alcance = 0;  // range code 0..2
    int equipo = 0;   // 0..255
    int intervalo = 0;
    Fecha_Hora inicio;
};

// The logger's 4096 words: blocks of a marker, four header words and 12-bit readings,
// packed from word 0; free words hold FFFF.
class Memoria_Logger {
  public:
    Memoria_Logger() { Vaciar(); }

    void Vaciar() { palabras_.fill(kLibre); }
    uint16_t Palabra(int i) const { return palabras_[i]; }
    void Poner(int i, uint16_t v) { palabras_[i] = v; }

    int Primera_Libre() const;      // kPalabras when there is none
    int Palabras_Ocupadas() const;  // words that are not FFFF
    int Libres_Contiguas() const;   // run of FFFF that starts at the first free word
    // Blocks packed from word 0 with sound headers and readings, then only free words.
    bool Es_Consistente() const;

    // Writes the five header words at `p`; false when they do not fit.
    bool Escribir_Encabezado(int p, const Encabezado& e);

    // The 20487-character answer to the dump command.
    std::string Texto_Volcado() const;
    static int Suma_Control(const std::string& texto_palabras);

    // Raw backup: the first 4096 lines, "XXXX " or "XXXX". Missing lines stay free.
    bool Cargar_Respaldo(const std::string& ruta, std::string& error);

    // A few plausible blocks ending shortly before `ahora` (logger seconds).
    void Precargar(int64_t ahora, int alcance, int equipo);

  private:
    std::array<uint16_t, kPalabras> palabras_;
};

}  // namespace aq::sim
