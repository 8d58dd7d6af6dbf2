#pragma once
#include <QByteArray>
#include <QString>
#include <QStringList>

#include "core/estado.h"

namespace aq {

// Interval texts of the status record; the position is the interval code.
inline const QStringList Textos_Intervalo_Estado = {
    QStringLiteral("5  min  "), QStringLiteral("10 min  "), QStringLiteral("15 min  "),
    QStringLiteral("30 min  "), QStringLiteral("1 hora  "), QStringLiteral("2 hrs.  "),
    QStringLiteral("4 hrs.  ")};

// Items of the interval dialog's list, by code.
inline const QStringList Items_Intervalo = {
    QStringLiteral(" 5 minutos"), QStringLiteral("10 minutos"), QStringLiteral("15 minutos"),
    QStringLiteral("30 minutos"), QStringLiteral(" 1 hora   "), QStringLiteral(" 2 horas  "),
    QStringLiteral(" 4 horas  ")};

// Fills Nombres_Meses and Dias_Mes (1..12), February by the two-digit year in `anio`.
void Llenar_Tablas_Fecha(Estado& estado, const QString& anio);

// Two-digit years only: divisible by 4, so 00 is leap.
bool Es_Bisiesto(const QString& anio);
void Fijar_Febrero(Estado& estado, const QString& anio);

// The year box's text as exactly two digits, from its last two characters ("2004" -> "04",
// "2" -> "02", "" or "xy" -> "00").
QString Anio_Dos_Digitos(const QString& texto);

// List index for a remembered value: value - base when it falls inside 0..n-1, else `defecto`.
int Indice_Valido(const QString& valor, int base, int n, int defecto);

// "Fdd/mm/aa", "Hhh:mm", "Ic".
QByteArray Comando_Fecha(int dia, int mes, const QString& anio);
QByteArray Comando_Hora(int hora, int minuto);
QByteArray Comando_Intervalo(int codigo);

// Last line of the invalid-date box: "30 de Abril".
QString Dia_Asumido(const Estado& estado, int mes);

}  // namespace aq
