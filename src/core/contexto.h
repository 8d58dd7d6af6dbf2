#pragma once
#include "core/estado.h"
#include "platform/perfil.h"
#include "platform/puerto.h"
#include "platform/reloj.h"

namespace aq {

// Everything an operation needs, injected: the state and the facilities below the windows.
struct Contexto {
    Estado& estado;
    Puerto_Serie& puerto;
    Reloj& reloj;
    Perfil& perfil;
};

}  // namespace aq
