#include <QtTest>

#include "dobles/disco_chico.h"

// aqtide-cli against the simulated logger on a pseudo-terminal: what goes down the line, the
// exit status, the files and the messages.
class Tst_Cli : public QObject {
    Q_OBJECT

    struct Corrida {
        int salida = -1;
        QString salida_estandar, errores;
        QStringList comandos;  // as the logger received them; "U" for the link check
    };

    // Runs `args` ("DEV" stands for the simulator's device) in `dir`, whose settings name
    // port 2 and map it to the simulator.
    static Corrida Correr(const QString& dir, const QStringList& sim, const QStringList& args) {
        Corrida c;
        QProcess logger;
        logger.start(QStringLiteral(AQ_SIM_PATH), QStringList{"--rapido", "--detalle"} + sim);
        while (!logger.canReadLine() && logger.waitForReadyRead(5000)) continue;
        const QString dispositivo = QString::fromLocal8Bit(logger.readLine()).trimmed();
        if (dispositivo.isEmpty()) return c;

        QFile ini(dir + "/win.ini");
        if (!ini.open(QIODevice::WriteOnly)) return c;
        ini.write(QStringLiteral("[BRISNA AQ-TIDE 1.0]\r\nMSComm1_PORT=2\r\nRAIZ=%1\r\nDATOS=%1/"
                                 "DATOS\r\nBAK=%1/BAK\r\n[Puertos]\r\nCOM2=%2\r\n")
                      .arg(dir, dispositivo)
                      .toLocal8Bit());
        ini.close();

        QProcess cli;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("AQTIDE_WININI", dir + "/win.ini");
        cli.setProcessEnvironment(env);
        cli.setWorkingDirectory(dir);
        QStringList a = args;
        a.replaceInStrings(QRegularExpression("^DEV$"), dispositivo);
        cli.start(QStringLiteral(AQ_BINARIOS "/cli/aqtide-cli"), a);
        cli.closeWriteChannel();
        if (cli.waitForFinished(90000) && cli.exitStatus() == QProcess::NormalExit)
            c.salida = cli.exitCode();
        c.salida_estandar = QString::fromUtf8(cli.readAllStandardOutput());
        c.errores = QString::fromUtf8(cli.readAllStandardError());

        logger.terminate();
        logger.waitForFinished(3000);
        const QString registro = QString::fromLocal8Bit(logger.readAllStandardError());
        static const QRegularExpression recibido("recibido \"([^\"]*)\"");
        for (auto m = recibido.globalMatch(registro); m.hasNext();) {
            const QString cmd = m.next().captured(1);
            c.comandos << (cmd == QString(32, QLatin1Char('U')) ? QStringLiteral("U") : cmd);
        }
        return c;
    }

    static void Columnas() {
        QTest::addColumn<QStringList>("sim");
        // "existente": x.csv exists; "bak_archivo"; "lleno": a full disk at LLENO/ with an
        // earlier x.csv
        QTest::addColumn<QString>("preparar");
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<int>("salida");
        QTest::addColumn<QStringList>("comandos");  // "F*": any command starting with F
        QTest::addColumn<QString>("en_salida");
        QTest::addColumn<QString>("en_errores");    // parts separated by "|"
        QTest::addColumn<QStringList>("archivos");  // that must exist afterwards
    }

    static const inline QStringList nada;
    static const inline QStringList descarga = {"U", "DDD", "L", "AAA"};
    static const inline QStringList escritos = {"x.csv", "BAK/x.$%c", "BAK/temp.tmp", "DUMP.$$$"};
    static QTestData& fila(const char* n) { return QTest::newRow(n); }

