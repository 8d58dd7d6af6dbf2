#pragma once
#include <QByteArray>
#include <QString>
#include <functional>

#include "platform/puerto.h"
#include "platform/reloj.h"

namespace aq {

inline const QByteArray Comando_Borrado = QByteArrayLiteral("BBB");

// Time allowed for the erase, in milliseconds: 30 ms for every word in use plus 2 seconds.
double Tiempo_Borrado(int lugares_vacios);

// Waits for the answer to "BBB" (written at `t0`), gathering it across reads, until it is
// exactly one of the reply words or more than `tiempo_ms` have passed. Window events run on
// every pass; `avance` gets the elapsed milliseconds. Sleeps on the port between passes.
QByteArray Esperar_Respuesta_Borrado(Puerto_Serie& puerto, Reloj& reloj, double t0,
                                     double tiempo_ms,
                                     const std::function<void(double)>& avance = {});

enum class Fin_Borrado { Borrada, Fallida, No_Reconocido, Anormal, Sin_Respuesta };
Fin_Borrado Clasificar_Respuesta_Borrado(const QByteArray& respuesta);

// The message of each outcome but success (the box's text, exactly as shown).
QString Mensaje_Borrado(Fin_Borrado fin);

inline const QString Texto_Confirmar_Borrado =
    QStringLiteral("Se dispone a borrar la memoria.\nConfirma el borrado ?\n");
inline const QString Texto_Modo_Registro = QStringLiteral(
    "El equipo se encuentra en Modo REGISTRO\n"
    "Para poder borrar la memoria, deberá:\n"
    "   - pasar a Modo AJUSTE.\n"
    "   - volver a Leer la Memoria.\n"
    "   - Ejecutar nuevamente el comando de Borrar la Memoria.\n");
inline const QString Texto_Borrado_Exitoso =
    QStringLiteral("La memoria ha sido borrada y verificada exitosamente.");
inline const QString Titulo_Atencion = QStringLiteral("Atención !!!");

}  // namespace aq
