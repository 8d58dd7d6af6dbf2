#include "link/comunic.h"

#include "link/sondeo.h"

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
    return Reabrir_Puerto(ctx_.puerto, 0, ctx_.estado.Puerto_Com);
}

}  // namespace aq
