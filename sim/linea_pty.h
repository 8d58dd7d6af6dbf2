#pragma once
#include <csignal>
#include <string>

#include "simulador.h"

namespace aq::sim {

// The logger's end of a pseudo-terminal. A slave descriptor is kept open here so that the
// supervisor can close and reopen its port without the master seeing a hang-up.
class Linea_Pty {
  public:
    Linea_Pty() = default;
    Linea_Pty(const Linea_Pty&) = delete;
    Linea_Pty& operator=(const Linea_Pty&) = delete;
    ~Linea_Pty() { Cerrar(); }

    bool Abrir(std::string& error);
    // Symbolic link to the slave; an earlier link of that name is replaced, a file is not.
    bool Crear_Enlace(const std::string& ruta, std::string& error);
    void Cerrar();
    // Waits (at most `limite_ms`) until the other end has read what was sent: closing the
    // master throws away whatever is still queued, and a cut cable would not.
    void Esperar_Lectura(int limite_ms);

    int Maestro() const { return maestro_; }
    const std::string& Esclavo() const { return esclavo_ruta_; }

  private:
    int maestro_ = -1;
    int esclavo_ = -1;
    std::string esclavo_ruta_;
    std::string enlace_;
};

int64_t Ahora_ms();

// Serves the line until `fin` is set or a reply asks to close it. Returns the exit code.
// `byte_a_byte`: each character in a write of its own, at the line's pace.
int Atender_Linea(Simulador_Logger& sim, Linea_Pty& linea, bool rapido, bool byte_a_byte,
                  const volatile std::sig_atomic_t& fin);

}  // namespace aq::sim
