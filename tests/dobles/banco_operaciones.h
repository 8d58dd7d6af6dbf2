#pragma once
#include "core/contexto.h"
#include "dobles/dialogos_guionados.h"
#include "dobles/puerto_guionado.h"

namespace aq {

// The program's state over a scripted line and a virtual clock, without any window.
struct Banco_Operaciones {
    Estado estado;
    Reloj_Virtual reloj;
    Puerto_Guionado puerto{reloj};
    Perfil_Memoria perfil;
    Contexto ctx{estado, puerto, reloj, perfil};

    Banco_Operaciones() { puerto.setPortOpen(true); }
};

inline const QByteArray U32 = QByteArray(32, 'U');

}  // namespace aq
