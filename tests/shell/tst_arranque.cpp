#include <QtTest>

#include "dobles/banco_operaciones.h"
#include "platform/perfil_ini.h"
#include "shell/arranque.h"

using namespace aq;

// Start-up against real profile files in a scratch folder.
class Tst_Arranque : public QObject {
    Q_OBJECT

    struct Escena {
        QTemporaryDir dir;
        Banco_Operaciones b;
        Perfil_Ini perfil{dir.filePath("win.ini")};
        Contexto ctx{b.estado, b.puerto, b.reloj, perfil};
        QString inicio;
        QList<Aviso_Ajustes> avisos;
        Escena() {
            inicio = QDir::toNativeSeparators(dir.filePath("prog"));
            QDir().mkpath(inicio);
        }
        bool Leer() { return Leer_Configuracion(ctx, inicio, &avisos); }
        void Escribir_Ini(const QByteArray& texto) {
            QFile f(dir.filePath("win.ini"));
            QVERIFY(f.open(QIODevice::WriteOnly));
            f.write(texto);
        }
        QByteArray Ini() {
            QFile f(dir.filePath("win.ini"));
            f.open(QIODevice::ReadOnly);
            return f.readAll();
        }
    };

  private Q_SLOTS:
    // X11 appends a set display name to every window title the window system receives.
    void sin_nombre_visible_que_se_agregue_a_los_titulos() {
        Preparar_Aplicacion();
        QCOMPARE(QCoreApplication::applicationName(), QStringLiteral("aqtide"));
        QCOMPARE(QGuiApplication::applicationDisplayName(), QCoreApplication::applicationName());
    }

    void sin_seccion_avisa_tres_directorios_y_el_puerto() {
        Escena e;
        QVERIFY(!e.Leer());
        const auto& cajas = e.avisos;
        QCOMPARE(cajas.size(), 4);
        QCOMPARE(cajas[0].texto,
                 QStringLiteral("El directorio inicial del programa que se\n"
                                "halla especificado en WIN.INI no existe.\n"
                                "Recomendamos la reinstalación de este programa.\n"));
        QCOMPARE(cajas[0].titulo, QStringLiteral("Atención !!!"));
        QCOMPARE(cajas[0].icono, Icono::Exclamacion);
        QCOMPARE(cajas[3].texto,
                 QStringLiteral("El puerto de comunicaciones serial no figura en WIN.INI\n"
                                "Asumiremos COM1. Si lo desea cámbielo en Opciones.\n"
                                "Recomendamos la reinstalación de este programa.\n"));
        QCOMPARE(e.b.estado.Puerto_Com, 1);
        QCOMPARE(e.b.estado.Directorio_Datos, e.inicio);
        // nothing is written back
        QVERIFY(!e.Ini().contains("MSComm1_PORT"));
    }

    void valores_del_puerto() {
        const QList<QPair<QByteArray, QString>> casos = {{"0", "no figura"},
                                                         {"abc", "no figura"},
                                                         {"7", "no está adecuadamente"},
                                                         {"-2", "no está adecuadamente"},
                                                         {"4", ""}};
        for (const auto& [valor, aviso] : casos) {
            Escena e;
            const QByteArray d = QDir::fromNativeSeparators(e.inicio).toLatin1();
            e.Escribir_Ini("[BRISNA AQ-TIDE 1.0]\r\nRAIZ=" + d + "\r\nDATOS=" + d + "\r\nBAK=" + d +
                           "\r\nMSComm1_PORT=" + valor + "\r\n");
            e.Leer();
            if (aviso.isEmpty()) {
                QVERIFY(e.avisos.isEmpty());
                QCOMPARE(e.b.estado.Puerto_Com, 4);
            } else {
                QCOMPARE(e.avisos.size(), 1);
                QVERIFY2(e.avisos[0].texto.contains(aviso), valor.constData());
                QCOMPARE(e.b.estado.Puerto_Com, 1);
            }
        }
    }

    void directorio_que_nombra_un_archivo_se_acepta() {
        Escena e;
        const QString archivo = e.dir.filePath("datos.txt");
        QFile(archivo).open(QIODevice::WriteOnly);
        const QString sub = e.dir.filePath("resguardo");
        QDir().mkpath(sub);
        e.Escribir_Ini("[BRISNA AQ-TIDE 1.0]\r\nRAIZ=" + e.dir.path().toLatin1() +
                       "\r\nDATOS=" + archivo.toLatin1() + "\r\nBAK=NADA\r\nMSComm1_PORT=2\r\n");
        e.Leer();
        QCOMPARE(e.b.estado.Directorio_Datos, archivo);
        QCOMPARE(e.avisos.size(), 1);  // only BAK
        QVERIFY(e.avisos[0].texto.contains("resguardo"));
        QCOMPARE(e.b.estado.Puerto_Com, 2);
    }

    void primera_vez_rehace_la_seccion_y_crea_directorios() {
        Escena e;
        e.Escribir_Ini("; comentario\r\n[Otra]\r\nX=1\r\n[BRISNA AQ-TIDE 1.0]\r\nVIEJA=si\r\n");
        QFile(e.inicio + "/inicial.txt").open(QIODevice::WriteOnly);
        e.b.reloj.Fijar_Pc(QDateTime(QDate(2026, 3, 9), QTime(9, 7, 3)));
        QVERIFY(e.Leer());
        QVERIFY(e.b.estado.Instalando);
        QVERIFY(QFileInfo(e.inicio + "/DATOS").isDir());
        QVERIFY(QFileInfo(e.inicio + "/BAK").isDir());
        QVERIFY(!QFile::exists(e.inicio + "/inicial.txt"));
        const QByteArray ini = e.Ini();
        QVERIFY(ini.contains("[BRISNA AQ-TIDE 1.0]"));
        QVERIFY(!ini.contains("VIEJA"));  // the rest of the file is the profile's own test
        QCOMPARE(e.perfil.GetProfileString(e.b.estado.Seccion_Ini, "INSTALADO", ""),
                 QStringLiteral("9/3/2026    9:7:3"));
        QCOMPARE(e.perfil.GetProfileString(e.b.estado.Seccion_Ini, "DATOS", ""),
                 QDir::toNativeSeparators(e.inicio + "/DATOS"));

        // the next start is a normal one, with the directories just made
        QVERIFY(!e.Leer());
        QVERIFY(e.avisos.isEmpty());
    }
};

QTEST_GUILESS_MAIN(Tst_Arranque)
#include "tst_arranque.moc"
