#include <QtTest>

#include "dobles/dialogos_guionados.h"
#include "dobles/tabla.h"
#include "platform/dispositivo.h"
#include "platform/puerto_conmutado.h"
#include "platform/reloj_real.h"
#include "servidor_tcp.h"

using namespace aq;

// Which device a port stands for, and the program's port that follows it.
class Tst_Dispositivo : public QObject {
    Q_OBJECT
    Reloj_Real reloj_;
    QTemporaryDir bloqueos_;

  private Q_SLOTS:
    void resolver_dispositivo_data() {
        Columnas<QString, QString, QString>({"argumento", "dispositivo", "error"});
        Fila("número del perfil", "1", "/dev/ttyUSB0", "");
        Fila("número a tcp", " 2 ", "tcp://10.0.0.5:4001", "");
        Fila("número sin perfil", "4", "/dev/ttyS3", "");
        Fila("ruta", "/dev/ttyACM0", "/dev/ttyACM0", "");
        Fila("tcp", "tcp://logger.local:4001", "tcp://logger.local:4001", "");
        Fila("tcp ipv6", "TCP://[::1]:4001", "TCP://[::1]:4001", "");
        const QString tcp = "Dirección no válida: \"%1\". Se espera tcp://HOST:PUERTO.";
        Fila("tcp sin puerto", "tcp://logger", "", tcp.arg("tcp://logger"));
        Fila("tcp puerto 0", "tcp://h:0", "", tcp.arg("tcp://h:0"));
        Fila("tcp con ruta", "tcp://h:1/x", "", tcp.arg("tcp://h:1/x"));
        const QString puerto =
            "Puerto no válido: \"%1\". Se espera un número de 1 a 4, la ruta de un dispositivo o "
            "tcp://HOST:PUERTO.";
        Fila("número 5", "5", "", puerto.arg("5"));
        Fila("número 0", "0", "", puerto.arg("0"));
        Fila("nombre suelto", "ttyUSB0", "", puerto.arg("ttyUSB0"));
        Fila("vacío", "", "", puerto.arg(""));
    }
    void resolver_dispositivo() {
        QFETCH(QString, argumento);
        QFETCH(QString, error);
        Perfil_Memoria perfil;
        perfil.secciones["Puertos"]["COM1"] = " /dev/ttyUSB0 ";
        perfil.secciones["Puertos"]["COM2"] = "tcp://10.0.0.5:4001";
        const Dispositivo_Elegido d = Resolver_Dispositivo(perfil, argumento);
        QTEST(d.dispositivo, "dispositivo");
        QCOMPARE(d.error, error);
        QCOMPARE(static_cast<bool>(d), error.isEmpty());
    }

    void clave_de_bloqueo_comun_a_dos_nombres() {
        QTemporaryDir tmp;
        const QString real = tmp.filePath("ttyUSB0"), enlace = tmp.filePath("por-id");
        QVERIFY(QFile(real).open(QIODevice::WriteOnly));
        QVERIFY(QFile::link(real, enlace));
        QCOMPARE(Clave_Bloqueo(enlace), Clave_Bloqueo(real));
        QCOMPARE(Clave_Bloqueo("tcp://Logger.LOCAL:4001"),
                 Clave_Bloqueo("tcp://logger.local:4001"));
        QVERIFY(Clave_Bloqueo("tcp://logger.local:4001") !=
                Clave_Bloqueo("tcp://logger.local:4002"));
    }

    // The profile picks the kind of line at each opening, and a second program on the same
    // device is refused until the first lets go of it.
    void puerto_del_programa_por_perfil_y_bloqueo() {
        // Answers "V" and stays until the port closes; hangs up on anything else.
        Servidor_Tcp s(
            [](QTcpSocket& c) {
                if (Servidor_Tcp::Leer(c, 1) != "V") return;
                Servidor_Tcp::Escribir(c, "AQ-TIDE 1.0\r\n");
                Servidor_Tcp::Leer(c, 1);
            },
            3);
        Perfil_Memoria perfil;
        perfil.secciones["Puertos"]["COM2"] = s.Direccion();
        Puerto_Conmutado gui(perfil, reloj_, bloqueos_.path());
        Puerto_Conmutado cli(perfil, reloj_, bloqueos_.path());
        gui.setCommPort(2);
        QVERIFY(gui.setPortOpen(true));
        QVERIFY(gui.Es_Tcp());
        gui.Output("V");
        QTRY_COMPARE(gui.InBufferCount(), 13);

        cli.Fijar_Dispositivo(s.Direccion());
        QVERIFY(!cli.setPortOpen(true));
        QVERIFY(!cli.PortOpen());
        QCOMPARE(cli.Ultimo_Error(), QStringLiteral("El puerto tcp://127.0.0.1:%1 está en uso por "
                                                    "otro programa.")
                                         .arg(s.puerto));
        QVERIFY(gui.PortOpen());  // the refused one did not disturb the line
        gui.setPortOpen(false);
        QVERIFY(cli.setPortOpen(true));
        QVERIFY(cli.Ultimo_Error().isEmpty());
        // A drop of the line lets go of the device.
        cli.Output("x");
        auto caido = [&] { return cli.InBufferCount() == 0 && !cli.PortOpen(); };
        QTRY_VERIFY(caido());
        QVERIFY(gui.setPortOpen(true));

        perfil.secciones["Puertos"]["COM2"] = "/dev/aqtide-no-existe";
        gui.setPortOpen(false);
        QVERIFY(!gui.setPortOpen(true));
        QVERIFY(!gui.Es_Tcp());
        QCOMPARE(gui.Ultimo_Error(), "No se pudo abrir el puerto /dev/aqtide-no-existe.");
    }
};

QTEST_GUILESS_MAIN(Tst_Dispositivo)
#include "tst_dispositivo.moc"