  private Q_SLOTS:
    void orden_data() {
        Columnas();

        fila("estado") << nada << "" << QStringList{"estado"} << 0 << QStringList{"U", "L"}
                       << "lectura_mm: "
                       << "" << nada;
        fila("estado json por dispositivo")
            << nada << "" << QStringList{"--puerto", "DEV", "estado", "--json"} << 0
            << QStringList{"U", "L"} << "\"modo\":\"AJUSTE\""
            << "" << nada;
        fila("estado por numero de puerto")
            << QStringList{"--registro"} << "" << QStringList{"--puerto", "2", "estado"} << 0
            << QStringList{"U", "L"} << "modo: REGISTRO\n"
            << "" << nada;
        fila("estado con checksum malo dos veces")
            << QStringList{"--checksum-malo", "2"} << "" << QStringList{"estado"} << 0
            << QStringList{"U", "L", "L", "L"} << "modo: AJUSTE\n"
            << "" << nada;
        fila("estado mudo") << QStringList{"--mudo"} << "" << QStringList{"estado"} << 1
                            << QStringList{"U", "U"} << ""
                            << "Error 018, El equipo no responde.\nVerifique el puerto" << nada;
        // Faults of the line: noise is resynchronised away; a logger silent after the link
        // check ends as an unknown answer once the retries are spent.
        fila("estado con ruido") << QStringList{"--ruido", "30"} << "" << QStringList{"estado"} << 0
                                 << QStringList{"U", "U", "U", "L"} << "modo: AJUSTE\n"
                                 << "" << nada;
        fila("estado mudo tras el enlace")
            << QStringList{"--mudo-a", "L"} << "" << QStringList{"estado"} << 1
            << QStringList{"U", "L", "U", "L", "U", "L", "U"} << ""
            << "Error 004, El equipo retorna una RESPUESTA DESCONOCIDA." << nada;
        fila("modo registro") << nada << "" << QStringList{"modo", "registro"} << 0
                              << QStringList{"U", "RRR", "L"} << "modo: REGISTRO\n"
                              << "" << nada;
        fila("modo registro PE") << QStringList{"--responder", "RRR=PE"} << ""
                                 << QStringList{"modo", "registro"} << 1
                                 << QStringList{"U", "RRR", "L"} << "modo: AJUSTE\n"
                                 << "La memoria del equipo contiene poco espacio libre.\n\nEl "
                                    "equipo NO pasará a Modo REGISTRO"
                                 << nada;
        fila("modo ajuste") << QStringList{"--registro"} << "" << QStringList{"modo", "ajuste"} << 0
                            << QStringList{"U", "AAA", "L"} << "modo: AJUSTE\n"
                            << "" << nada;
        fila("fecha") << nada << "" << QStringList{"fecha", "05/06/02"} << 0
                      << QStringList{"U", "L", "F05/06/02"} << ""
                      << "" << nada;
        fila("fecha imposible") << nada << "" << QStringList{"fecha", "31/04/02"} << 2 << nada << ""
                                << "La fecha selectada no es válida." << nada;
        fila("fecha en registro") << QStringList{"--registro"} << ""
                                  << QStringList{"fecha", "05/06/02"} << 1 << QStringList{"U", "L"}
                                  << ""
                                  << "Modo REGISTRO" << nada;
        fila("hora") << nada << "" << QStringList{"hora", "9:05"} << 0
                     << QStringList{"U", "L", "H09:05"} << ""
                     << "" << nada;
        fila("hora imposible") << nada << "" << QStringList{"hora", "24:00"} << 2 << nada << ""
                               << "La hora indicada no es válida." << nada;
        fila("intervalo 30m") << nada << "" << QStringList{"intervalo", "30m"} << 0
                              << QStringList{"U", "L", "I3"} << ""
                              << "" << nada;
        fila("intervalo codigo") << nada << "" << QStringList{"intervalo", "6"} << 0
                                 << QStringList{"U", "L", "I6"} << ""
                                 << "" << nada;
        fila("intervalo 20m") << nada << "" << QStringList{"intervalo", "20m"} << 2 << nada << ""
                              << "El intervalo indicado no es válido." << nada;
        fila("intervalo rechazado")
            << QStringList{"--responder", "I=KO"} << "" << QStringList{"intervalo", "1h"} << 1
            << QStringList{"U", "L", "I4"} << ""
            << "Error 013, El equipo retorna una RESPUESTA DESCONOCIDA." << nada;
        fila("reloj") << nada << "" << QStringList{"reloj"} << 0
                      << QStringList{"U", "L", "F*", "H*"} << "hora: "
                      << "" << nada;

        fila("descargar") << nada << "" << QStringList{"descargar", "x.csv"} << 0 << descarga
                          << "Datos en: "
                          << "Recibiendo ... 50 %" << escritos;
        fila("descargar en registro")
            << QStringList{"--registro"} << "" << QStringList{"descargar", "x.csv"} << 0
            << QStringList{"U", "DDD", "L", "RRR"} << "Datos en: "
            << "" << escritos;
        // The line closed mid-dump: a short reception at once, not after 45 s; files written
        // but not archived.
        fila("descargar linea cerrada")
            << QStringList{"--cerrar-en", "10000"} << "" << QStringList{"descargar", "x.csv"} << 1
            << QStringList{"U", "DDD"} << ""
            << "Error 005, el lazo de comunicación se ha interrumpido.|"
               "No se actualizó el archivo histórico: la descarga no fue completa"
            << nada;
        // The backup cannot be written; the data file is, and the exit status says so.
        fila("descargar sin carpeta BAK")
            << nada << "bak_archivo" << QStringList{"descargar", "x.csv"} << 3 << descarga
            << "Datos en: "
            << "No se pudo guardar el resguardo " << QStringList{"x.csv"};
        // A full disk: the earlier file stays as it was and nothing half-written appears.
        fila("descargar disco lleno")
            << nada << "lleno" << QStringList{"descargar", "LLENO/x.csv", "--sobrescribir"} << 3
            << descarga << ""
            << "El disco está lleno y por esta razón \nNO SE HAN PODIDO GUARDAR LOS DATOS !!!"
            << escritos.mid(1);
        fila("descargar existente")
            << nada << "existente" << QStringList{"descargar", "x.csv"} << 3 << nada << ""
            << "El archivo seleccionado ya existe" << nada;
        fila("descargar sobrescribir")
            << nada << "existente" << QStringList{"descargar", "x.csv", "--sobrescribir"} << 0
            << descarga << "Datos en: "
            << "" << escritos;
        fila("descargar dos puntos")
            << nada << "" << QStringList{"descargar", "x.v2.csv"} << 2 << nada << ""
            << "extención incorrecta" << nada;
        fila("descargar y borrar")
            << nada << "" << QStringList{"descargar", "x.csv", "--y-borrar", "--si"} << 0
            << QStringList{"U", "DDD", "U", "L", "BBB", "L", "AAA"} << "Datos en: "
            << "La memoria ha sido borrada y verificada exitosamente." << escritos;
        fila("descargar y borrar sin confirmar")
            << nada << "" << QStringList{"descargar", "x.csv", "--y-borrar"} << 2 << nada << ""
            << "--si" << nada;
        fila("borrar sin descarga") << nada << "" << QStringList{"borrar"} << 2 << nada << ""
                                    << "debe habela leído previamente" << nada;
        fila("borrar sin descarga previa")
            << nada << "" << QStringList{"borrar", "--sin-descarga-previa", "--si"} << 0
            << QStringList{"U", "L", "BBB", "L", "AAA"} << ""
            << "exitosamente." << nada;
        fila("borrar KO") << QStringList{"--responder", "BBB=KO"} << ""
                          << QStringList{"borrar", "--sin-descarga-previa", "--si"} << 1
                          << QStringList{"U", "L", "BBB", "L", "AAA"} << ""
                          << "Error 019 (KO), La memoria no pudo ser borrada correctamente.\n"
                             "Reintente el borrado."
                          << nada;
        fila("borrar linea cerrada")
            << QStringList{"--cerrar-tras", "BBB"} << ""
            << QStringList{"borrar", "--sin-descarga-previa", "--si"} << 1
            << QStringList{"U", "L", "BBB"} << ""
            << "Error 022, El equipo no responde, verifique el enlace y reintente el borrado"
            << nada;
        fila("borrar en registro") << QStringList{"--registro"} << ""
                                   << QStringList{"borrar", "--sin-descarga-previa", "--si"} << 1
                                   << QStringList{"U", "L", "L", "RRR"} << ""
                                   << "El equipo se encuentra en Modo REGISTRO" << nada;

        fila("sin orden") << nada << "" << QStringList{} << 2 << nada << ""
                          << "Uso:" << nada;
        fila("orden desconocida") << nada << "" << QStringList{"leer"} << 2 << nada << ""
                                  << "Uso:" << nada;
        fila("puerto 7") << nada << "" << QStringList{"--puerto", "7", "estado"} << 2 << nada << ""
                         << "El puerto debe ser 1, 2, 3 o 4" << nada;
        fila("puerto tcp incompleto")
            << nada << "" << QStringList{"--puerto", "tcp://sin-puerto", "estado"} << 2 << nada
            << ""
            << "tcp://HOST:PUERTO" << nada;
        fila("puerto tcp sin servidor")
            << nada << "" << QStringList{"--puerto", "tcp://127.0.0.1:9", "estado"} << 1 << nada
            << ""
            << "127.0.0.1" << nada;
        fila("puerto inexistente")
            << nada << "" << QStringList{"--puerto", "/dev/no-hay", "estado"} << 1 << nada << ""
            << "No se pudo abrir el puerto" << nada;
        fila("ayuda de orden")
            << nada << "" << QStringList{"descargar", "--help"} << 0 << nada
            << "Uso: aqtide-cli [--puerto N|DISPOSITIVO|tcp://HOST:PUERTO] descargar SALIDA"
            << "" << nada;
        fila("argumento de mas")
            << nada << "" << QStringList{"estado", "x"} << 2 << nada << ""
            << "Uso: aqtide-cli [--puerto N|DISPOSITIVO|tcp://HOST:PUERTO] estado [--json]" << nada;
    }

