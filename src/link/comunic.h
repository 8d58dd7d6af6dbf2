#pragma once
#include "core/contexto.h"

namespace aq {

// The port host: owns the opening of the one serial port for the whole run.
class Comunic {
  public:
    explicit Comunic(Contexto& ctx) : ctx_(ctx) {}
    // Opens the port `Puerto_Com`, except during the first run after installation.
    // An opening failure leaves the port closed: every exchange then answers "NC".
    void Cargar();
    void Descargar();
    bool Cargado() const { return cargado_; }
    // Closes the port if open, selects `Puerto_Com` and opens it again.
    bool Reabrir();

  private:
    Contexto& ctx_;
    bool cargado_ = false;
};

}  // namespace aq
