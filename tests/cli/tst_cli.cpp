#include <QtTest>

// aqtide-cli against the simulated logger on a pseudo-terminal: what goes down the line, the
// exit status, the files and the messages.
class Tst_Cli : public QObject {
    Q_OBJECT

    struct Corrida {
        int salida = -1;
        QString salida_estandar, errores;
        QStringList comandos;  // as the logger received them; "U" for the link check
        qint64 tras_senal_ms = 0;
        QString dispositivo;  // its canonical path, which names its lock
    };

    // Runs `args` ("DEV" stands for the simulator's device) in `dir`, whose settings name
    // port 2 and map it to the simulator ("--lento": at the line's own speed). With `senal`, the
    // signal goes to the tool once the logger has received `tras`.
    static Corrida Correr(const QString& dir, QStringList sim, const QStringList& args,
                          const QString& extra_ini = {}, const QString& senal = {},
                          const QString& tras = {}) {
        Corrida c;
        QProcess logger;
        if (!sim.removeAll("--lento")) sim.prepend("--rapido");
        logger.start(QStringLiteral(AQ_SIM_PATH), QStringList{"--detalle"} + sim);
        while (!logger.canReadLine() && logger.waitForReadyRead(5000)) continue;
        const QString dispositivo = QString::fromLocal8Bit(logger.readLine()).trimmed();
        if (dispositivo.isEmpty()) return c;
        c.dispositivo = QFileInfo(dispositivo).canonicalFilePath();

        QFile ini(dir + "/win.ini");
        if (!ini.open(QIODevice::WriteOnly)) return c;
        ini.write(QStringLiteral("[BRISNA AQ-TIDE 1.0]\r\nMSComm1_PORT=2\r\nRAIZ=%1\r\nDATOS=%1/"
                                 "DATOS\r\nBAK=%1/BAK\r\n[Puertos]\r\nCOM2=%2\r\n%3")
                      .arg(dir, dispositivo, extra_ini)
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
        QByteArray registro;
        if (!senal.isEmpty()) {
            QElapsedTimer t;
            t.start();
            const QByteArray esperado = "recibido \"" + tras.toLatin1() + '"';
            while (!registro.contains(esperado) && t.elapsed() < 30000) {
                logger.waitForReadyRead(50);
                registro += logger.readAllStandardError();
            }
            QProcess::execute("kill", {"-" + senal, QString::number(cli.processId())});
            t.start();
            cli.waitForFinished(90000);
            c.tras_senal_ms = t.elapsed();
        }
        const bool terminado = cli.state() == QProcess::NotRunning || cli.waitForFinished(90000);
        if (terminado && cli.exitStatus() == QProcess::NormalExit) c.salida = cli.exitCode();
        c.salida_estandar = QString::fromUtf8(cli.readAllStandardOutput());
        c.errores = QString::fromUtf8(cli.readAllStandardError());

        logger.terminate();
        logger.waitForFinished(3000);
        registro += logger.readAllStandardError();
        static const QRegularExpression recibido("recibido \"([^\"]*)\"");
        for (auto m = recibido.globalMatch(QString::fromLocal8Bit(registro)); m.hasNext();) {
            const QString cmd = m.next().captured(1);
            c.comandos << (cmd == QString(32, QLatin1Char('U')) ? QStringLiteral("U") : cmd);
        }
        return c;
    }

    static void Columnas() {
        QTest::addColumn<QStringList>("sim");
        // "existente": x.csv exists; "bak_archivo"; "base_rota": the station archive cannot be
        // opened
        QTest::addColumn<QString>("preparar");
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<int>("salida");
        QTest::addColumn<QStringList>("comandos");  // "F*": any command starting with F
        QTest::addColumn<QString>("en_salida");
        QTest::addColumn<QString>("en_errores");    // parts separated by "|"
        QTest::addColumn<QStringList>("archivos");  // that must exist afterwards
    }

    static const inline QStringList nada;
    static const inline QStringList descarga = {"U", "V", "U", "DDD", "L", "AAA"};
    static const inline QStringList escritos = {"x.csv", "BAK/x.$%c", "BAK/temp.tmp", "DUMP.$$$"};
    static QTestData& fila(const char* n) { return QTest::newRow(n); }

  private Q_SLOTS:
    // An empty expected text means that nothing at all may be written there.
    void orden_data() {
        Columnas();

        fila("estado") << nada << "" << QStringList{"estado"} << 0 << QStringList{"U", "V", "L"}
                       << "lectura_mm: "
                       << "" << nada;
        fila("estado json por dispositivo")
            << nada << "" << QStringList{"--puerto", "DEV", "estado", "--json"} << 0
            << QStringList{"U", "V", "L"} << "\"modo\":\"AJUSTE\""
            << "" << nada;
        fila("estado mudo") << QStringList{"--mudo"} << "" << QStringList{"estado"} << 1
                            << QStringList{"U", "U"} << ""
                            << "Error 001, el equipo no responde.\nVerifique el puerto" << nada;
        // Another firmware: the greeting ends the run, and the memory is not erased.
        fila("otra version") << QStringList{"--version", "AQ-TIDE 2.3"} << ""
                             << QStringList{"borrar", "--sin-descarga-previa", "--si"} << 1
                             << QStringList{"U", "V"} << ""
                             << "Este software no es compatible\ncon la versión AQ-TIDE 2.3 de "
                                "firmware\n"
                             << nada;
        fila("modo registro") << nada << "" << QStringList{"modo", "registro"} << 0
                              << QStringList{"U", "V", "RRR", "L"} << "modo: REGISTRO\n"
                              << "" << nada;
        fila("modo registro PE") << QStringList{"--responder", "RRR=PE"} << ""
                                 << QStringList{"modo", "registro"} << 1
                                 << QStringList{"U", "V", "RRR", "L"} << "modo: AJUSTE\n"
                                 << "La memoria del equipo contiene poco espacio libre.\n\nEl "
                                    "equipo NO pasará a Modo REGISTRO"
                                 << nada;
        fila("modo ajuste") << QStringList{"--registro"} << "" << QStringList{"modo", "ajuste"} << 0
                            << QStringList{"U", "V", "AAA", "L"} << "modo: AJUSTE\n"
                            << "" << nada;
        fila("fecha") << nada << "" << QStringList{"fecha", "05/06/02"} << 0
                      << QStringList{"U", "V", "L", "F05/06/02"} << ""
                      << "" << nada;
        fila("fecha imposible") << nada << "" << QStringList{"fecha", "31/04/02"} << 2 << nada << ""
                                << "La fecha selectada no es válida." << nada;
        fila("fecha en registro") << QStringList{"--registro"} << ""
                                  << QStringList{"fecha", "05/06/02"} << 1
                                  << QStringList{"U", "V", "L"} << ""
                                  << "Modo REGISTRO" << nada;
        fila("hora") << nada << "" << QStringList{"hora", "9:05"} << 0
                     << QStringList{"U", "V", "L", "H09:05"} << ""
                     << "" << nada;
        fila("hora imposible") << nada << "" << QStringList{"hora", "24:00"} << 2 << nada << ""
                               << "La hora indicada no es válida." << nada;
        fila("intervalo 30m") << nada << "" << QStringList{"intervalo", "30m"} << 0
                              << QStringList{"U", "V", "L", "I3"} << ""
                              << "" << nada;
        fila("intervalo codigo") << nada << "" << QStringList{"intervalo", "6"} << 0
                                 << QStringList{"U", "V", "L", "I6"} << ""
                                 << "" << nada;
        fila("intervalo 20m") << nada << "" << QStringList{"intervalo", "20m"} << 2 << nada << ""
                              << "El intervalo indicado no es válido." << nada;
        fila("reloj") << nada << "" << QStringList{"reloj"} << 0
                      << QStringList{"U", "V", "L", "F*", "H*"} << "hora: "
                      << "" << nada;

        fila("descargar") << nada << "" << QStringList{"descargar", "x.csv"} << 0 << descarga
                          << "Datos en: "
                          << "Recibiendo ... 50 %" << escritos;
        fila("descargar en registro")
            << QStringList{"--registro"} << "" << QStringList{"descargar", "x.csv"} << 0
            << QStringList{"U", "V", "U", "DDD", "L", "RRR"} << "Datos en: "
            << "Recibiendo ..." << escritos;
        // The line closed mid-dump: a short reception at once, not after 45 s; files written
        // but not archived.
        fila("descargar linea cerrada")
            << QStringList{"--cerrar-en", "10000"} << "" << QStringList{"descargar", "x.csv"} << 1
            << QStringList{"U", "V", "U", "DDD"} << "Datos en: "
            << "Error 005, el lazo de comunicación se ha interrumpido.|"
               "No se actualizó el archivo histórico: la descarga no fue completa"
            << nada;
        // The backup cannot be written; the data file is, and the exit status says so.
        fila("descargar sin carpeta BAK")
            << nada << "bak_archivo" << QStringList{"descargar", "x.csv"} << 3 << descarga
            << "Datos en: "
            << "No se pudo guardar el resguardo " << QStringList{"x.csv"};
        // Downloaded and saved, but the archive cannot be opened: a status of its own.
        fila("descargar sin archivo historico")
            << nada << "base_rota" << QStringList{"descargar", "x.csv"} << 4 << descarga
            << "Datos en: "
            << "No se actualizó el archivo histórico" << escritos;
        fila("descargar existente")
            << nada << "existente" << QStringList{"descargar", "x.csv"} << 3 << nada << ""
            << "El archivo seleccionado ya existe" << nada;
        fila("descargar sobrescribir")
            << nada << "existente" << QStringList{"descargar", "x.csv", "--sobrescribir"} << 0
            << descarga << "Datos en: "
            << "Recibiendo ..." << escritos;
        // The save dialog's name rules hold for the file's own name, not for its folders.
        fila("descargar dos puntos")
            << nada << "" << QStringList{"descargar", "tmp.x/x.v2.csv"} << 2 << nada << ""
            << "extención incorrecta\n"
            << nada;
        fila("descargar en carpeta con punto")
            << nada << "" << QStringList{"descargar", "tmp.x/pozo.csv"} << 0 << descarga
            << "Datos en: "
            << "Recibiendo ..." << QStringList{"tmp.x/pozo.csv", "BAK/pozo.$%c"};
        fila("descargar nombre prohibido")
            << nada << "" << QStringList{"descargar", "tmp.x/Ayuda.txt"} << 3 << nada << ""
            << "Permiso denegado.\n"
            << nada;
        fila("descargar sobre temp.tmp")
            << nada << "" << QStringList{"descargar", "BAK/temp.tmp"} << 3 << nada << ""
            << "BAK/temp.tmp: la descarga escribe allí su resguardo, DUMP.$$$, temp.tmp o el "
               "archivo histórico"
            << nada;
        fila("descargar sobre el archivo historico")
            << nada << "" << QStringList{"descargar", "ARCHIVO.db", "--sobrescribir"} << 3 << nada
            << ""
            << "ARCHIVO.db: la descarga escribe allí" << nada;
        fila("descargar y borrar")
            << nada << "" << QStringList{"descargar", "x.csv", "--y-borrar", "--si"} << 0
            << QStringList{"U", "V", "U", "DDD", "U", "L", "BBB", "L", "AAA"} << "Datos en: "
            << "La memoria ha sido borrada y verificada exitosamente." << escritos;
        fila("descargar y borrar sin confirmar")
            << nada << "" << QStringList{"descargar", "x.csv", "--y-borrar"} << 2 << nada << ""
            << "--si" << nada;
        // The gate of an erase without a download: both words, or nothing goes on the line.
        fila("borrar sin --si") << nada << "" << QStringList{"borrar", "--sin-descarga-previa"} << 2
                                << nada << ""
                                << "debe habela leído previamente" << nada;
        fila("borrar solo --si") << nada << "" << QStringList{"borrar", "--si"} << 2 << nada << ""
                                 << "debe habela leído previamente" << nada;
        fila("borrar sin descarga previa")
            << nada << "" << QStringList{"borrar", "--sin-descarga-previa", "--si"} << 0
            << QStringList{"U", "V", "U", "L", "BBB", "L", "AAA"} << ""
            << "exitosamente." << nada;
        fila("borrar linea cerrada")
            << QStringList{"--cerrar-tras", "BBB"} << ""
            << QStringList{"borrar", "--sin-descarga-previa", "--si"} << 1
            << QStringList{"U", "V", "U", "L", "BBB"} << ""
            << "Error 022, El equipo no responde, verifique el enlace y reintente el borrado"
            << nada;
        fila("borrar en registro") << QStringList{"--registro"} << ""
                                   << QStringList{"borrar", "--sin-descarga-previa", "--si"} << 1
                                   << QStringList{"U", "V", "U", "L", "L", "RRR"} << ""
                                   << "El equipo se encuentra en Modo REGISTRO" << nada;

        fila("sin orden") << nada << "" << QStringList{} << 2 << nada << ""
                          << "Uso:" << nada;
        fila("orden desconocida") << nada << "" << QStringList{"leer"} << 2 << nada << ""
                                  << "Uso:" << nada;
        fila("puerto 7") << nada << "" << QStringList{"--puerto", "7", "estado"} << 2 << nada << ""
                         << "El puerto debe ser 1, 2, 3 o 4" << nada;
        fila("puerto abc") << nada << "" << QStringList{"--puerto", "abc", "estado"} << 2 << nada
                           << ""
                           << "Puerto no válido: \"abc\"." << nada;
        fila("puerto tcp incompleto")
            << nada << "" << QStringList{"--puerto", "tcp://sin-puerto", "estado"} << 2 << nada
            << ""
            << "tcp://HOST:PUERTO" << nada;
        fila("puerto inexistente")
            << nada << "" << QStringList{"--puerto", "/dev/no-hay", "estado"} << 1 << nada << ""
            << "No se pudo abrir el puerto" << nada;
        fila("argumento de mas")
            << nada << "" << QStringList{"estado", "x"} << 2 << nada << ""
            << "Uso: aqtide-cli [--puerto N|DISPOSITIVO|tcp://HOST:PUERTO] estado [--json]" << nada;
        fila("verificar sin archivo")
            << nada << "" << QStringList{"verificar", "no-hay.csv"} << 3 << nada << ""
            << "no-hay.csv: El archivo no existe.\n"
            << nada;
    }

    // Orders that wait out the 45 seconds of a dump or a silent logger: a ctest of their own,
    // run alongside.
    void orden_lenta_data() {
        Columnas();
        fila("descargar corte") << QStringList{"--corte", "10000"} << ""
                                << QStringList{"descargar", "x.csv"} << 1 << descarga
                                << "Datos en: "
                                << "Error 005, el lazo de comunicación se ha interrumpido.|"
                                   "Error 006 hubo un error durante la recepción|"
                                   "La memoria no llegó completa y verificada"
                                << escritos;
        // One character too many: the count never stops on the dump's length, so the wait runs
        // its whole time; the memory is whole and verified and the closing commands understood.
        fila("descargar largo") << QStringList{"--dump-largo"} << ""
                                << QStringList{"descargar", "x.csv"} << 0 << descarga
                                << "Datos en: "
                                << "Recibiendo ..." << escritos;
        // The greeting passed, the reader's own link check is not answered.
        fila("descargar sin enlace")
            << QStringList{"--mudo-tras", "V"} << "" << QStringList{"descargar", "x.csv"} << 1
            << QStringList{"U", "V", "U", "U", "L", "U"} << ""
            << "Error 016, El equipo no responde de manera adecuada." << nada;
    }
    void orden_lenta() { orden(); }

    // Ctrl-C or SIGTERM during a download: the run stops at once with no data file and its
    // port free; a logger that still listens is left in its mode.
    void senal_data() {
        QTest::addColumn<QStringList>("sim");
        QTest::addColumn<QString>("senal");
        QTest::addColumn<QString>("tras");
        QTest::addColumn<int>("salida");
        QTest::addColumn<QStringList>("comandos");
        QTest::newRow("SIGINT con el equipo callado")
            << QStringList{"--mudo-a", "DDD"} << "INT"
            << "DDD" << 130 << QStringList{"U", "V", "U", "DDD", "L", "AAA"};
        QTest::newRow("SIGTERM durante el volcado")
            << QStringList{"--lento"} << "TERM"
            << "DDD" << 143 << QStringList{"U", "V", "U", "DDD"};
    }
    void senal() {
        QFETCH(QStringList, sim);
        QFETCH(QString, senal);
        QFETCH(QString, tras);
        QTemporaryDir dir;
        QVERIFY(QDir(dir.path()).mkdir("BAK"));
        const Corrida c = Correr(dir.path(), sim, {"descargar", "x.csv"}, {}, senal, tras);
        QTEST(c.salida, "salida");
        QTEST(c.comandos, "comandos");
        QVERIFY2(c.tras_senal_ms < 3000, qPrintable(QString::number(c.tras_senal_ms)));
        QVERIFY2(c.errores.endsWith("\nInterrumpido.\n"), qPrintable(c.errores));
        QVERIFY(!QFile::exists(dir.filePath("x.csv")));
        const QString bloqueo = "aqtide-puerto-" + QUrl::toPercentEncoding(c.dispositivo) + ".lock";
        for (const QString& d : {QStringLiteral("/run/lock"), QDir::tempPath()})
            QVERIFY2(!QFile::exists(QDir(d).filePath(bloqueo)), qPrintable(bloqueo));
    }

    // Every order explains itself on standard output, exit statuses included, and exits 0.
    void ayuda() {
        for (const char* orden :
             {"estado", "modo", "fecha", "hora", "intervalo", "reloj", "descargar", "borrar",
              "expandir", "verificar", "grafico", "archivo"}) {
            QProcess cli;
            cli.start(QStringLiteral(AQ_BINARIOS "/cli/aqtide-cli"), {orden, "--help"});
            QVERIFY(cli.waitForFinished(30000));
            QCOMPARE(cli.exitCode(), 0);
            const QString texto = QString::fromUtf8(cli.readAllStandardOutput());
            QVERIFY2(texto.startsWith("Uso: aqtide-cli "), orden);
            QVERIFY2(texto.contains(QString::fromUtf8(
                         "Estado de salida: 0 hecho; 1 falló el equipo o la operación; 2 uso o "
                         "valor incorrecto;\n3 falla de archivo; 4 descarga guardada sin "
                         "actualizar el archivo histórico;\n130 interrumpida con Ctrl-C; 143 "
                         "terminada con SIGTERM.\n")),
                     orden);
        }
    }

    void orden() {
        QFETCH(QString, preparar);
        QFETCH(QStringList, comandos);
        QFETCH(QStringList, archivos);
        QTemporaryDir dir;
        QDir d(dir.path());
        QVERIFY(d.mkdir("DATOS") && d.mkdir("tmp.x"));
        if (preparar == "bak_archivo") {
            QFile f(d.filePath("BAK"));
            QVERIFY(f.open(QIODevice::WriteOnly));
        } else {
            QVERIFY(d.mkdir("BAK"));
        }
        const QString previo = d.filePath("x.csv");
        if (preparar == "existente") {
            QFile f(previo);
            QVERIFY(f.open(QIODevice::WriteOnly) && f.write("viejo") == 5);
        }

        QFETCH(QStringList, sim);
        QFETCH(QStringList, args);
        const QString base_rota = preparar == "base_rota"
                                      ? "[Archivo]\r\nBase=" + d.filePath("no-hay/A.db") + "\r\n"
                                      : QString();
        const Corrida c = Correr(dir.path(), sim, args, base_rota);
        QTEST(c.salida, "salida");
        QCOMPARE(c.comandos.size(), comandos.size());
        for (int i = 0; i < comandos.size(); ++i) {
            const QString& e = comandos[i];
            QVERIFY2(e.endsWith('*') ? c.comandos[i].startsWith(e.chopped(1)) : c.comandos[i] == e,
                     qPrintable(c.comandos.join(' ')));
        }
        QFETCH(QString, en_salida);
        QFETCH(QString, en_errores);
        if (en_salida.isEmpty()) QCOMPARE(c.salida_estandar, QString());
        QVERIFY2(c.salida_estandar.contains(en_salida), qPrintable(c.salida_estandar));
        if (en_errores.isEmpty()) QCOMPARE(c.errores, QString());
        for (const QString& parte : en_errores.split('|'))
            QVERIFY2(c.errores.contains(parte), qPrintable(c.errores));
        for (const QString& a : archivos) QVERIFY2(QFile::exists(d.filePath(a)), qPrintable(a));
        if (preparar == "existente" && c.salida != 0) {
            QFile f(previo);
            QVERIFY(f.open(QIODevice::ReadOnly) && f.readAll() == "viejo");  // untouched
        }
    }
};

QTEST_GUILESS_MAIN(Tst_Cli)
#include "tst_cli.moc"