    // Orders that wait out the 45 seconds of a dump: a ctest of their own, run alongside.
    void orden_lenta_data() {
        Columnas();
        fila("descargar corte") << QStringList{"--corte", "10000"} << ""
                                << QStringList{"descargar", "x.csv"} << 1 << descarga << ""
                                << "Error 005, el lazo de comunicación se ha interrumpido.|"
                                   "Error 006 hubo un error durante la recepción|"
                                   "La memoria no llegó completa y verificada"
                                << escritos;
        // One character too many: the count never stops on the dump's length, so the wait runs
        // its whole time; the memory is whole and verified and the closing commands understood.
        fila("descargar largo") << QStringList{"--dump-largo"} << ""
                                << QStringList{"descargar", "x.csv"} << 0 << descarga
                                << "Datos en: "
                                << "" << escritos;
    }
    void orden_lenta() { orden(); }

    void orden() {
        QFETCH(QString, preparar);
        QFETCH(QStringList, comandos);
        QFETCH(QStringList, archivos);
        QTemporaryDir dir;
        QDir d(dir.path());
        QVERIFY(d.mkdir("DATOS"));
        if (preparar == "bak_archivo") {
            QFile f(d.filePath("BAK"));
            QVERIFY(f.open(QIODevice::WriteOnly));
        } else {
            QVERIFY(d.mkdir("BAK"));
        }
        std::unique_ptr<aq::Disco_Chico> disco;
        if (preparar == "lleno") {
            disco = std::make_unique<aq::Disco_Chico>(d.filePath("LLENO"));
            if (!disco->Listo()) QSKIP("no tmpfs can be mounted here (needs root)");
        }
        const QString previo = d.filePath(preparar == "lleno" ? "LLENO/x.csv" : "x.csv");
        if (preparar == "existente" || preparar == "lleno") {
            QFile f(previo);
            QVERIFY(f.open(QIODevice::WriteOnly) && f.write("viejo") == 5);
        }
        if (disco) disco->Llenar();

        QFETCH(QStringList, sim);
        QFETCH(QStringList, args);
        const Corrida c = Correr(dir.path(), sim, args);
        QTEST(c.salida, "salida");
        QCOMPARE(c.comandos.size(), comandos.size());
        for (int i = 0; i < comandos.size(); ++i) {
            const QString& e = comandos[i];
            QVERIFY2(e.endsWith('*') ? c.comandos[i].startsWith(e.chopped(1)) : c.comandos[i] == e,
                     qPrintable(c.comandos.join(' ')));
        }
        QFETCH(QString, en_salida);
        QFETCH(QString, en_errores);
        QVERIFY2(c.salida_estandar.contains(en_salida), qPrintable(c.salida_estandar));
        for (const QString& parte : en_errores.split('|'))
            QVERIFY2(c.errores.contains(parte), qPrintable(c.errores));
        for (const QString& a : archivos) QVERIFY2(QFile::exists(d.filePath(a)), qPrintable(a));
        if ((preparar == "existente" || preparar == "lleno") && c.salida != 0) {
            QFile f(previo);
            QVERIFY(f.open(QIODevice::ReadOnly) && f.readAll() == "viejo");  // untouched
        }
        if (disco)
            QCOMPARE(QDir(disco->Carpeta()).entryList(QDir::Files).join(' '), "relleno x.csv");
    }
};

QTEST_GUILESS_MAIN(Tst_Cli)
#include "tst_cli.moc"
