#include <QtTest>

#include "dobles/tabla.h"
#include "respaldos_prueba.h"

using namespace aq;

// aqtide-cli archivo, run as the user runs it, on a settings file of its own.
class Tst_Archivo_Cli : public QObject {
    Q_OBJECT

    std::unique_ptr<QTemporaryDir> dir;
    QByteArray texto_salida;

    QString Ruta(const QString& nombre) const { return dir->filePath(nombre); }

    int Cli(const QStringList& args) {
        QProcess p;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("AQTIDE_WININI", Ruta("win.ini"));
        p.setProcessEnvironment(env);
        p.setWorkingDirectory(dir->path());
        p.start(AQ_BINARIOS "/cli/aqtide-cli", QStringList{"archivo"} + args);
        if (!p.waitForFinished(60000)) return -1;
        texto_salida = p.readAllStandardOutput() + p.readAllStandardError();
        return p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
    }

    void Respaldo(const QString& nombre, int equipo, int dia, int lecturas, int desvio = 0) {
        QList<int> v;
        for (int k = 0; k < lecturas; ++k) v << (dia - 1) * 24 + k;
        QVERIFY(QDir().mkpath(QFileInfo(Ruta(nombre)).path()));
        QVERIFY(Escribir_Prueba(
            Ruta(nombre),
            Respaldo_Prueba(Bloque_Prueba(0, equipo, 4, dia - 1, 1, 2, 23, 0, v), desvio)));
    }

  private Q_SLOTS:
    void init() { dir = std::make_unique<QTemporaryDir>(); }

    void importar_listar_nombrar_exportar() {
        QVERIFY(Escribir_Prueba(Ruta("win.ini"),
                                "[BRISNA AQ-TIDE 1.0]\r\nRAIZ=" + dir->path().toUtf8() + "\r\n"));
        Respaldo("BAK/A.$%c", 7, 1, 48);
        Respaldo("BAK/B.$%t", 7, 2, 48);  // overlaps A by one day
        Respaldo("BAK/viejo/C.$%&", 8, 1, 10);
        QVERIFY(Escribir_Prueba(Ruta("BAK/notas.txt"), "no es un resguardo\r\n"));

        QCOMPARE(Cli({"importar", Ruta("BAK")}), 0);
        QCOMPARE(texto_salida.count('\n'), 2);  // not below the folder without -r
        QCOMPARE(Cli({"importar", "-r", Ruta("BAK")}), 0);
        const QList<QByteArray> l = texto_salida.trimmed().split('\n');
        QCOMPARE(l.size(), 3);
        QCOMPARE(l[0], Ruta("BAK/A.$%c").toUtf8() + ": ya estaba en el archivo hist\xC3\xB3rico");
        QCOMPARE(l[2], Ruta("BAK/viejo/C.$%&").toUtf8() + ": archivado, 10 lecturas (10 nuevas)");
        QVERIFY(QFile::exists(Ruta("ARCHIVO.db")));  // in the program folder of the settings

        QCOMPARE(Cli({"nombre", "7", "Pozo 3", "--nota", "Ruta 5"}), 0);
        QCOMPARE(Cli({"listar"}), 0);
        QVERIFY2(texto_salida.contains("\n7\tPozo 3\t72\t2002-01-01 00:00\t2002-01-03 23:00\t2\t"),
                 texto_salida.constData());
        QVERIFY(texto_salida.contains("\n8\t\t10\t2002-01-01 00:00\t2002-01-01 09:00\t1\t"));

        QCOMPARE(Cli({"exportar", "7", "--desde", "2002-01-02", "--hasta=2002-01-02", "--utf8",
                      Ruta("pozo3.csv")}),
                 0);
        QCOMPARE(texto_salida, Ruta("pozo3.csv").toUtf8() + ": 24 lecturas del equipo 7\n");
        QCOMPARE(Cli({"exportar", "8", "--diario", Ruta("dias")}), 0);
        QCOMPARE(texto_salida, Ruta("dias.csv").toUtf8() +
                                   ": 1 d\xC3\xAD"
                                   "a del equipo 8\n");
    }

