#pragma once
#include <QByteArray>
#include <QString>
#include <array>

namespace aq {

inline const QString Filtro_Visor =
    QStringLiteral("Todos los archivos (*.*)|*.*|Archivo(*.txt)|*.txt| CSV (*.csv)|*.csv|");
inline const QString Texto_Ok = QStringLiteral("ok");
inline const QString Texto_No_Ok = QStringLiteral("notOk");

// The characters a data file written by the program may hold, by Latin-1 code.
const std::array<bool, 256>& Caracteres_Permitidos();

// True when the lower-cased path ends in ".txt" or ".csv".
bool Extension_Valida(const QString& ruta);

// Result of reading a whole file against the allowed characters.
struct Revision_Contenido {
    bool legible = true;  // false: could not be opened or read
    bool valido = true;   // all characters allowed (and the file readable)
    qint64 linea = 0;     // first offending byte, 1-based line and column
    qint64 columna = 0;
    unsigned char byte = 0;
    QString error;  // why it could not be read
};

Revision_Contenido Revisar_Contenido(const QString& ruta);

// "ok" when the file consists only of allowed characters, "notOk" otherwise or when it cannot
// be read.
QString Verificar_Archivo(const QString& ruta);

// Places of the viewer's controls, in twips, from the window's outer size.
struct Disposicion_Visor {
    double ancho_lista, alto_lista, izquierda_lista, arriba_lista;
    double izquierda_boton, arriba_boton;
    double izquierda_texto, ancho_texto, arriba_texto;
};

Disposicion_Visor Calcular_Disposicion_Visor(double ancho, double alto, double ancho_boton,
                                             double alto_texto);

// Twips at 96 dots per inch.
inline int Twips_A_Pixeles(double twips) {
    return qRound(twips / 15.0);
}
inline double Pixeles_A_Twips(int pixeles) {
    return pixeles * 15.0;
}

// Tabs replaced by blanks up to the next stop (every `paso` characters), as a list shows them.
QString Expandir_Tabulaciones(const QString& texto, int paso = 8);

}  // namespace aq
