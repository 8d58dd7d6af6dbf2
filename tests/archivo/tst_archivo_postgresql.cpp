#include <QtSql>
#include <QtTest>

#include "apoyo_postgresql.h"
#include "archivo/archivo_historico.h"
#include "respaldos_prueba.h"

using namespace aq;

// The archive on a real PostgreSQL server, shared by two programs at once.
class Tst_Archivo_PostgreSQL : public QObject {
    Q_OBJECT

    Servidor_PostgreSQL servidor;
    QString sin_servidor;  // why there is none
    QTemporaryDir dir;

    // Equipment 5 and 6 side by side, 400 hourly readings from hour `desde` after
    // 2002-01-01 00:00; the value is the hour number, so overlapping backups agree.
    QString Respaldo(const QString& nombre, int desde) {
        const QDateTime inicio =
            QDateTime(QDate(2002, 1, 1), QTime(0, 0)).addSecs(3600 * (desde - 1));
        QList<int> v;
        for (int k = 0; k < 400; ++k) v << (desde + k) % 4096;
        const QDate d = inicio.date();
        const int h = inicio.time().hour();
        QList<QByteArray> palabras =
            Bloque_Prueba(0, 5, 4, d.day(), d.month(), d.year() % 100, h, 0, v);
        palabras += Bloque_Prueba(1, 6, 4, d.day(), d.month(), d.year() % 100, h, 0, v);
        const QString ruta = dir.filePath(nombre);
        [&] { QVERIFY(Escribir_Prueba(ruta, Respaldo_Prueba(palabras))); }();
        return ruta;
    }

    bool Abrir(Archivo_Historico& a, const QString& base) {
        QString error;
        Destino_Archivo d;
        const QString url = servidor.Url(base, &error);
        if (!Interpretar_Base(url, d, &error)) return false;
        const Resultado_Archivo r = a.Abrir(d);
        if (!r) qWarning("%s", qPrintable(Mensaje_Archivo(r) + " " + error));
        return bool(r);
    }

    qint64 Contar(Archivo_Historico& a, const QString& sql) {
        QSqlQuery q(QSqlDatabase::database(a.Conexion()));
        return q.exec(sql) && q.next() ? q.value(0).toLongLong() : -1;
    }

  private Q_SLOTS:
    void initTestCase() {
        if (!QSqlDatabase::isDriverAvailable("QPSQL"))
            sin_servidor = "falta el controlador QPSQL de Qt (libqt6sql6-psql)";
        else if (!servidor.Iniciar(sin_servidor))
            sin_servidor.prepend("no se pudo iniciar PostgreSQL: ");
    }

    void mismas_reglas_que_sqlite() {
        if (!sin_servidor.isEmpty()) QSKIP(qPrintable(sin_servidor));
        Archivo_Historico a;
        QVERIFY(Abrir(a, "reglas"));
        const QString r1 = Respaldo("A.$%c", 0), r2 = Respaldo("B.$%c", 100);
        QCOMPARE(Importar_Respaldo(a, r1).nuevas, 800);
        QCOMPARE(Importar_Respaldo(a, r1).fin, Fin_Archivo::Ya_Archivado);
        QCOMPARE(Importar_Respaldo(a, r2).nuevas, 200);
        // Another value at a time already held: kept beside it.
        QList<int> otro{7777 % 4096};
        QVERIFY(Escribir_Prueba(dir.filePath("C.$%c"),
                                Respaldo_Prueba(Bloque_Prueba(0, 5, 4, 31, 12, 1, 23, 0, otro))));
        QCOMPARE(Importar_Respaldo(a, dir.filePath("C.$%c")).nuevas, 1);
        QVERIFY(a.Nombrar(5, "Pozo 5", QString("norte")));
        const std::vector<Resumen_Estacion> e = a.Estaciones();
        QCOMPARE(e.size(), size_t(2));
        QCOMPARE(e[0].lecturas, 501);
        QCOMPARE(e[0].conflictos, 1);
        QCOMPARE(e[0].nombre, QString("Pozo 5"));
        QCOMPARE(e[1].lecturas, 500);
        QCOMPARE(a.Descargas(5).size(), size_t(3));
        QVERIFY(a.Exportar(6, QDate(2002, 1, 5), QDate(2002, 1, 5), dir.filePath("x.csv"), false));
        QCOMPARE(a.Serie(6, QDate(2002, 1, 5), QDate(2002, 1, 5)).size(), size_t(24));

        // A newer archive is refused and left as it was.
        QSqlQuery q(QSqlDatabase::database(a.Conexion()));
        QVERIFY(q.exec("UPDATE esquema SET version = 9"));
        a.Cerrar();
        Destino_Archivo d;
        QVERIFY(Interpretar_Base(servidor.Url("reglas"), d, nullptr));
        QCOMPARE(a.Abrir(d).fin, Fin_Archivo::Esquema_Nuevo);
    }

    // Two laptops pushing overlapping downloads into one archive at the same moment: every
    // reading once, none lost, every download recorded once.
    void dos_procesos_a_la_vez() {
        if (!sin_servidor.isEmpty()) QSKIP(qPrintable(sin_servidor));
        const QString url = servidor.Url("compartido");
        QStringList todos;
        for (int k = 0; k < 24; ++k)
            todos << Respaldo(QString("R%1.$%c").arg(k, 2, 10, QChar('0')), k * 100);
        QProcess uno, otro;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("AQTIDE_WININI", dir.filePath("win.ini"));
        for (QProcess* p : {&uno, &otro}) p->setProcessEnvironment(env);
        // Each takes the shared middle in its own order.
        QStringList primeros = todos.mid(0, 16), segundos = todos.mid(8, 16);
        std::reverse(segundos.begin(), segundos.end());
        uno.start(AQ_BINARIOS "/cli/aqtide-cli",
                  QStringList{"archivo", "importar", "--base", url} + primeros);
        otro.start(AQ_BINARIOS "/cli/aqtide-cli",
                   QStringList{"archivo", "importar", "--base", url} + segundos);
        for (QProcess* p : {&uno, &otro}) {
            QVERIFY(p->waitForFinished(100000));
            const QByteArray texto = p->readAll();
            QVERIFY2(p->exitCode() == 0, texto.constData());
        }
        Archivo_Historico a;
        QVERIFY(Abrir(a, "compartido"));
        const qint64 esperadas = 2 * (23 * 100 + 400);
        QCOMPARE(Contar(a, "SELECT COUNT(*) FROM lecturas"), esperadas);
        QCOMPARE(Contar(a, "SELECT COUNT(*) FROM (SELECT DISTINCT equipo, minuto FROM lecturas) t"),
                 esperadas);
        QCOMPARE(Contar(a, "SELECT COUNT(*) FROM descargas"), 24);
        QCOMPARE(Contar(a, "SELECT SUM(nuevas) FROM descargas"), esperadas);
        QCOMPARE(Contar(a, "SELECT COUNT(*) FROM estaciones"), 2);
    }
};

QTEST_GUILESS_MAIN(Tst_Archivo_PostgreSQL)
#include "tst_archivo_postgresql.moc"
