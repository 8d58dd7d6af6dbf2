#pragma once
#include "core/estado.h"
#include "platform/ayuda.h"
#include "platform/dialogos.h"
#include "platform/perfil.h"
#include "platform/puerto.h"
#include "platform/reloj.h"

namespace aq {

// Everything a window or operation needs, injected: the state and every platform facility.
struct Contexto {
    Estado& estado;
    Puerto_Serie& puerto;
    Reloj& reloj;
    Dialogos& dialogos;
    Perfil& perfil;
    Ayuda& ayuda;
};

}  // namespace aq
