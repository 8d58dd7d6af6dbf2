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

inline QByteArray Leer(const QString& ruta) {
    QFile f(ruta);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

}  // namespace aq
