#pragma once
#include <QByteArray>
#include <QIODevice>
#include <QList>
#include <QString>

namespace aq {

// The expander shows its expanded text through a file of fixed-length records, so that any page
// costs the same to read however long the text is.
constexpr int Largo_Registro = 50;
constexpr int Filas_Pagina = 19;
constexpr int Paso_Pagina = 18;  // one line of the previous page stays in view

inline const QString Nombre_Expandido = QStringLiteral("EXPAND$$.TXT");
inline const QString Nombre_Paginado = QStringLiteral("AMORTI.TMP");

// Outcome of a key in the expander's list: the first line shown, the row selected afterwards,
// and whether the key was taken (otherwise the list moves the selection itself).
struct Movimiento {
    int primera;
    int fila;
    bool atendida;
};

// `tecla` is a Qt::Key; `fila` the selected row (-1 for none); `primera` the first line shown F;
// `maxima` the highest first line M.
Movimiento Tecla_Paginado(int tecla, int fila, int primera, int maxima);

// Highest first line for a text of `lineas` lines: the last page is full, and a text that
// fits in one page cannot move.
int Maxima_Primera_Linea(int lineas);

// One line as a record: cut to its first 50 characters or padded with blanks.
QByteArray Registro_Fijo(const QByteArray& linea);

enum class Resultado_Paginado { Correcto, Origen_Ilegible, Destino_Fallido };

// Copies every line of `origen` (CR LF, LF or CR ended) into `destino` as fixed-length records.
// `lineas` receives the number of records written. Destino_Fallido means a write failed
// (normally a full disk).
Resultado_Paginado Escribir_Paginado(QIODevice& origen, QIODevice& destino, int* lineas);

// Records `primera` to `primera + cantidad - 1` of the paging file at `ruta` (records numbered
// from 1). Records past the end of the file, or of a file that cannot be read, come back as
// blank rows. Never creates the file.
QList<QByteArray> Leer_Pagina(const QString& ruta, int primera, int cantidad = Filas_Pagina);

}  // namespace aq
