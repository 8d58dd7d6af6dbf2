#include <QWidget>
#include <QtTest>

#include "dobles/puerto_guionado.h"
#include "link/enlace.h"
#include "platform/espera_atenta.h"

using namespace aq;

namespace {

struct Ventana : QWidget {
    int pinturas = 0;
    int teclas = 0;
    int cierres = 0;
    void paintEvent(QPaintEvent*) override { ++pinturas; }
    void keyPressEvent(QKeyEvent*) override { ++teclas; }
    void closeEvent(QCloseEvent* e) override {
        ++cierres;
        e->accept();
    }
};

}  // namespace

// While an exchange waits on the line the windows repaint, and nothing else runs: input, the
// desktop's close box, timers and a second exchange wait until the first one is over.
class Tst_Espera_Atenta : public QObject {
    Q_OBJECT

  private Q_SLOTS:
    void solo_la_pintura_entra_durante_un_intercambio() {
        Reloj_Virtual reloj;
        Puerto_Guionado puerto(reloj);
        puerto.setPortOpen(true);
        Ventana w;
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        QCoreApplication::processEvents();

        int tics = 0;
        QTimer temporizador;
        temporizador.setInterval(1);
        connect(&temporizador, &QTimer::timeout, [&] { ++tics; });
        temporizador.start();
        QCoreApplication::postEvent(&w, new QKeyEvent(QEvent::KeyPress, Qt::Key_A, Qt::NoModifier));
        QByteArray segunda = "sin correr";
        QMetaObject::invokeMethod(
            &w,
            [&] {
                QVERIFY(!w.close());
                segunda = Enviar_Comando(puerto, reloj, "V", 13);
            },
            Qt::QueuedConnection);
        const int pinturas_antes = w.pinturas;
        w.update();
        QThread::msleep(5);  // the timer is due before the exchange looks at the events

        // a silent logger: 5.5 s of waits, link check included
        QCOMPARE(Enviar_Comando(puerto, reloj, "L", 49), Resp_NC);
        QVERIFY(w.pinturas > pinturas_antes);
        QCOMPARE(w.teclas, 0);
        QCOMPARE(w.cierres, 0);
        QCOMPARE(tics, 0);
        QVERIFY(w.isVisible());
        QCOMPARE(segunda, Resp_NC);
        QCOMPARE(puerto.Comandos(), (QList<QByteArray>{"L", QByteArray(32, 'U')}));

        // all of it comes once the exchange is over
        QTRY_COMPARE(w.teclas, 1);
        QTRY_VERIFY(tics > 0);
        QTRY_COMPARE(w.cierres, 1);
        QVERIFY(!w.isVisible());
    }

    void pausas_anidadas_sueltan_lo_retenido_al_final() {
        Reloj_Virtual reloj;
        int tics = 0;
        QTimer temporizador;
        temporizador.setInterval(1);
        connect(&temporizador, &QTimer::timeout, [&] { ++tics; });
        {
            Espera_Atenta exterior;
            temporizador.start();
            QThread::msleep(5);
            Esperar_Medio_Segundo(reloj);  // its own hold ends inside the outer one
            QTest::qWait(20);
            QCOMPARE(tics, 0);
        }
        QTRY_VERIFY(tics > 0);
    }
};

QTEST_MAIN(Tst_Espera_Atenta)
#include "tst_espera_atenta.moc"
