#pragma once
#include <QByteArray>
#include <QFile>
#include <QList>
#include <QString>

namespace aq {

// Words of one block: header (range, equipment, interval code, start dd/mm/yy hh:mm), then one
// word per reading value.
inline QList<QByteArray> Bloque_Prueba(int alcance, int equipo, int intervalo, int dia, int mes,
                                       int anio, int hora, int minuto, const QList<int>& valores) {
    auto w = [](int v) { return QByteArray::number(v, 16).toUpper().rightJustified(4, '0'); };
    QList<QByteArray> palabras{"AA55", w(alcance * 256 + equipo), w(intervalo * 256 + hora),
                               w(minuto * 256 + dia), w(mes * 256 + anio)};
    for (int v : valores) palabras << w(v);
    return palabras;
}

// A raw backup as the download writes it: 4096 words ("FFFF" after `palabras`), the checksum
// word, the two closing characters; CR LF after each. `desvio` spoils the checksum.
inline QByteArray Respaldo_Prueba(const QList<QByteArray>& palabras, int desvio = 0) {
    QByteArray memoria, texto;
    memoria.reserve(20480);
    texto.reserve(4098 * 7);
    for (int i = 0; i < 4096; ++i) {
        const QByteArray p = (i < palabras.size() ? palabras[i] : QByteArray("FFFF")) + ' ';
        memoria += p;
        texto += p + "\r\n";
    }
    long suma = 0;
    for (char c : memoria) suma += static_cast<unsigned char>(c);
    const int control = int((suma % 65536 % 10000 + desvio) % 10000);
    return texto + QByteArray::number(control).rightJustified(4, '0') + " \r\n\r\n\r\n";
}

inline bool Escribir_Prueba(const QString& ruta, const QByteArray& datos) {
    QFile f(ruta);
    return f.open(QIODevice::WriteOnly) && f.write(datos) == datos.size();
}

}  // namespace aq
