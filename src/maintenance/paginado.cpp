#include "maintenance/paginado.h"

#include <QFile>
#include <QFileDevice>
#include <Qt>

namespace aq {

Movimiento Tecla_Paginado(int tecla, int fila, int primera, int maxima) {
    const int ultima_fila = Filas_Pagina - 1;
    switch (tecla) {
        case Qt::Key_Down:
            if (fila != ultima_fila) break;
            return {qMin(primera + 1, maxima), ultima_fila, true};
        case Qt::Key_Up:
            if (fila != 0) break;
            return {qMax(primera - 1, 1), 0, true};
        case Qt::Key_PageDown:
            if (fila != ultima_fila) break;
            return {qMin(primera + Paso_Pagina, maxima), ultima_fila, true};
        case Qt::Key_PageUp:
            if (fila != 0) break;
            return {qMax(primera - Paso_Pagina, 1), 0, true};
        case Qt::Key_End:
            return {maxima, ultima_fila, true};
        case Qt::Key_Home:
            return {1, 0, true};
        default:
            break;
    }
    return {primera, fila, false};
}

int Maxima_Primera_Linea(int lineas) {
    return qMax(1, lineas - (Filas_Pagina - 1));
}

QByteArray Registro_Fijo(const QByteArray& linea) {
    QByteArray r = linea.left(Largo_Registro);
    if (r.size() < Largo_Registro) r.append(Largo_Registro - r.size(), ' ');
    return r;
}

Resultado_Paginado Escribir_Paginado(QIODevice& origen, QIODevice& destino, int* lineas) {
    int n = 0;
    if (lineas) *lineas = 0;
    if (!origen.isReadable()) return Resultado_Paginado::Origen_Ilegible;
    while (!origen.atEnd()) {
        QByteArray linea = origen.readLine();
        if (linea.isEmpty() && !origen.atEnd()) return Resultado_Paginado::Origen_Ilegible;
        if (linea.endsWith('\n')) linea.chop(1);
        if (linea.endsWith('\r')) linea.chop(1);
        if (destino.write(Registro_Fijo(linea)) != Largo_Registro)
            return Resultado_Paginado::Destino_Fallido;
        if (lineas) *lineas = ++n;
    }
    // A buffered file reports a full disk only when its buffer goes out.
    if (auto* archivo = qobject_cast<QFileDevice*>(&destino); archivo && !archivo->flush())
        return Resultado_Paginado::Destino_Fallido;
    return Resultado_Paginado::Correcto;
}

QList<QByteArray> Leer_Pagina(const QString& ruta, int primera, int cantidad) {
    QList<QByteArray> filas;
    filas.reserve(cantidad);
    QFile archivo(ruta);
    const bool abierto = !ruta.isEmpty() && primera >= 1 && archivo.open(QIODevice::ReadOnly);
    if (abierto && archivo.seek(qint64(primera - 1) * Largo_Registro)) {
        const QByteArray bloque = archivo.read(qint64(cantidad) * Largo_Registro);
        for (qsizetype p = 0; p + Largo_Registro <= bloque.size(); p += Largo_Registro)
            filas.append(bloque.mid(p, Largo_Registro));
    }
    while (filas.size() < cantidad) filas.append(QByteArray());
    return filas;
}

}  // namespace aq
