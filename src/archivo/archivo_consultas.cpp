#include <QSaveFile>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QVariant>
#include <cerrno>

#include "archivo/archivo_historico.h"
#include "archivo/archivo_interno.h"
#include "core/fecha_equipo.h"
#include "memory/archivos.h"

namespace aq {

using namespace archivo_interno;

std::vector<Resumen_Estacion> Archivo_Historico::Estaciones(Resultado_Archivo* resultado) {
    std::vector<Resumen_Estacion> lista;
    if (resultado) *resultado = Resultado_Archivo();
    if (!abierto_) {
        if (resultado) *resultado = Falla(Fin_Archivo::Sin_Conexion, QString());
        return lista;
    }
    QSqlQuery q(QSqlDatabase::database(conexion_, false));
    q.setForwardOnly(true);
    const bool bien = q.exec(QStringLiteral(
        "SELECT e.equipo, e.nombre, e.nota, "
        "(SELECT COUNT(*) FROM lecturas l WHERE l.equipo = e.equipo), "
        "(SELECT MIN(minuto) FROM lecturas l WHERE l.equipo = e.equipo), "
        "(SELECT MAX(minuto) FROM lecturas l WHERE l.equipo = e.equipo), "
        "(SELECT MAX(d.momento) FROM descargas_equipos de JOIN descargas d ON d.id = de.descarga "
        " WHERE de.equipo = e.equipo), "
        "(SELECT COUNT(*) FROM (SELECT 1 FROM lecturas l WHERE l.equipo = e.equipo "
        " GROUP BY l.minuto HAVING COUNT(*) > 1) c) "
        "FROM estaciones e ORDER BY e.equipo"));
    if (!bien) {
        if (resultado) *resultado = Falla(Fin_Archivo::Falla_Base, Texto_Error(q.lastError()));
        return lista;
    }
    while (q.next()) {
        Resumen_Estacion e;
        e.equipo = q.value(0).toInt();
        e.nombre = q.value(1).toString();
        e.nota = q.value(2).toString();
        e.lecturas = q.value(3).toLongLong();
        if (!q.value(4).isNull()) e.primera = Momento_De_Minuto(q.value(4).toLongLong());
        if (!q.value(5).isNull()) e.ultima = Momento_De_Minuto(q.value(5).toLongLong());
        e.ultima_descarga = Momento_De_Texto(q.value(6).toString());
        e.conflictos = q.value(7).toLongLong();
        lista.push_back(e);
    }
    return lista;
}

std::vector<Descarga_Archivada> Archivo_Historico::Descargas(int equipo,
                                                             Resultado_Archivo* resultado) {
    std::vector<Descarga_Archivada> lista;
    if (resultado) *resultado = Resultado_Archivo();
    if (!abierto_) {
        if (resultado) *resultado = Falla(Fin_Archivo::Sin_Conexion, QString());
        return lista;
    }
    QSqlQuery q(QSqlDatabase::database(conexion_, false));
    q.setForwardOnly(true);
    q.prepare(QStringLiteral(
        "SELECT d.id, d.momento, d.ruta, d.sha256, de.lecturas, d.nuevas FROM descargas_equipos de "
        "JOIN descargas d ON d.id = de.descarga WHERE de.equipo = ? ORDER BY d.momento, d.id"));
    q.addBindValue(equipo);
    if (!q.exec()) {
        if (resultado) *resultado = Falla(Fin_Archivo::Falla_Base, Texto_Error(q.lastError()));
        return lista;
    }
    while (q.next()) {
        Descarga_Archivada d;
        d.id = q.value(0).toLongLong();
        d.momento = Momento_De_Texto(q.value(1).toString());
        d.ruta = q.value(2).toString();
        d.sha256 = q.value(3).toString();
        d.lecturas = q.value(4).toInt();
        d.nuevas = q.value(5).toInt();
        lista.push_back(d);
    }
    return lista;
}

namespace {

// The station's readings in [desde, hasta], time order; one query for the series and the export.
bool Consultar_Lecturas(QSqlQuery& q, int equipo, const QDate& desde, const QDate& hasta,
                        const QString& columnas) {
    q.setForwardOnly(true);
    QString sql =
        QStringLiteral("SELECT ") + columnas + QStringLiteral(" FROM lecturas WHERE equipo = ?");
    if (desde.isValid()) sql += QStringLiteral(" AND minuto >= ?");
    if (hasta.isValid()) sql += QStringLiteral(" AND minuto < ?");
    sql += QStringLiteral(" ORDER BY minuto, valor");
    if (!q.prepare(sql)) return false;
    q.addBindValue(equipo);
    if (desde.isValid()) q.addBindValue(Minuto_De_Fecha(desde));
    if (hasta.isValid()) q.addBindValue(Minuto_De_Fecha(hasta.addDays(1)));
    return q.exec();
}

}  // namespace

std::vector<Punto_Serie> Archivo_Historico::Serie(int equipo, const QDate& desde,
                                                  const QDate& hasta,
                                                  Resultado_Archivo* resultado) {
    std::vector<Punto_Serie> serie;
    if (resultado) *resultado = Resultado_Archivo();
    if (!abierto_) {
        if (resultado) *resultado = Falla(Fin_Archivo::Sin_Conexion, QString());
        return serie;
    }
    QSqlQuery q(QSqlDatabase::database(conexion_, false));
    if (!Consultar_Lecturas(q, equipo, desde, hasta, QStringLiteral("minuto, valor"))) {
        if (resultado) *resultado = Falla(Fin_Archivo::Falla_Base, Texto_Error(q.lastError()));
        return serie;
    }
    while (q.next()) serie.push_back({q.value(0).toLongLong(), q.value(1).toInt()});
    return serie;
}

Resultado_Archivo Archivo_Historico::Exportar(int equipo, const QDate& desde, const QDate& hasta,
                                              const QString& ruta, bool utf8) {
    if (!abierto_) return Falla(Fin_Archivo::Sin_Conexion, QString());
    QSqlDatabase db = QSqlDatabase::database(conexion_, false);
    {
        QSqlQuery existe(db);
        existe.prepare(QStringLiteral("SELECT 1 FROM estaciones WHERE equipo = ?"));
        existe.addBindValue(equipo);
        if (!existe.exec()) return Falla(Fin_Archivo::Falla_Base, Texto_Error(existe.lastError()));
        if (!existe.next()) return Falla(Fin_Archivo::Equipo_Desconocido, QString::number(equipo));
    }
    QSqlQuery q(db);
    if (!Consultar_Lecturas(q, equipo, desde, hasta, QStringLiteral("minuto, valor, alcance")))
        return Falla(Fin_Archivo::Falla_Base, Texto_Error(q.lastError()));

    // The file appears whole or not at all. Unbuffered: a failure met only when the buffer is
    // flushed at commit would go unnoticed and an empty file take the place of the old one.
    QSaveFile archivo(ruta);
    errno = 0;
    if (!archivo.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
        return Falla(Fin_Archivo::Falla_Salida,
                     Mensaje_Error_Archivo(archivo, Operacion_Archivo::Abrir_Escritura));
    const QByteArray marca = utf8 ? QByteArrayLiteral("s\xC3\xAD") : QByteArrayLiteral("s\xED");
    QByteArray texto = "Fecha y hora;Columna de agua [mm];Alcance [m];Conflicto\r\n";
    texto.reserve(1 << 20);

    // Rows of one time are held until the next time shows whether they conflict.
    struct Pendiente {
        qint64 minuto;
        int valor, alcance;
    };
    qint64 dia_escrito = -1;
    QByteArray fecha;  // "AAAA-MM-DDT" of that day
    std::vector<Pendiente> grupo;
    int escritas = 0;
    bool bien = true;
    auto volcar = [&]() {
        const bool conflicto = grupo.size() > 1;
        for (const Pendiente& p : grupo) {
            const qint64 dia = p.minuto / 1440;
            if (dia != dia_escrito) {
                fecha = Momento_De_Minuto(p.minuto).date().toString(Qt::ISODate).toLatin1() + 'T';
                dia_escrito = dia;
            }
            const int resto = int(p.minuto - dia * 1440);
            const char hora[5] = {char('0' + resto / 600), char('0' + resto / 60 % 10), ':',
                                  char('0' + resto % 60 / 10), char('0' + resto % 10)};
            texto += fecha;
            texto.append(hora, 5);
            texto += ';';
            texto += QByteArray::number(p.valor);
            texto += ';';
            texto += QByteArray::number(p.alcance);
            texto += ';';
            if (conflicto) texto += marca;
            texto += "\r\n";
            ++escritas;
        }
        grupo.clear();
        if (texto.size() > (1 << 20)) {
            bien = bien && archivo.write(texto) == texto.size();
            texto.resize(0);
        }
    };
    while (bien && q.next()) {
        const qint64 minuto = q.value(0).toLongLong();
        if (!grupo.empty() && grupo.front().minuto != minuto) volcar();
        grupo.push_back({minuto, q.value(1).toInt(), q.value(2).toInt()});
    }
    if (q.lastError().isValid()) {
        archivo.cancelWriting();
        return Falla(Fin_Archivo::Falla_Base, Texto_Error(q.lastError()));
    }
    volcar();
    bien = bien && archivo.write(texto) == texto.size();
    if (!bien || !archivo.commit()) {
        const Falla_Archivo f = Clasificar_Falla_Archivo(archivo, Operacion_Archivo::Escribir);
        archivo.cancelWriting();
        return Falla(Fin_Archivo::Falla_Salida, Mensaje_Error_Archivo(f));
    }
    Resultado_Archivo r;
    r.lecturas = escritas;
    return r;
}

}  // namespace aq
