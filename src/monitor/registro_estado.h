#pragma once
#include <QByteArray>
#include <QString>

#include "core/estado.h"

namespace aq {

constexpr int Capacidad_Memoria = Palabras_Memoria;

// The fields of the logger's 49-character reply to "L", as the monitor shows them.
struct Registro_Estado {
    QString Equipo;     // 1-3
    QString Alcance;    // 5-6, metres
    QString Lectura;    // 8-11 already scaled to millimetres
    QString Fecha;      // 13-20 "dd/mm/aa"
    QString Hora;       // 22-26 "hh:mm"
    QString Intervalo;  // 28-35
    QString Modo;       // 37-38
    QString Registros;  // 40-43, records held
};

// False (and `r` untouched) unless the reply is a full status record.
bool Decodificar_Estado(const QByteArray& respuesta, Registro_Estado* r);

// Raw reading times the scale of the range (range / 4), as a plain number.
QString Lectura_Milimetros(const QString& alcance, const QString& lectura);

// Code 0..6 of an 8-character interval text of the status record; -1 when it is none of them.
int Codigo_Intervalo(const QString& texto);

// "N Registros Disponibles", or "Memoria con Inconsistencias" when the count held is over the
// capacity or is not a number at all.
QString Texto_Registros_Disponibles(const QString& ocupados);

// Leaves the poll's values in the program-wide variables the programming dialogs start from.
void Guardar_Estado(Estado& estado, const Registro_Estado& r);

}  // namespace aq
