#include "maintenance/modelo_lineas.h"

#include <QFile>
#include <cstring>

#include "platform/archivo_regular.h"

namespace aq {

Modelo_Lineas::Modelo_Lineas(QObject* parent) : QAbstractListModel(parent) {}

bool Modelo_Lineas::Cargar(const QString& ruta, QString* error) {
    QFile archivo(ruta);
    QByteArray datos;
    QString motivo;
    bool ok = Abrir_Lectura_Regular(archivo, &motivo) == Apertura::Abierto;
    if (ok) {
        // One allocation of the final size: a readAll that grows would briefly double it.
        const qint64 tamano = archivo.size();
        if (tamano > Tamano_Maximo) {
            if (error) *error = QStringLiteral("El archivo es demasiado grande para visualizarlo.");
            Asignar(QByteArray());
            return false;
        }
        datos.resize(tamano);
        qint64 leidos = 0;
        while (ok && leidos < tamano) {
            const qint64 n = archivo.read(datos.data() + leidos, tamano - leidos);
            if (n < 0) ok = false;
            if (n <= 0) break;
            leidos += n;
        }
        datos.truncate(leidos);
    }
    if (!ok) {
        if (error) *error = archivo.isOpen() ? archivo.errorString() : motivo;
        Asignar(QByteArray());
        return false;
    }
    Asignar(std::move(datos));
    return true;
}

void Modelo_Lineas::Asignar(QByteArray datos) {
    beginResetModel();
    datos_ = std::move(datos);
    Indexar();
    endResetModel();
}

void Modelo_Lineas::Indexar() {
    const char* p = datos_.constData();
    const qint64 n = datos_.size();
    // Counting first gives the index its exact size in one allocation.
    size_t saltos = 0;
    for (const char* q = p; (q = static_cast<const char*>(std::memchr(q, '\n', size_t(p + n - q))));
         ++q)
        ++saltos;
    std::vector<quint32>().swap(inicios_);
    inicios_.reserve(saltos + 1);
    qint64 i = 0;
    while (i < n) {
        inicios_.push_back(static_cast<quint32>(i));
        const auto* lf = static_cast<const char*>(std::memchr(p + i, '\n', size_t(n - i)));
        const qint64 fin = lf ? lf - p : n;
        // A lone CR also ends a line; CR LF counts once.
        const qint64 hasta = fin > i && p[fin - 1] == '\r' ? fin - 1 : fin;
        if (const void* cr = std::memchr(p + i, '\r', size_t(hasta - i)))
            i = static_cast<const char*>(cr) - p + 1;
        else
            i = fin + 1;
    }
}

QString Modelo_Lineas::Linea(int fila) const {
    if (fila < 0 || fila >= Cantidad()) return QString();
    const qint64 inicio = inicios_[static_cast<size_t>(fila)];
    qint64 fin = fila + 1 < Cantidad() ? inicios_[static_cast<size_t>(fila) + 1] : datos_.size();
    if (fin > inicio && datos_[fin - 1] == '\n') --fin;
    if (fin > inicio && datos_[fin - 1] == '\r') --fin;
    QString texto = QString::fromLatin1(datos_.constData() + inicio, fin - inicio);
    texto.replace(QLatin1Char(';'), QLatin1Char('\t'));
    return texto;
}

int Modelo_Lineas::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : Cantidad();
}

QVariant Modelo_Lineas::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || role != Qt::DisplayRole) return QVariant();
    return Linea(index.row());
}

}  // namespace aq
