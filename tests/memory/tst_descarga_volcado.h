#pragma once
#include <QByteArray>
#include <QFile>
#include <QList>

namespace aq {

// A dump as the logger sends it: the words (4 hex digits each, the rest "FFFF"), a checksum
// word of four digits and a blank, and CR LF. `desvio` spoils the checksum.
inline QByteArray Volcado_De(const QList<QByteArray>& palabras, int desvio = 0) {
    QByteArray t;
    for (int i = 0; i < 4096; ++i) t += (i < palabras.size() ? palabras[i] : "FFFF") + ' ';
    long suma = 0;
    for (char c : t) suma += static_cast<unsigned char>(c);
    const int control = (suma % 65536 % 10000 + desvio) % 10000;
    return t + QByteArray::number(control).rightJustified(4, '0') + " \r\n";
}

// One block: 4 m, equipment 7, 15 minutes, 10:07 on 15/03/02, readings 256 and 257.
inline QList<QByteArray> Bloque_Ejemplo() {
    return {"AA55", "0007", "020A", "070F", "0302", "0100", "0101"};
}

// A memory word as the dump holds it: four hex digits and a blank.
inline QByteArray W(int v) {
    return QByteArray::number(v, 16).toUpper().rightJustified(4, '0') + ' ';
}

// Header words of a block: range, equipment, interval, hh:mm, dd/mm/yy.
inline QList<QByteArray> Encabezado(int alcance, int equipo, int intervalo, int hora, int minuto,
                                    int dia, int mes, int anio) {
    return {"AA55 ", W(alcance * 256 + equipo), W(intervalo * 256 + hora), W(minuto * 256 + dia),
            W(mes * 256 + anio)};
}

inline QByteArray Leer(const QString& ruta) {
    QFile f(ruta);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

}  // namespace aq
