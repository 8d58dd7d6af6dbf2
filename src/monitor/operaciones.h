#pragma once
#include <QByteArray>
#include <QString>

#include "core/contexto.h"
#include "core/modo_equipo.h"
#include "monitor/registro_estado.h"

namespace aq {

// --- Status poll ---

enum class Fin_Estado {
    Leido,
    No_Reconocido,  // "??": "Comando no Reconocido"
    Sin_Respuesta,  // "NC": Error 003
    Desconocida,    // anything else: Error 004
};

struct Resultado_Estado {
    Fin_Estado fin = Fin_Estado::Desconocida;
    Registro_Estado registro;  // only when read
    QByteArray respuesta;      // as the exchange gave it
};

// Sends "L" and decodes the record; a record read is left in the program-wide variables as the
// monitor's poll leaves it (which also clears Memoria_Leida in REGISTRO).
Resultado_Estado Consultar_Estado(Contexto& ctx);

// The box of each outcome but success (title "Error en el link", no icon).
QString Mensaje_Estado(Fin_Estado fin);

// --- Mode switch ---

// A switch asks for one of the two modes, never Desconocido.
using Modo_Destino = Modo_Del_Equipo;

enum class Fin_Modo {
    Aceptado,               // "OK"
    Memoria_Inconsistente,  // "MI" (to REGISTRO only)
    Poco_Espacio,           // "PE" (to REGISTRO only): the logger stays in AJUSTE
    Sin_Respuesta,          // "NC": Error 008 / 010
    No_Reconocido,          // "??"
    Desconocida,            // anything else, "KO" included: Error 007 / 009
};

// Sends "AAA" or "RRR" and sorts the reply in the monitor's order.
Fin_Modo Cambiar_Modo(Contexto& ctx, Modo_Destino destino);

// The confirmation the monitor asks before the switch (exclamation icon, OK and Cancel,
// title Titulo_Confirmacion_Modo).
QString Confirmacion_Modo(Modo_Destino destino);
inline const QString Titulo_Confirmacion_Modo = QStringLiteral("Advertencia !!!");
// The box of each outcome but success; no icon.
QString Mensaje_Modo(Modo_Destino destino, Fin_Modo fin);
// "Error en el link", or the application's title for the two memory warnings.
QString Titulo_Modo(Fin_Modo fin);
// True when the monitor polls again after the switch (half a second later when
// Pausa_Antes_Del_Sondeo says so).
bool Sondea_Despues(Fin_Modo fin);
bool Pausa_Antes_Del_Sondeo(Modo_Destino destino, Fin_Modo fin);
// A switch to AJUSTE that failed on the link ends the monitor's work.
bool Cierra_Monitor(Modo_Destino destino, Fin_Modo fin);

// --- Date, time and interval ---

enum class Fin_Programacion {
    Aceptado,
    Valor_Invalido,  // nothing was sent
    Sin_Respuesta,   // "NC": Error 011 / 014 / 012
    Desconocida,     // anything else: no number / Error 015 / Error 013
};

enum class Programacion { Fecha, Hora, Intervalo };

// Day 1..31 as the month allows (February 29 in years divisible by 4), month 1..12, two-digit
// year 0..99. Sends "Fdd/mm/aa".
Fin_Programacion Programar_Fecha(Contexto& ctx, int dia, int mes, int anio);
// Hour 0..23, minute 0..59. Sends "Hhh:mm".
Fin_Programacion Programar_Hora(Contexto& ctx, int hora, int minuto);
// Interval code 0..6 (5, 10, 15, 30 minutes, 1, 2, 4 hours). Sends "Ic".
Fin_Programacion Programar_Intervalo(Contexto& ctx, int codigo);

bool Fecha_Valida(int dia, int mes, int anio);
bool Hora_Valida(int hora, int minuto);
bool Intervalo_Valido(int codigo);

// The box of each outcome but success (title "Error en el link", no icon).
QString Mensaje_Programacion(Programacion que, Fin_Programacion fin);
// The date dialog's box when the day chosen does not exist in the month; `dia_asumido` names
// the day it takes instead ("28 de Febrero").
QString Mensaje_Fecha_Asumida(const QString& dia_asumido);

}  // namespace aq
