#include <QtTest>
#include <ctime>

#include "link/enlace.h"
#include "platform/puerto_tcp.h"
#include "platform/reloj_real.h"
#include "servidor_tcp.h"

using namespace aq;

class Tst_Puerto_Tcp : public QObject {
    Q_OBJECT
    Reloj_Real reloj_;

    static double Cpu() { return static_cast<double>(std::clock()) / CLOCKS_PER_SEC; }

    std::unique_ptr<Puerto_Tcp> Abrir(const QString& host, quint16 puerto) {
        auto p = std::make_unique<Puerto_Tcp>(reloj_);
        p->setDestino(host, puerto);
        p->setPortOpen(true);
        return p;
    }

  private Q_SLOTS:
    void conexion_imposible_es_un_logger_mudo_data() {
        QTest::addColumn<QString>("host");
        QTest::addColumn<bool>("rechazada");
        QTest::newRow("puerto cerrado") << "127.0.0.1" << true;
        QTest::newRow("nombre inexistente") << "aqtide-no-existe.invalid" << false;
    }
    void conexion_imposible_es_un_logger_mudo() {
        QFETCH(QString, host);
        QFETCH(bool, rechazada);
        quint16 libre;
        {
            QTcpServer s;
            QVERIFY(s.listen(QHostAddress::LocalHost, 0));
            libre = s.serverPort();
        }
        const double t0 = reloj_.Segundos();
        auto p = Abrir(host, libre);
        QVERIFY(!p->PortOpen());
        QVERIFY(reloj_.Segundos() - t0 < (rechazada ? 0.5 : 3.5));
        QCOMPARE(p->Ultimo_Error(),
                 QStringLiteral("No se pudo conectar con tcp://%1:%2.").arg(host).arg(libre));
        QCOMPARE(Enviar_Comando(*p, reloj_, "V", 13), QByteArray("NC\r\n"));
        // A closed port stays a silent line: waits sleep instead of returning in a loop.
        const double t1 = reloj_.Segundos(), cpu1 = Cpu();
        QVERIFY(!p->Esperar_Datos(t1 + 0.2));
        QVERIFY(reloj_.Segundos() - t1 >= 0.2 && Cpu() - cpu1 < 0.05);
    }

    void espera_bloqueante_y_lectura() {
        const QByteArray largo(3000, 'x');
        QByteArray oido;
        Servidor_Tcp s([&](QTcpSocket& c) {
            QThread::msleep(700);
            Servidor_Tcp::Escribir(c, "OK\r\n");
            oido = Servidor_Tcp::Leer(c, 3);
            Servidor_Tcp::Escribir(c, largo);
            Servidor_Tcp::Leer(c, 1);  // holds the line open until the port closes
        });
        auto p = Abrir("127.0.0.1", s.puerto);
        QVERIFY(p->PortOpen());
        // A silent line: the wait lasts until its deadline, asleep.
        double t0 = reloj_.Segundos(), cpu0 = Cpu();
        QVERIFY(!p->Esperar_Datos(t0 + 0.4));
        QVERIFY(reloj_.Segundos() - t0 >= 0.4 && reloj_.Segundos() - t0 < 0.6);
        QVERIFY2(Cpu() - cpu0 < 0.05, "the wait must block, not spin");
        // Data ends the wait early.
        t0 = reloj_.Segundos();
        QVERIFY(p->Esperar_Datos(t0 + 3));
        QVERIFY(reloj_.Segundos() - t0 < 1.0);
        QCOMPARE(p->InBufferCount(), 4);

        p->Output("AAA");
        QTRY_COMPARE(p->InBufferCount(), 3004);
        QCOMPARE(oido, QByteArray("AAA"));
        p->setInputLen(2);
        QCOMPARE(p->Input(), QByteArray("OK"));
        p->setInputLen(0);
        QCOMPARE(p->Input(), "\r\n" + largo);
        QVERIFY(p->PortOpen());
    }

    // The far end hangs up in the middle of a long answer; the port may notice it while it
    // waits, or from the window events between two waits.
    void caida_conserva_lo_recibido_data() {
        QTest::addColumn<bool>("con_eventos");
        QTest::newRow("en la espera") << false;
        QTest::newRow("entre esperas") << true;
    }
    void caida_conserva_lo_recibido() {
        QFETCH(bool, con_eventos);
        const QByteArray parte(5000, 'D');
        Servidor_Tcp s([&](QTcpSocket& c) {
            if (Servidor_Tcp::Leer(c, 3) == "DDD") Servidor_Tcp::Escribir(c, parte);
        });
        auto p = Abrir("127.0.0.1", s.puerto);
        p->Output("DDD");
        const double t0 = reloj_.Segundos(), cpu0 = Cpu();
        while (p->PortOpen() && reloj_.Segundos() - t0 < 3) {
            if (con_eventos)
                QTest::qWait(50);
            else
                p->Esperar_Datos(t0 + 3);
        }
        QVERIFY(!p->PortOpen());
        QVERIFY(reloj_.Segundos() - t0 < 1.0 && Cpu() - cpu0 < 0.2);
        QCOMPARE(p->InBufferCount(), parte.size());
        QCOMPARE(p->Input(), parte);
        QCOMPARE(p->InBufferCount(), 0);
        p->Output("L");  // writing on a dropped line does nothing
    }

    void reconexion_tras_una_caida() {
        Servidor_Tcp s(
            [](QTcpSocket& c) {
                if (Servidor_Tcp::Leer(c, 32) == QByteArray(32, 'U'))
                    Servidor_Tcp::Escribir(c, "OK\r\n");
                Servidor_Tcp::Leer(c, 1);  // "V": hangs up without answering
            },
            2);
        auto p = Abrir("127.0.0.1", s.puerto);
        QCOMPARE(Enviar_Comando(*p, reloj_, QByteArray(32, 'U'), 4), QByteArray("OK\r\n"));
        QCOMPARE(Enviar_Comando(*p, reloj_, "V", 13), QByteArray("NC\r\n"));
        QVERIFY(!p->PortOpen());
        QVERIFY(p->setPortOpen(true));
        QVERIFY(p->Ultimo_Error().isEmpty());
        QCOMPARE(Enviar_Comando(*p, reloj_, QByteArray(32, 'U'), 4), QByteArray("OK\r\n"));
    }
};

QTEST_GUILESS_MAIN(Tst_Puerto_Tcp)
#include "tst_puerto_tcp.moc"
