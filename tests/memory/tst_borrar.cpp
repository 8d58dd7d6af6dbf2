#include <QtTest>

#include "dobles/fondo_falso.h"
#include "link/enlace.h"
#include "memory/borrado.h"
#include "memory/ui/borrar_memoria.h"

using namespace aq;

namespace {

const QByteArray U32(32, 'U');
const QString Registro =
    "El equipo se encuentra en Modo REGISTRO\nPara poder borrar la memoria, deberá:\n"
    "   - pasar a Modo AJUSTE.\n   - volver a Leer la Memoria.\n"
    "   - Ejecutar nuevamente el comando de Borrar la Memoria.\n";
const QString Cola = "\nReintente el borrado.\nSi el problema persiste contacte al fabricante";

// A logger in mode `modo` whose answer to "BBB" arrives in `trozos`, 0.3 s apart.
struct Escena {
    Banco b;
    QPointer<Borrar_Memoria> w;
    double t_caja = 0;

    explicit Escena(const QList<QByteArray>& trozos = {Resp_OK}, const QByteArray& modo = "AJ",
                    int vacios = 4000) {
        b.estado.Memoria_Leida = true;
        b.estado.Lugares_Vacios = static_cast<qint16>(vacios);
        b.puerto.Responder_Enlace();
        b.puerto.Responder(
            "L", Bloque_Estado("007", "04", "0123", "15/03/02", "10:07", "15 min  ", modo));
        b.puerto.Responder("AAA", Resp_OK);
        b.puerto.Responder("RRR", Resp_OK);
        b.puerto.al_escribir = [this, trozos](const QByteArray& c) {
            if (c != "BBB") return;
            for (int i = 0; i < trozos.size(); ++i) b.puerto.Entregar(trozos[i], 0.3 * (i + 1));
        };
        b.dialogos.al_mostrar = [this](const Dialogos_Guionados::Caja&) {
            t_caja = b.reloj.Segundos();
        };
        w = new Borrar_Memoria(b.ctx);
        b.fondo.Mostrar_Hija(w);
    }
    double T_Bbb() const {
        for (const auto& e : b.puerto.Escrituras())
            if (e.texto == "BBB") return e.t;
        return -1;
    }
    QList<QByteArray> Comandos_Tras_Bbb() const {
        const auto c = b.puerto.Comandos();
        return c.mid(c.indexOf("BBB") + 1);
    }
};

}  // namespace

class Tst_Borrar : public QObject {
    Q_OBJECT

  private Q_SLOTS:
    void tiempo_permitido() {
        for (int vacios : {4096, 0}) {
            Escena e({}, "AJ", vacios);
            e.w->Command1_Click();
            QCOMPARE(e.w->Tiempo_Borrado_Ms, vacios ? 2000.0 : 124880.0);
            QCOMPARE(e.w->ProgressBar1->maximum(), vacios ? 1000 : 123880);
        }
    }

    void cancelar_no_envia_nada() {
        Escena e;
        QVERIFY(!e.b.fondo.Habilitado(Item_Menu::IDC_MENU));
        QCOMPARE(e.w->windowTitle(), QString("Borrar Memoria"));
        e.b.dialogos.respuestas = {Respuesta::Cancelar};
        e.w->Command1_Click();
        QCOMPARE(e.b.dialogos.Textos(), QStringList{"Se dispone a borrar la memoria.\n"
                                                    "Confirma el borrado ?\n"});
        QCOMPARE(e.b.dialogos.cajas[0].titulo, QString("Atención !!!"));
        QCOMPARE(e.b.dialogos.cajas[0].botones, Botones::Aceptar_Cancelar);
        QVERIFY(e.b.puerto.Comandos().isEmpty());
        QVERIFY(e.w->isVisible() && e.w->Command1->isEnabled());
    }

    void modo_registro_o_sin_estado_rechaza() {
        for (const QByteArray modo : {"RE", "--"}) {
            Escena e({Resp_OK}, modo);
            if (modo == "--") e.b.puerto.Responder("L", QByteArray());  // logger silent: "NC"
            e.w->Command1_Click();
            QCOMPARE(e.b.dialogos.Textos().value(1), Registro);
            QCOMPARE(e.b.dialogos.cajas[1].titulo, QString("Atención !!!"));
            QCOMPARE(e.b.dialogos.cajas[1].icono, Icono::Exclamacion);
            QVERIFY(!e.b.estado.Memoria_Leida);
            QVERIFY(!e.b.fondo.Ultima<Borrar_Memoria>());
            QVERIFY(!e.b.puerto.Comandos().contains("BBB"));
            if (modo == "RE") {
                QCOMPARE(e.b.puerto.Comandos(), (QList<QByteArray>{U32, "L", "L", "RRR"}));
            }
            QVERIFY(e.b.fondo.Habilitado(Item_Menu::IDC_MENU));
        }
    }

