#include <sqlite3.h>

#include <QFileInfo>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QVariant>
#include <algorithm>
#include <cerrno>
#include <cmath>

#include "archivo/archivo_historico.h"
#include "archivo/archivo_interno.h"
#include "core/fecha_equipo.h"
#include "memory/archivos.h"
#include "platform/escritura_segura.h"

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
        " GROUP BY l.minuto HAVING COUNT(*) > 1) c), "
        "(SELECT COUNT(*) FROM descargas_equipos de WHERE de.equipo = e.equipo), e.referencia "
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
        e.descargas = q.value(8).toInt();
        if (!q.value(9).isNull()) e.referencia = q.value(9).toDouble();
        lista.push_back(e);
    }
    return lista;
}

bool Archivo_Historico::Consultar_Equipo(QSqlQuery& q, const char* sql, int equipo,
                                         Resultado_Archivo* resultado) {
    if (resultado) *resultado = Resultado_Archivo();
    if (!abierto_) {
        if (resultado) *resultado = Falla(Fin_Archivo::Sin_Conexion, QString());
        return false;
    }
    q = QSqlQuery(QSqlDatabase::database(conexion_, false));
    q.setForwardOnly(true);
    q.prepare(QString::fromLatin1(sql));
    q.addBindValue(equipo);
    if (q.exec()) return true;
    if (resultado) *resultado = Falla(Fin_Archivo::Falla_Base, Texto_Error(q.lastError()));
    return false;
}

