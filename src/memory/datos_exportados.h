#pragma once
#include <QByteArray>
#include <QDateTime>
#include <QString>
#include <vector>

#include "memory/archivos.h"

namespace aq {

// One reading of a data file. The value is taken as written: the decoder already multiplied the
// 12-bit reading by the factor of the block's range, so the number in the file is the water
// column in millimetres and is not scaled again.
struct Lectura_Exportada {
    QDateTime momento;  // the logger's wall-clock time, kept as UTC so no daylight rule moves it
    int milimetros = 0;
};

// One data block of the file, as its report lines describe it.
struct Bloque_Exportado {
    int numero = 0;                // "Bloque de datos Nº:"; 0 for readings found before any block
    int equipo = -1;               // -1 when the block does not say
    QString alcance;               // "4  Metros", as written
    QString intervalo;             // "15 minutos", as written
    QDateTime inicio;              // invalid when missing or not a calendar date
    int lecturas_declaradas = -1;  // "Datos Del Bloque:"
    bool inconsistente = false;    // the block ended on a word that was not a reading
    std::vector<Lectura_Exportada> lecturas;
};

struct Datos_Exportados {
    QString ruta;
    QString error;  // empty when the file was read
    bool memoria_inconsistente = false;
    // Reading lines whose date or time is no calendar date (day 0, 31/04, hour 24 ...): the
    // decoder writes them for a header that passed its upper-bound test; they cannot be placed
    // on a time axis and are left out.
    int lecturas_sin_fecha = 0;
    std::vector<Bloque_Exportado> bloques;

    bool Valido() const { return error.isEmpty(); }
    int Total_Lecturas() const;
};

// Largest file taken as a data file; a whole memory decodes to about 120 KB.
constexpr qint64 Tamano_Maximo_Datos = 16 * 1024 * 1024;

// Reads a data file written by Analizar_Memoria, with ";" or tabs, Latin-1 (or UTF-8 after an
// editor converted it), CR LF or LF. Anything else comes back with `error` in Spanish: a
// missing, unreadable, oversized or foreign file, or a path that is no regular file (a FIFO or
// a device is refused before it is opened, so reading never blocks).
Datos_Exportados Leer_Datos_Exportados(const QString& ruta);

// The same on the bytes of a file; `ruta` only names it in the result.
Datos_Exportados Interpretar_Datos_Exportados(const QByteArray& contenido,
                                              const QString& ruta = QString());

}  // namespace aq
