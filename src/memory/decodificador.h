#pragma once
#include <QByteArray>
#include <QString>
#include <QStringList>
#include <vector>

#include "core/estado.h"
#include "memory/archivos.h"

namespace aq {

// Words of the memory image with a role of their own.
inline const QByteArray Marca_Bloque = QByteArrayLiteral("AA55 ");
inline const QByteArray Celda_Vacia = QByteArrayLiteral("FFFF ");

// Work files of the decoder, in its work folder; removed ("*.KVX") at the end.
inline const QString Archivo_Bloque = QStringLiteral("DAT$$QTW.KVX");
inline const QString Archivo_Informe = QStringLiteral("COM$$QTW.KVX");

// One reading as the walk dates it: two-digit year; `valor` is the water column in mm (the
// word's value times the range factor).
struct Lectura_Decodificada {
    int dia = 0, mes = 0, anio = 0, hora = 0, minuto = 0;
    int valor = 0;
};

// How a block ended: on the next marker, on an empty cell, on a word that is neither (the
// block is then inconsistent), or at the end of the memory.
enum class Fin_Bloque { Marca, Vacia, Inconsistente, Fin_Memoria };

// A block whose header passed the test, with its readings in memory order.
struct Bloque_Decodificado {
    int numero = 0;               // 1 for the first block that passed
    int alcance = 0;              // range code 0..2
    int equipo = 0;               // 0..255
    int intervalo = 0;            // interval code 0..6
    Lectura_Decodificada inicio;  // block start (valor unused)
    std::vector<Lectura_Decodificada> lecturas;
    Fin_Bloque fin = Fin_Bloque::Fin_Memoria;
};

// The blocks of words 0..4095, found by the same walk that Analizar_Memoria reports.
std::vector<Bloque_Decodificado> Recorrer_Memoria(const std::vector<QByteArray>& imagen);

// Decodes estado.Imagen_Memoria[0..4095] into `ruta` (summary then blocks) with `separador`
// (";" or "\t"), through the safe writer: `entradas` are the files the caller read, which `ruta`
// may not be. The work files are made in `carpeta_trabajo` (empty: the output's folder), or in a
// temporary folder when they cannot be made there. Returns the file failure that ended it
// (kind and file), none when whole.
Falla_En_Archivo Analizar_Memoria(Estado& estado, const QString& ruta, const QByteArray& separador,
                                  const QString& carpeta_trabajo = QString(),
                                  const QStringList& entradas = {});

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
