#pragma once
#include <QByteArray>
#include <QString>
#include <functional>

#include "core/estado.h"
#include "memory/archivos.h"

namespace aq {

// Expanding a raw backup back into readable data: the expander window and `aqtide-cli expandir`.

enum class Fin_Expansion {
    Expandida,           // the output is whole
    Resguardo_Ilegible,  // missing, unreadable, special or short backup: nothing changed
    Falla_Salida,        // the decoding failed (output, work files); the image was replaced
};

struct Resultado_Expansion {
    Fin_Expansion fin = Fin_Expansion::Expandida;
    QString error;           // Resguardo_Ilegible: why, for the user (may be empty)
    Falla_En_Archivo falla;  // Falla_Salida: kind and file
};

// Steps the window shows; each may be left empty.
struct Seguimiento_Expansion {
    std::function<void()> leido;        // the backup was read whole; the image changes next
    std::function<void(int)> avance;    // word i (0..4095) is in the image
    std::function<void()> expandiendo;  // before the decoding
};

// Reads the first 4096 lines of `resguardo` into the memory image (Memoria_Leida then false:
// the image no longer is a fresh download) and decodes it into `salida` with `separador`, the
// work files beside `salida`. The backup is read before anything changes; `salida` may not be
// the backup itself (by device and inode, whatever the name).
Resultado_Expansion Expandir_Resguardo(Estado& estado, const QString& resguardo,
                                       const QString& salida, const QByteArray& separador,
                                       const Seguimiento_Expansion& seguimiento = {});

// The message of a failed expansion (the box's text, or the command line's after the path).
QString Mensaje_Expansion(const Resultado_Expansion& r);

}  // namespace aq
