#include <QtTest>

#include "dobles/fondo_falso.h"
#include "link/enlace.h"
#include "memory/ui/borrar_memoria.h"

using namespace aq;

// A logger in mode `m` whose answer to "BBB" arrives in `trozos`, 0.3 s apart. Keeps the bar
// as the last box found it.
struct Escena {
    Banco b;
    QPointer<Borrar_Memoria> w;
    int barra_en_caja = -1, maximo_en_caja = -1;

    explicit Escena(const QList<QByteArray>& trozos = {Resp_OK}, const QByteArray& m = "AJ") {
        b.estado.Memoria_Leida = true;
        b.puerto.Responder_Enlace();
        b.puerto.Responder("L",
                           Bloque_Estado("007", "04", "0123", "15/03/02", "10:07", "15 min  ", m));
        b.puerto.Responder(m == "RE" ? "RRR" : "AAA", Resp_OK);
        b.puerto.al_escribir = [this, trozos](const QByteArray& c) {
            if (c != "BBB") return;
            for (int i = 0; i < trozos.size(); ++i) b.puerto.Entregar(trozos[i], 0.3 * (i + 1));
        };
        b.dialogos.al_mostrar = [this](const auto&) {
            if (!w) return;
            barra_en_caja = w->ProgressBar1->value();
            maximo_en_caja = w->ProgressBar1->maximum();
        };
        b.fondo.Mostrar_Hija(w = new Borrar_Memoria(b.ctx));
    }
};

class Tst_Borrar : public QObject {
    Q_OBJECT

  private Q_SLOTS:
    // Both close the window and hand the logger back in its mode.
    void modo_registro_rechaza_y_borrado_exitoso() {
        Escena r({Resp_OK}, "RE");
        r.w->Command1_Click();
        QVERIFY(r.b.dialogos.Textos().value(1).startsWith(
            "El equipo se encuentra en Modo REGISTRO\nPara poder borrar la memoria, deberá:\n"));
        QVERIFY(!r.b.estado.Memoria_Leida && !r.b.fondo.Ultima<Borrar_Memoria>());
        QCOMPARE(r.b.puerto.Comandos().mid(1), (QList<QByteArray>{"L", "L", "RRR"}));

        Escena e;  // after a first try cancelled
        e.b.dialogos.respuestas = {Respuesta::Cancelar};
        e.w->Command1_Click();
        QVERIFY(e.b.puerto.Comandos().isEmpty());
        e.w->Command1_Click();
        QCOMPARE(e.b.dialogos.Textos().value(2),
                 QString("La memoria ha sido borrada y verificada exitosamente."));
        QCOMPARE(e.b.dialogos.cajas[2].icono, Icono::Informacion);
        QCOMPARE(e.b.dialogos.cajas[2].titulo, QStringLiteral("Brisna Ingeniería - AQ-TIDE 1.0"));
        QVERIFY(e.maximo_en_caja > 0 && e.barra_en_caja == e.maximo_en_caja);
        QVERIFY(!e.b.fondo.Ultima<Borrar_Memoria>() && e.b.estado.Memoria_Leida);
        QCOMPARE(e.b.puerto.Comandos().mid(3), (QList<QByteArray>{"L", "AAA"}));
        QCOMPARE(e.b.fondo.Veces("Devolver_Menu"), 1);
    }

    // A failure leaves the window open for another try, its bar full as far as the wait went
    // until the box is dismissed. Texts and times allowed for every reply are the erase
    // operation's.
    void respuesta_fallida_deja_reintentar() {
        Escena e({Resp_KO});
        e.w->Command1_Click();
        QCOMPARE(e.b.dialogos.cajas.size(), 2);
        const auto& caja = e.b.dialogos.cajas[1];
        QVERIFY2(caja.texto.startsWith("Error 019 (KO), La memoria no pudo"),
                 qPrintable(caja.texto));
        QCOMPARE(caja.icono, Icono::Critico);
        QCOMPARE(caja.titulo, QStringLiteral("Brisna Ingeniería - AQ-TIDE 1.0"));
        QVERIFY(e.barra_en_caja > 0);
        QCOMPARE(e.w->ProgressBar1->maximum(), qRound(e.w->Tiempo_Borrado_Ms) - 1000);
        QVERIFY(e.w->isVisible() && e.w->Command1->isEnabled() && !e.w->ProgressBar1->value());
        QVERIFY(e.b.puerto.Comandos().last() == "BBB" && e.b.estado.Memoria_Leida);
    }
};

QTEST_MAIN(Tst_Borrar)
#include "tst_borrar.moc"
