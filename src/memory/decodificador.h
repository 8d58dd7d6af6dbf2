#pragma once
#include <QByteArray>
#include <QString>
#include <vector>

#include "core/estado.h"
#include "platform/dialogos.h"

namespace aq {

// Words of the memory image with a role of their own.
inline const QByteArray Marca_Bloque = QByteArrayLiteral("AA55 ");
inline const QByteArray Celda_Vacia = QByteArrayLiteral("FFFF ");

// Work files of the decoder, in the current directory; removed ("*.KVX") at the end.
inline const QString Archivo_Bloque = QStringLiteral("DAT$$QTW.KVX");
inline const QString Archivo_Informe = QStringLiteral("COM$$QTW.KVX");

// Decodes estado.Imagen_Memoria[0..4095] into `ruta` (summary then blocks) with `separador`
// (";" or "\t"). Returns false when a file failure ended it; the failure was then shown
// through `avisos` (no icon, OK, application title) when `avisos` is not null.
bool Analizar_Memoria(Estado& estado, const QString& ruta, const QByteArray& separador,
                      Dialogos* avisos);

// True for a reading: the text lies between "0000 " and "0FFF " (byte order) and its first
// four characters are hexadecimal digits (upper case).
bool Es_Lectura(const QByteArray& palabra);

// Header test of the block whose marker should be at `indice`: true and `indice` on the first
// reading, or false and `indice` one word further.
bool Validar_Encabezado(const std::vector<QByteArray>& imagen, int& indice);

// Moves the timestamp to the next point of the interval's grid (codes 0..6; others: no change).
void Avanzar_Intervalo(int& dia, int& mes, int& anio, int& hora, int& minuto, int intervalo);

// Adds one hour, carrying into day, month and two-digit year.
void Sumar_Hora(int& dia, int& mes, int& anio, int& hora, int& minuto);

// Value of a word: its first four characters as upper-case hexadecimal, or -1 when they are not.
int Valor_Palabra(const QByteArray& palabra);

}  // namespace aq