std::vector<Descarga_Archivada> Archivo_Historico::Descargas(int equipo,
                                                             Resultado_Archivo* resultado) {
    std::vector<Descarga_Archivada> lista;
    QSqlQuery q;
    if (!Consultar_Equipo(q,
                          "SELECT d.id, d.momento, d.ruta, d.sha256, de.lecturas, d.nuevas FROM "
                          "descargas_equipos de JOIN descargas d ON d.id = de.descarga WHERE "
                          "de.equipo = ? ORDER BY d.momento, d.id",
                          equipo, resultado))
        return lista;
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

Resultado_Archivo Archivo_Historico::Leer_Lecturas(int equipo, const QDate& desde,
                                                   const QDate& hasta,
                                                   std::vector<Fila_Lectura>& filas) {
    filas.clear();
    if (!abierto_) return Falla(Fin_Archivo::Sin_Conexion, QString());
    QString sql = QStringLiteral("SELECT minuto, valor, alcance FROM lecturas WHERE equipo = ?");
    if (desde.isValid()) sql += QStringLiteral(" AND minuto >= ?");
    if (hasta.isValid()) sql += QStringLiteral(" AND minuto < ?");
    sql += QStringLiteral(" ORDER BY minuto, valor");
    std::vector<qint64> valores{equipo};
    if (desde.isValid()) valores.push_back(Minuto_De_Fecha(desde));
    if (hasta.isValid()) valores.push_back(Minuto_De_Fecha(hasta.addDays(1)));

    if (directo_) {
        sqlite3_stmt* q = nullptr;
        const QByteArray texto = sql.toUtf8();
        int rc =
            sqlite3_prepare_v2(directo_->db, texto.constData(), int(texto.size()), &q, nullptr);
        for (size_t k = 0; rc == SQLITE_OK && k < valores.size(); ++k)
            rc = sqlite3_bind_int64(q, int(k) + 1, valores[k]);
        if (rc == SQLITE_OK) {
            while ((rc = sqlite3_step(q)) == SQLITE_ROW)
                filas.push_back({sqlite3_column_int64(q, 0), sqlite3_column_int(q, 1),
                                 sqlite3_column_int(q, 2)});
        }
        sqlite3_finalize(q);
        if (rc != SQLITE_DONE) {
            filas.clear();
            return Falla(Fin_Archivo::Falla_Base, directo_->Error());
        }
        return Resultado_Archivo();
    }
    QSqlQuery q(QSqlDatabase::database(conexion_, false));
    q.setForwardOnly(true);
    bool bien = q.prepare(sql);
    for (qint64 v : valores) q.addBindValue(v);
    bien = bien && q.exec();
    while (bien && q.next())
        filas.push_back({q.value(0).toLongLong(), q.value(1).toInt(), q.value(2).toInt()});
    if (!bien || q.lastError().isValid()) {
        filas.clear();
        return Falla(Fin_Archivo::Falla_Base, Texto_Error(q.lastError()));
    }
    return Resultado_Archivo();
}

std::vector<Punto_Serie> Archivo_Historico::Serie(int equipo, const QDate& desde,
                                                  const QDate& hasta,
                                                  Resultado_Archivo* resultado) {
    std::vector<Fila_Lectura> filas;
    const Resultado_Archivo r = Leer_Lecturas(equipo, desde, hasta, filas);
    if (resultado) *resultado = r;
    std::vector<Punto_Serie> serie;
    serie.reserve(filas.size());
    for (const Fila_Lectura& f : filas) serie.push_back({f.minuto, f.valor});
    return serie;
}

namespace {

// Fixed decimals with a decimal comma, as a Spanish spreadsheet reads a ";" list.
void Decimal(QByteArray& t, double x, int decimales) {
    const qint64 escala = decimales == 3 ? 1000 : 10;
    qint64 n = std::llround(x * escala);
    if (n < 0) {
        t += '-';
        n = -n;
    }
    t += QByteArray::number(n / escala);
    t += ',';
    t += QByteArray::number(n % escala).rightJustified(decimales, '0');
}

}  // namespace

QString Ruta_Exportacion(const QString& ruta) {
    // What is there already is taken as it stands: a file is replaced, a device or folder is
    // refused by the safe writer rather than dodged under another name.
    const QFileInfo info(ruta);
    if (info.exists() || info.isSymLink() || !info.suffix().isEmpty() ||
        ruta.endsWith(QLatin1Char('.')))
        return ruta;
    return ruta + QStringLiteral(".csv");
}

QString Texto_Exportadas(int filas, Forma_Exportacion forma) {
    const bool dias = forma == Forma_Exportacion::Diario;
    if (filas == 1) return dias ? QStringLiteral("1 día") : QStringLiteral("1 lectura");
    return QString::number(filas) + (dias ? QStringLiteral(" días") : QStringLiteral(" lecturas"));
}

Resultado_Archivo Archivo_Historico::Exportar(int equipo, const QDate& desde, const QDate& hasta,
                                              const QString& ruta_pedida, bool utf8,
                                              Forma_Exportacion forma) {
    if (!abierto_) return Falla(Fin_Archivo::Sin_Conexion, QString());
    const QString ruta = Ruta_Exportacion(ruta_pedida);
    QSqlDatabase db = QSqlDatabase::database(conexion_, false);
    std::optional<double> referencia;
    {
        QSqlQuery existe(db);
        existe.prepare(QStringLiteral("SELECT referencia FROM estaciones WHERE equipo = ?"));
        existe.addBindValue(equipo);
        if (!existe.exec()) return Falla(Fin_Archivo::Falla_Base, Texto_Error(existe.lastError()));
        if (!existe.next()) return Falla(Fin_Archivo::Equipo_Desconocido, QString::number(equipo));
        if (!existe.value(0).isNull()) referencia = existe.value(0).toDouble();
    }
    std::vector<Fila_Lectura> filas;
    if (Resultado_Archivo r = Leer_Lecturas(equipo, desde, hasta, filas); !r) return r;

    // Levels rest on every manual reading, and on the readings around each, also outside the
    // period; the period's rows are one stretch of the whole series in the same order.
    Niveles niveles;
    size_t desfase = 0;
    std::vector<Punto_Serie> serie;
    if (forma != Forma_Exportacion::Serie) {
        Resultado_Archivo r;
        const bool todo =
            forma == Forma_Exportacion::Diario || (!desde.isValid() && !hasta.isValid());
        if (todo) {
            serie.reserve(filas.size());
            for (const Fila_Lectura& f : filas) serie.push_back({f.minuto, f.valor});
        } else {
            serie = Serie(equipo, QDate(), QDate(), &r);
            if (!r) return r;
        }
        if (forma == Forma_Exportacion::Niveles) {
            const std::vector<Lectura_Manual> manuales = Manuales(equipo, &r);
            if (!r) return r;
            niveles = Calcular_Niveles(serie, manuales, referencia);
            if (!filas.empty())
                desfase = size_t(
                    std::lower_bound(serie.begin(), serie.end(), filas.front().minuto,
                                     [](const Punto_Serie& p, qint64 m) { return p.minuto < m; }) -
                    serie.begin());
        }
    }

    // The file appears whole or not at all; never over the archive's own files.
    Escritura_Segura archivo(ruta, destino_.Archivos());
    if (!archivo.Abrir())
        return Falla(Fin_Archivo::Falla_Salida, Mensaje_Error_Archivo(archivo.Falla().tipo));
    auto texto_archivo = [utf8](const char* t) {
        const QString s = QString::fromUtf8(t);
        return utf8 ? s.toUtf8() : s.toLatin1();
    };
    QByteArray texto;
    texto.reserve(1 << 21);
    bool bien = true;
    auto escribir = [&](bool al_final) {
        if (bien && (al_final || texto.size() > (1 << 20))) {
            bien = archivo.Escribir(texto);
            texto.resize(0);
        }
    };
    int escritas = 0;
    if (forma == Forma_Exportacion::Diario) {
        texto += texto_archivo("Fecha;Lecturas;Mínimo [mm];Media [mm];Máximo [mm]\r\n");
        for (const Dia_Serie& d : Estadisticas_Diarias(serie)) {
            texto += d.fecha.toString(Qt::ISODate).toLatin1();
            texto +=
                ';' + QByteArray::number(d.lecturas) + ';' + QByteArray::number(d.minimo) + ';';
            Decimal(texto, d.media, 1);
            texto += ';' + QByteArray::number(d.maximo) + "\r\n";
            ++escritas;
            escribir(false);
        }
    } else {
        const bool con_niveles = forma == Forma_Exportacion::Niveles;
        texto += texto_archivo(con_niveles ? "Fecha y hora;Columna de agua [mm];Alcance [m];"
                                             "Conflicto;Profundidad al agua [m];Cota [m]\r\n"
                                           : "Fecha y hora;Columna de agua [mm];Alcance [m];"
                                             "Conflicto\r\n");
        const QByteArray marca = texto_archivo("sí");
        qint64 inicio = 0, fin = 0;  // the day of `fecha`, in minutes
        QByteArray fecha;            // "AAAA-MM-DDT"
        for (size_t i = 0; i < filas.size(); ++i) {
            const Fila_Lectura& f = filas[i];
            if (f.minuto < inicio || f.minuto >= fin || fecha.isEmpty()) {
                const QDateTime m = Momento_De_Minuto(f.minuto);
                fecha = m.date().toString(Qt::ISODate).toLatin1() + 'T';
                inicio = f.minuto - (m.time().hour() * 60 + m.time().minute());
                fin = inicio + 24 * 60;
            }
            const int resto = int(f.minuto - inicio);
            const char hora[5] = {char('0' + resto / 600), char('0' + resto / 60 % 10), ':',
                                  char('0' + resto % 60 / 10), char('0' + resto % 10)};
            texto += fecha;
            texto.append(hora, 5);
            texto += ';';
            texto += QByteArray::number(f.valor);
            texto += ';';
            texto += QByteArray::number(f.alcance);
            texto += ';';
            if ((i > 0 && filas[i - 1].minuto == f.minuto) ||
                (i + 1 < filas.size() && filas[i + 1].minuto == f.minuto))
                texto += marca;
            if (con_niveles) {
                texto += ';';
                const size_t j = desfase + i;
                if (j < niveles.profundidad_m.size() && !std::isnan(niveles.profundidad_m[j]))
                    Decimal(texto, niveles.profundidad_m[j], 3);
                texto += ';';
                if (j < niveles.cota_m.size() && !std::isnan(niveles.cota_m[j]))
                    Decimal(texto, niveles.cota_m[j], 3);
            }
            texto += "\r\n";
            ++escritas;
            escribir(false);
        }
    }
    escribir(true);
    if (!bien || !archivo.Terminar()) {
        archivo.Cancelar();
        return Falla(Fin_Archivo::Falla_Salida, Mensaje_Error_Archivo(archivo.Falla().tipo));
    }
    Resultado_Archivo r;
    r.lecturas = escritas;
    return r;
}

std::vector<Lectura_Manual> Archivo_Historico::Manuales(int equipo, Resultado_Archivo* resultado) {
    std::vector<Lectura_Manual> lista;
    QSqlQuery q;
    if (!Consultar_Equipo(
            q, "SELECT minuto, profundidad, nota FROM manuales WHERE equipo = ? ORDER BY minuto",
            equipo, resultado))
        return lista;
    while (q.next())
        lista.push_back({q.value(0).toLongLong(), q.value(1).toDouble(), q.value(2).toString()});
    return lista;
}

}  // namespace aq
