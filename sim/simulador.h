#pragma once
#include <cstdint>
#include <deque>
#include <functional>
#include <random>
#include <string>

#include "calendario.h"
#include "memoria_logger.h"
#include "opciones.h"

namespace aq::sim {

// The logger's behaviour on the line, free of any device: bytes in, timed replies out.
// Time is injected as monotonic milliseconds, so tests drive it by hand.
class Simulador_Logger {
  public:
    struct Envio {
        std::string texto;
        int64_t desde_ms = 0;  // do not start before this instant
        // The line is closed (and the program ends) after this many characters of `texto`.
        size_t cerrar_tras = std::string::npos;
    };

    static constexpr int64_t kSilencio_ms = 100;  // an unfinished command is dropped after it
    static constexpr int kLibres_Minimas = 16;    // fewer free words: "PE"

    Simulador_Logger(const Opciones_Simulador& o, const Memoria_Logger& m, const Fecha_Hora& inicio,
                     int64_t ahora_ms);

    void Recibir(const std::string& datos, int64_t ahora_ms);
    // Silence timeout and storing of readings up to `ahora_ms`.
    void Avanzar(int64_t ahora_ms);

    std::deque<Envio>& Salida() { return salida_; }

    bool En_Registro() const { return registro_; }
    int Intervalo() const { return intervalo_; }
    Fecha_Hora Fecha_Equipo(int64_t ahora_ms) const { return De_Segundos(Segundos(ahora_ms)); }
    const Memoria_Logger& Memoria() const { return memoria_; }
    std::string Estado(int64_t ahora_ms) const;  // the 49-character status block

    std::function<void(const std::string&)> Detalle;

  private:
    int64_t Segundos(int64_t ahora_ms) const;
    void Fijar_Reloj(int64_t segundos, int64_t ahora_ms);
    void Ejecutar(const std::string& comando, int64_t ahora_ms);
    void Responder(const std::string& clave, std::string texto, int64_t desde_ms,
                   size_t cerrar_tras = std::string::npos);
    std::string Programar(const std::string& comando, int64_t ahora_ms);
    bool Abrir_Bloque(int64_t ahora_ms);
    void Informar(const std::string& t) {
        if (Detalle) Detalle(t);
    }

    Opciones_Simulador op_;
    Memoria_Logger memoria_;
    std::deque<Envio> salida_;
    std::mt19937 azar_;

    // Logger clock: `base_seg_` at monotonic `ref_ms_`, running `op_.acelerar` times faster.
    int64_t base_seg_ = 0;
    int64_t ref_ms_ = 0;

    bool registro_ = false;
    int intervalo_ = 2;
    int posicion_ = kPalabras;  // next word for a reading
    int64_t proxima_ = 0;       // logger second of the next reading
    bool llena_ = true;

    std::string parcial_;
    bool basura_ = false;
    bool callado_ = false;  // after a command of --mudo-tras
    int64_t ultimo_byte_ms_ = 0;

    int checksum_malo_ = 0;
    int ruido_ = 0;
    int64_t retardo_ms_ = 10;
};

}  // namespace aq::sim
