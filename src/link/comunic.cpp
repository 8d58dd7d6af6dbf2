#include "link/comunic.h"

namespace aq {

void Comunic::Cargar() {
    cargado_ = true;
    if (!ctx_.estado.Instalando) Reabrir();
}

void Comunic::Descargar() {
    if (ctx_.puerto.PortOpen()) ctx_.puerto.setPortOpen(false);
    cargado_ = false;
}

bool Comunic::Reabrir() {
    if (ctx_.puerto.PortOpen()) ctx_.puerto.setPortOpen(false);
    ctx_.puerto.setCommPort(ctx_.estado.Puerto_Com);
    return ctx_.puerto.setPortOpen(true);
}

}  // namespace aq