    void borrado_exitoso_en_dos_trozos_cierra_la_ventana() {
        Escena e({"O", "K\r\n"});
        e.w->Command1_Click();
        QCOMPARE(e.b.dialogos.Textos().value(1),
                 QString("La memoria ha sido borrada y verificada exitosamente."));
        QCOMPARE(e.b.dialogos.cajas[1].icono, Icono::Informacion);
        QCOMPARE(e.b.dialogos.cajas[1].titulo, Titulo_Aplicacion);
        QVERIFY(qAbs(e.t_caja - e.T_Bbb() - 0.6) < 0.01);
        QVERIFY(!e.b.fondo.Ultima<Borrar_Memoria>());
        QCOMPARE(e.Comandos_Tras_Bbb(), (QList<QByteArray>{"L", "AAA"}));
        QVERIFY(e.b.estado.Memoria_Leida);
        for (Item_Menu i : {Item_Menu::IDC_MEMO, Item_Menu::IDC_SETUP, Item_Menu::IDC_PROGRAMADOR,
                            Item_Menu::IDC_ACERCA, Item_Menu::IDC_MENU})
            QVERIFY(e.b.fondo.Habilitado(i));
        QVERIFY(!e.b.fondo.arena);
    }

    void respuestas_fallidas_dejan_la_ventana_abierta() {
        struct Caso {
            QList<QByteArray> trozos;
            QString texto;
            bool al_vencer;  // shown when the time allowed runs out
        };
        const QList<Caso> casos = {
            {{Resp_KO},
             "Error 019 (KO), La memoria no pudo ser borrada correctamente." + Cola,
             false},
            {{Resp_DESCONOCIDO},
             "Error 020 (?"
             "?), Comando no reconocido !!!" +
                 Cola,
             false},
            {{"OK\r\nX"}, "Error 021 , Respuesta anormal!" + Cola, true},
            {{"X", "OK\r\n"}, "Error 021 , Respuesta anormal!" + Cola, true},
            {{},
             "Error 022, El equipo no responde, verifique el enlace y reintente el borrado",
             true},
        };
        for (const Caso& c : casos) {
            Escena e(c.trozos);  // T = 96 × 30 + 2000 = 4880 ms
            e.w->Command1_Click();
            QCOMPARE(e.b.dialogos.Textos().mid(1), QStringList{c.texto});
            QCOMPARE(e.b.dialogos.cajas[1].icono, Icono::Critico);
            QCOMPARE(e.b.dialogos.cajas[1].titulo, Titulo_Aplicacion);
            const double t = e.t_caja - e.T_Bbb();
            if (c.al_vencer)
                QVERIFY2(t > 4.880 && t < 4.890, qPrintable(QString::number(t)));
            else
                QVERIFY(t < 0.5);
            QVERIFY(e.w && e.w->isVisible());
            QVERIFY(e.w->Command1->isEnabled() && e.w->Command2->isEnabled());
            QCOMPARE(e.w->ProgressBar1->value(), 0);
            QCOMPARE(e.Comandos_Tras_Bbb(), QList<QByteArray>());
            QVERIFY(e.b.estado.Memoria_Leida);
        }
    }

    void progreso_avanza_y_cierre_rechazado_durante_la_espera() {
        Escena e(QList<QByteArray>{});
        QList<int> valores;
        bool cierre_rechazado = false;
        QObject::connect(e.w->ProgressBar1, &QProgressBar::valueChanged, [&](int v) {
            valores << v;
            if (v > 2000 && !cierre_rechazado) cierre_rechazado = !e.w->close();
        });
        e.w->Command1_Click();
        QVERIFY(cierre_rechazado);
        QVERIFY(std::is_sorted(valores.begin(), valores.end() - 1));
        QVERIFY(valores.size() > 50);
        QVERIFY(valores[valores.size() - 2] <= 3880);
        QVERIFY(e.b.reloj.Cesiones() < 4.88 / 0.05 + 20);  // sleeps on the port between passes
    }
};

QTEST_MAIN(Tst_Borrar)
#include "tst_borrar.moc"