    // Reference and manual readings typed with either decimal mark, listed with whether they
    // are used, and the levels they give in the export.
    void referencia_y_manuales() {
        QVERIFY(Escribir_Prueba(Ruta("win.ini"),
                                "[BRISNA AQ-TIDE 1.0]\r\nRAIZ=" + dir->path().toUtf8() + "\r\n"));
        Respaldo("A.$%c", 7, 1, 5);  // 0..4 mm, 2002-01-01 00:00 to 04:00
        QCOMPARE(Cli({"importar", Ruta("A.$%c")}), 0);
        QCOMPARE(Cli({"referencia", "7", "100,5"}), 0);
        QCOMPARE(Cli({"manual", "7", "2002-01-01T02:00", "1.5", "--nota", "cinta"}), 0);
        QCOMPARE(Cli({"manual", "7", "2002-01-05T00:00", "1"}), 0);
        QCOMPARE(Cli({"manuales", "7"}), 0);
        QCOMPARE(texto_salida, QByteArray("Fecha y hora\tProfundidad [m]\tUsada\tNota\n"
                                          "2002-01-01T02:00\t1,500\ts\xC3\xAD\tcinta\n"
                                          "2002-01-05T00:00\t1,000\tno: sin lectura del equipo "
                                          "a menos de un intervalo\t\n"));
        QCOMPARE(Cli({"exportar", "7", "--niveles", Ruta("niveles")}), 0);
        QFile f(Ruta("niveles.csv"));
        QVERIFY(f.open(QIODevice::ReadOnly));
        QCOMPARE(f.readAll().split('\n').value(1),
                 QByteArray("2002-01-01T00:00;0;4;;1,502;98,998\r"));
        QCOMPARE(Cli({"manual", "7", "2002-01-05T00:00", "--borrar"}), 0);
        QCOMPARE(Cli({"manuales", "7"}), 0);
        QCOMPARE(texto_salida.count('\n'), 2);
    }

    void salidas_de_falla_data() {
        Columnas<QStringList, int, QString>({"args", "salida", "texto"});
        using L = QStringList;
        Fila("sin accion", L{}, 2, "Uso:");
        Fila("opcion desconocida", L{"listar", "-x"}, 2, "Opción desconocida: -x");
        Fila("fecha", L{"exportar", "7", "--desde", "1/1/2002", "x.csv"}, 2,
             "Las fechas se escriben AAAA-MM-DD.");
        Fila("equipo", L{"nombre", "300", "X"}, 2, "Equipo incorrecto");
        Fila("momento", L{"manual", "7", "2002-02-30T00:00", "1"}, 2, "Momento incorrecto");
        Fila("cota", L{"referencia", "7", "1,2,3"}, 2, "Cota incorrecta: 1,2,3");
        Fila("manual que no hay", L{"manual", "7", "2002-01-01T00:00", "--borrar"}, 1,
             "No hay una lectura manual del equipo en ese momento.");
        Fila("niveles y diario", L{"exportar", "7", "--niveles", "--diario", "x.csv"}, 2,
             "--niveles o --diario, no ambas.");
        Fila("equipo desconocido", L{"exportar", "9", "x.csv"}, 1,
             "El equipo no figura en el archivo histórico.");
        Fila("carpeta de salida", L{"exportar", "7", "falta/x.csv"}, 3,
             "No se pudo escribir el archivo exportado.");
        Fila("checksum", L{"importar", "MAL.$%c"}, 3,
             "MAL.$%c: El checksum no coincide; no se archivó.");
        Fila("no existe", L{"importar", "NO.$%c"}, 3,
             "NO.$%c: No se pudo leer el resguardo. (El archivo seleccionado no existe)");
        Fila("servidor", L{"listar", "--base", "postgresql://nadie@127.0.0.1:1/archivo"}, 1,
             "No se pudo abrir la base de datos.");
        Fila("url", L{"listar", "--base", "postgresql://nadie@servidor"}, 2,
             "no tiene la forma postgresql://usuario@servidor[:puerto]/base");
    }
    void salidas_de_falla() {
        QFETCH(QStringList, args);
        QFETCH(QString, texto);
        // The profile names the archive; the command line may name another.
        QVERIFY(Escribir_Prueba(Ruta("win.ini"),
                                "[Archivo]\r\nBase=" + Ruta("otro/A.db").toUtf8() + "\r\n"));
        QVERIFY(QDir().mkpath(Ruta("otro")));
        Respaldo("BIEN.$%c", 7, 1, 5);
        Respaldo("MAL.$%c", 7, 1, 5, 1);
        QCOMPARE(Cli({"importar", "BIEN.$%c"}), 0);
        QVERIFY(QFile::exists(Ruta("otro/A.db")));
        QTEST(Cli(args), "salida");
        QVERIFY2(QString::fromUtf8(texto_salida).contains(texto), texto_salida.constData());
    }
};

QTEST_GUILESS_MAIN(Tst_Archivo_Cli)
#include "tst_archivo_cli.moc"
