#include <QtTest>

#include <QTcpServer>
#include <QTemporaryDir>

#include "apoyo_sim.h"
#include "link/enlace.h"
#include "memory/descarga.h"
#include "platform/puerto_conmutado.h"

using namespace aq;

namespace {

const QString Ser2net = QStringLiteral("/usr/sbin/ser2net");

// 4096 distinct memory words, as the simulator loads them and the dump sends them.
QByteArray Memoria() {
    QByteArray m;
    for (int k = 0; k < 4096; ++k)
        m += QStringLiteral("%1 ")
                 .arg((k * 0x0731) & 0xFFFF, 4, 16, QLatin1Char('0'))
                 .toUpper()
                 .toLatin1();
    return m;
}

// A real ser2net bridging a free TCP port on 127.0.0.1 to the simulator's pseudo-terminal.
struct Ser2net_En_Marcha {
    QTemporaryDir dir;
    QProcess proceso;
    quint16 puerto = 0;
    QString falta;  // why it did not come up

    explicit Ser2net_En_Marcha(const QString& esclavo) {
        if (!QFileInfo(Ser2net).isExecutable()) {
            falta = Ser2net + " no está instalado (paquete ser2net)";
            return;
        }
        {
            QTcpServer libre;
            libre.listen(QHostAddress::LocalHost, 0);
            puerto = libre.serverPort();
        }
        const QString conf = dir.filePath("ser2net.yaml");
        QFile f(conf);
        if (!f.open(QIODevice::WriteOnly)) return;
        f.write(QStringLiteral("connection: &aqtide\n"
                               "  accepter: tcp,127.0.0.1,%1\n"
                               "  connector: serialdev,%2,9600n81,local\n")
                    .arg(puerto)
                    .arg(esclavo)
                    .toLocal8Bit());
        f.close();
        proceso.start(Ser2net, {"-n", "-d", "-c", conf});
        // Up once it accepts connections (a probe is one short connection of its own).
        for (int i = 0; i < 60 && proceso.state() != QProcess::NotRunning; ++i) {
            QTcpSocket sonda;
            sonda.connectToHost(QHostAddress::LocalHost, puerto);
            if (sonda.waitForConnected(100)) return;
            QThread::msleep(50);
        }
        falta = Ser2net + " no arrancó: " + QString::fromLocal8Bit(proceso.readAllStandardError());
    }
    ~Ser2net_En_Marcha() {
        proceso.kill();
        proceso.waitForFinished(3000);
    }
    QString Direccion() const { return QStringLiteral("tcp://127.0.0.1:%1").arg(puerto); }
};

struct Imagen {
    QTemporaryDir dir;
    QString ruta = dir.filePath("imagen.$%c");
    Imagen() {
        QFile f(ruta);
        if (f.open(QIODevice::WriteOnly)) f.write(Memoria().replace(" ", " \r\n"));
    }
};

}  // namespace

#define ARRANCAR_SER2NET(...)                                                   \
    Imagen img;                                                                 \
    ARRANCAR_SIMULADOR("--memoria", img.ruta, ##__VA_ARGS__);                   \
    Ser2net_En_Marcha s2n(sim.esclavo);                                         \
    if (!s2n.falta.isEmpty()) QSKIP(qPrintable(s2n.falta));                     \
    Perfil_Memoria perfil;                                                      \
    perfil.secciones["Puertos"]["COM3"] = s2n.Direccion();                      \
    Reloj_Real reloj;                                                           \
    Puerto_Conmutado puerto(perfil, reloj, QDir(s2n.dir.path()).filePath("b")); \
    puerto.setCommPort(3);                                                      \
    QVERIFY2(puerto.setPortOpen(true), qPrintable(puerto.Ultimo_Error()));      \
    QVERIFY(puerto.Es_Tcp())

// The logger behind a network serial server, reached as "Comm 3" = tcp://.
class Tst_E2e_Ser2net : public QObject {
    Q_OBJECT

  private Q_SLOTS:
    void enlace_estado_y_volcado() {
        ARRANCAR_SER2NET("--rapido");
        QCOMPARE(Enviar_Comando(puerto, reloj, QByteArray(32, 'U'), 4), QByteArray("OK\r\n"));
        QCOMPARE(Enviar_Comando(puerto, reloj, "V", 13), QByteArray("AQ-TIDE 1.0\r\n"));
        // Only a block whose checksum holds comes back whole.
        const QByteArray estado = Enviar_Comando(puerto, reloj, "L", Largo_Estado);
        QCOMPARE(estado.size(), Largo_Estado);
        QCOMPARE(Modo_De_Estado(estado), QByteArray("AJ"));

        QVERIFY(Reabrir_Puerto(puerto, Buffer_Descarga));
        QCOMPARE(Enviar_Comando(puerto, reloj, QByteArray(32, 'U'), 4), QByteArray("OK\r\n"));
        puerto.Output(Comando_Volcado);
        const Recepcion r = Recibir_Volcado(puerto, reloj);
        QVERIFY(!r.Corta());
        QCOMPARE(r.texto.size(), Largo_Volcado);
        QCOMPARE(r.texto.left(Caracteres_Memoria), Memoria());
        QVERIFY(Checksum_Correcto(r.texto, r.texto.mid(Caracteres_Memoria, 5)));
        QVERIFY(r.texto.endsWith("\r\n"));
    }
};

QTEST_MAIN(Tst_E2e_Ser2net)
#include "tst_e2e_ser2net.moc"
