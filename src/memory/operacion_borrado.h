#pragma once
#include <QByteArray>
#include <QString>
#include <functional>

#include "core/contexto.h"
#include "memory/borrado.h"

namespace aq {

// The main menu's refusal while the memory has not been read (exclamation icon, "Atención !!!").
inline const QString Texto_Borrar_Sin_Lectura = QStringLiteral(
    "Para poder borrar la memoria, debe habela leído previamente.\n"
    "Lea la memoria y podrá acceder al menú de borrado.\n");

enum class Fin_Borrado_Equipo {
    Cancelado,      // not confirmed: nothing was sent
    Modo_Registro,  // not in AJUSTE, or no status: "BBB" not sent, Memoria_Leida cleared
    Borrada,        // "OK": erased and verified by the logger
    Fallida,        // "KO": Error 019
    No_Reconocido,  // "??": Error 020
    Anormal,        // anything else when the time ran out: Error 021
    Sin_Respuesta,  // nothing at all: Error 022
};

struct Seguimiento_Borrado {
    // The confirmation (Texto_Confirmar_Borrado); empty: confirmed.
    std::function<bool()> confirmar;
    // Elapsed milliseconds of the wait and the bar's maximum (time allowed - 1000); the value
    // is the maximum once erased and 0 after a failure.
    std::function<void(int valor, int maximo)> avance;
};

struct Resultado_Borrado {
    Fin_Borrado_Equipo fin = Fin_Borrado_Equipo::Cancelado;
    QByteArray modo;       // mode code of the status read before the erase
    QByteArray respuesta;  // the answer to "BBB" as gathered
    double tiempo_ms = 0;  // time allowed
};

// The erase as the erase window does it: confirmation, link check (not examined), "L", half a
// second, then "BBB" only in AJUSTE, waiting a time that grows with the words in use
// (Lugares_Vacios of the last decoding) for the reply word.
Resultado_Borrado Borrar_Memoria_Equipo(Contexto& ctx, const Seguimiento_Borrado& seguimiento = {});

// The box of each outcome but cancel: Texto_Modo_Registro (exclamation, "Atención !!!"), the
// success text (information) or the failures (critical), these with the application's title.
QString Mensaje_Resultado_Borrado(Fin_Borrado_Equipo fin);

}  // namespace aq
