#pragma once
#include "core/contexto.h"
#include "platform/ayuda.h"
#include "platform/dialogos.h"

namespace aq {

// What the windows add to the operations' context: the message boxes, the file dialogs and the
// manual. Passed wherever a window hands the context down to an operation.
struct Contexto_Ventanas : Contexto {
    Dialogos& dialogos;
    Ayuda& ayuda;
};

}  // namespace aq
