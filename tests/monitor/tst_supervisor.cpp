#include <QtTest>

#include "dobles/fondo_falso.h"
#include "monitor/ui/prog_fecha.h"
#include "monitor/ui/prog_hora.h"
#include "monitor/ui/prog_intervalo.h"
#include "monitor/ui/supervisor.h"
#include "platform/ui/ventanas.h"

using namespace aq;

namespace {

const QString Link = QStringLiteral("Error en el link");

Supervisor* Abrir(Banco& b) {
    auto* w = new Supervisor(b.ctx);
    b.fondo.Mostrar_Hija(w);
    return w;
}

// Opens the monitor and runs one poll answered with `estado`.
Supervisor* Abrir_Con(Banco& b, const QByteArray& estado) {
    auto* w = Abrir(b);
    b.puerto.Responder("L", estado);
    w->Timer1_Timer();
    b.puerto.Olvidar_Escrituras();
    return w;
}

double Momento(const Banco& b, const QByteArray& comando) {
    for (const auto& e : b.puerto.Escrituras())
        if (e.texto == comando) return e.t;
    return -1;
}

// Commands written, without the exchange's own link checks.
QList<QByteArray> Ordenes(const Banco& b) {
    QList<QByteArray> r = b.puerto.Comandos();
    r.removeAll(QByteArray(32, 'U'));
    return r;
}

bool Menu_Devuelto(const Banco& b) {
    for (Item_Menu i : {Item_Menu::IDC_MENU, Item_Menu::IDC_MEMO, Item_Menu::IDC_SETUP,
                        Item_Menu::IDC_PROGRAMADOR, Item_Menu::IDC_ACERCA})
        if (!b.fondo.Habilitado(i)) return false;
    return true;
}

}  // namespace

class Tst_Supervisor : public QObject {
    Q_OBJECT
  private Q_SLOTS:
    void Decodifica_El_Estado_data();
    void Decodifica_El_Estado();
    void Intervalo_Desconocido_Conserva_Codigo();
    void Botones_Segun_Modo();
    void Temporizador_De_Sondeo();
    void Fallas_Del_Sondeo();
    void Comando_Al_Cerrar();
    void Cambiar_Modo_data();
    void Cambiar_Modo();
    void Cancelar_No_Envia();
    void Entrega_A_Los_Dialogos();
};

void Tst_Supervisor::Decodifica_El_Estado_data() {
    QTest::addColumn<QByteArray>("alcance");
    QTest::addColumn<QByteArray>("lectura");
    QTest::addColumn<QByteArray>("registros");
    QTest::addColumn<QString>("mm");
    QTest::addColumn<QString>("libres");
    QTest::newRow("20 m") << QByteArray("20") << QByteArray("1000") << QByteArray("0096") << "5000"
                          << "4000 Registros Disponibles";
    QTest::newRow("4 m") << QByteArray("04") << QByteArray("0123") << QByteArray("4096") << "123"
                         << "0 Registros Disponibles";
    QTest::newRow("8 m, vacia") << QByteArray("08") << QByteArray("0100") << QByteArray("0000")
                                << "200"
                                << "4096 Registros Disponibles";
    QTest::newRow("desborde") << QByteArray("04") << QByteArray("0001") << QByteArray("4097") << "1"
                              << "Memoria con Inconsistencias";
    QTest::newRow("no numero") << QByteArray("04") << QByteArray("0001") << QByteArray("12AB")
                               << "1"
                               << "Memoria con Inconsistencias";
}

void Tst_Supervisor::Decodifica_El_Estado() {
    QFETCH(QByteArray, alcance);
    QFETCH(QByteArray, lectura);
    QFETCH(QByteArray, registros);
    QFETCH(QString, mm);
    QFETCH(QString, libres);
    Banco b;
    auto* w = Abrir_Con(b, Bloque_Estado("123", alcance, lectura, "15/03/02", "10:07", "2 hrs.  ",
                                         "AJ", registros));
    QCOMPARE(w->Lectura->text(), mm);
    QCOMPARE(w->Registros_Disponibles->text(), libres);
    QCOMPARE(w->Equipo->text(), QStringLiteral("123"));
    QCOMPARE(w->Alcance->text(), QString::fromLatin1(alcance));
    QCOMPARE(w->Fecha->text(), QStringLiteral("15/03/02"));
    QCOMPARE(w->Hora->text(), QStringLiteral("10:07"));
    QCOMPARE(w->Intervalo->text(), QStringLiteral("2 hrs.  "));
    const Estado& e = b.estado;
    QCOMPARE(QStringList({e.Dia_Equipo, e.Mes_Equipo, e.Anio_Equipo, e.Hora_Equipo, e.Minuto_Equipo,
                          e.Modo_Equipo, e.Registros_Ocupados}),
             QStringList({"15", "03", "02", "10", "07", "AJ", QString::fromLatin1(registros)}));
    QCOMPARE(e.Intervalo_Equipo, 5);
    QVERIFY(w->Leyendo->isHidden());
    QVERIFY(!b.fondo.arena);
}

void Tst_Supervisor::Intervalo_Desconocido_Conserva_Codigo() {
    Banco b;
    auto* w = Abrir_Con(b, Bloque_Estado("007", "04", "0123", "15/03/02", "10:07", "30 min  "));
    QCOMPARE(b.estado.Intervalo_Equipo, 3);
    b.puerto.Responder("L", Bloque_Estado("007", "04", "0123", "15/03/02", "10:07", "20 min  "));
    w->Leer_Estado();
    QCOMPARE(w->Intervalo->text(), QStringLiteral("20 min  "));
    QCOMPARE(b.estado.Intervalo_Equipo, 3);
}

void Tst_Supervisor::Botones_Segun_Modo() {
    Banco b;
    auto* w = Abrir(b);
    const QList<QPushButton*> programar = {w->Programador_Intervalo, w->Programar_Fecha,
                                           w->Programar_Hora, w->Pasar_Registro};
    for (auto* p : programar) QVERIFY(!p->isEnabled());
    QVERIFY(!w->Pasar_Ajuste->isEnabled());

    auto sondear = [&](const QByteArray& modo) {
        b.puerto.Responder(
            "L", Bloque_Estado("007", "04", "0123", "15/03/02", "10:07", "15 min  ", modo));
        w->Leer_Estado();
    };
    b.estado.Memoria_Leida = true;
    sondear("AJ");
    QCOMPARE(w->Modo->text(), QStringLiteral("Equipo en Modo AJUSTE"));
    for (auto* p : programar) QVERIFY(p->isEnabled());
    QVERIFY(!w->Pasar_Ajuste->isEnabled());
    QVERIFY(b.estado.Memoria_Leida);

    sondear("RE");
    QCOMPARE(w->Modo->text(), QStringLiteral("Equipo en Modo REGISTRO"));
    for (auto* p : programar) QVERIFY(!p->isEnabled());
    QVERIFY(w->Pasar_Ajuste->isEnabled());
    QVERIFY(!b.estado.Memoria_Leida);

    // An unknown mode changes neither the line nor the buttons.
    sondear("XX");
    QCOMPARE(w->Modo->text(), QStringLiteral("Equipo en Modo REGISTRO"));
    QVERIFY(w->Pasar_Ajuste->isEnabled());
    QCOMPARE(b.estado.Modo_Equipo, QStringLiteral("XX"));
}

void Tst_Supervisor::Temporizador_De_Sondeo() {
    Banco b;
    auto* w = Abrir(b);
    QVERIFY(!b.fondo.Habilitado(Item_Menu::IDC_MENU));
    QVERIFY(w->Timer1->isActive());
    QCOMPARE(w->Timer1->interval(), 500);
    QVERIFY(b.puerto.Escrituras().isEmpty());

    b.puerto.Responder("L", Bloque_Estado());
    bool aviso = false;  // notice and hourglass while the exchange blocks
    b.puerto.al_escribir = [&](const QByteArray&) {
        aviso = w->Leyendo->isVisible() && b.fondo.arena;
    };
    w->Timer1_Timer();
    QVERIFY(aviso);
    QCOMPARE(b.puerto.Comandos(), QList<QByteArray>{"L"});
    QVERIFY(w->Timer1->isActive());
    QCOMPARE(w->Timer1->interval(), 6000);
    QVERIFY(!b.fondo.Habilitado(Item_Menu::IDC_MENU));
}

void Tst_Supervisor::Fallas_Del_Sondeo() {
    {  // "??" to "L" never comes back whole (4 characters, not 49): retries, then error 004
        Banco b;
        auto* w = Abrir_Con(b, Bloque_Estado("007", "20", "1000"));
        b.puerto.Responder_Enlace();
        b.puerto.Responder("L", "??\r\n");
        w->Timer1_Timer();
        QCOMPARE(b.dialogos.cajas.size(), 1);
        QVERIFY(b.dialogos.cajas[0].texto.startsWith(QStringLiteral("Error 004, ")));
        QCOMPARE(b.dialogos.cajas[0].titulo, Link);
        QCOMPARE(b.dialogos.cajas[0].icono, Icono::Ninguno);
        QCOMPARE(Ordenes(b), (QList<QByteArray>{"L", "L", "L"}));
        QVERIFY(b.fondo.Ultima<Supervisor>() == nullptr);
    }
    {  // "NC" after an AJ poll: closes, no closing command, menu given back
        Banco b;
        auto* w = Abrir_Con(b, Bloque_Estado());
        b.puerto.Responder("L", QByteArray());
        w->Timer1_Timer();
        QCOMPARE(b.dialogos.Textos(),
                 QStringList{"Error 003, el equipo no responde.\n"
                             "Verifique el enlace y reinicie el procedimiento"});
        QCOMPARE(b.dialogos.cajas[0].titulo, Link);
        QVERIFY(b.fondo.Ultima<Supervisor>() == nullptr);
        QCOMPARE(Ordenes(b), QList<QByteArray>{"L"});
        QVERIFY(Menu_Devuelto(b));
        QVERIFY(!b.fondo.arena);
    }
    {  // anything else: a block whose checksum never holds
        Banco b;
        auto* w = Abrir_Con(b, Bloque_Estado());
        QByteArray malo = Bloque_Estado();
        malo[45] = malo[45] == '9' ? '0' : '9';
        b.puerto.Responder("L", malo);
        w->Timer1_Timer();
        QCOMPARE(b.dialogos.Textos(),
                 QStringList{"Error 004, El equipo retorna una RESPUESTA DESCONOCIDA.\n"
                             "posiblemente ocasionada por INTERFERENCIAS.\n"
                             "Verifique el enlace y reinicie el procedimiento"});
        QVERIFY(b.fondo.Ultima<Supervisor>() == nullptr);
        QVERIFY(!b.puerto.Comandos().contains("AAA"));
    }
}

void Tst_Supervisor::Comando_Al_Cerrar() {
    {
        Banco b;
        auto* w = Abrir(b);
        w->Command1->click();
        QVERIFY(b.puerto.Escrituras().isEmpty());
        QVERIFY(Menu_Devuelto(b));
    }
    for (const QByteArray& modo : {QByteArray("AJ"), QByteArray("RE")}) {
        Banco b;
        auto* w =
            Abrir_Con(b, Bloque_Estado("007", "04", "0123", "15/03/02", "10:07", "15 min  ", modo));
        b.puerto.Responder(modo == "AJ" ? "AAA" : "RRR", "OK\r\n");
        w->close();  // the close box
        QCOMPARE(b.puerto.Comandos(),
                 QList<QByteArray>{modo == "AJ" ? QByteArray("AAA") : QByteArray("RRR")});
        QVERIFY(!w->Command1->isEnabled());
        QVERIFY(Menu_Devuelto(b));
    }
}

void Tst_Supervisor::Cambiar_Modo_data() {
    QTest::addColumn<QByteArray>("comando");
    QTest::addColumn<QByteArray>("respuesta");
    QTest::addColumn<QString>("caja");  // first words of the box after the confirmation
    QTest::addColumn<QString>("titulo");
    QTest::addColumn<double>("espera");  // pause before the poll beyond the exchange's; < 0: none
    QTest::addColumn<bool>("abierta");
    const QString app = Titulo_Aplicacion;
    const QString reintente = QStringLiteral("Comando no Reconocido. Reintente la operación. ");
    QTest::newRow("AAA OK") << QByteArray("AAA") << QByteArray("OK\r\n") << QString() << QString()
                            << 0.0 << true;
    QTest::newRow("AAA NC") << QByteArray("AAA") << QByteArray()
                            << "Error 008, el equipo no responde.\nSalga del programa, verifique "
                               "el enlace y reinicie el procedimiento"
                            << Link << -1.0 << false;
    QTest::newRow("AAA ??") << QByteArray("AAA") << QByteArray("??\r\n") << reintente << Link
                            << -1.0 << true;
    QTest::newRow("AAA KO") << QByteArray("AAA") << QByteArray("KO\r\n")
                            << "Error 007, El equipo retorna una RESPUESTA DESCONOCIDA.\n"
                               "posiblemente ocasionada por INTERFERENCIAS.\nSalga del programa, "
                               "verifique el enlace y reinicie el procedimiento"
                            << Link << -1.0 << false;
    QTest::newRow("RRR OK") << QByteArray("RRR") << QByteArray("OK\r\n") << QString() << QString()
                            << 0.5 << true;
    QTest::newRow("RRR MI") << QByteArray("RRR") << QByteArray("MI\r\n")
                            << "La memoria del equipo contiene inconsistencias !!!\n\n"
                               "Podrían perderse datos. Se recomienda\n"
                               "salir del Modo REGISTRO, leer los datos\n"
                               "a un archivo de disco, borrar la memoria\n"
                               "y finalmente reintentar esta operación."
                            << app << 0.5 << true;
    QTest::newRow("RRR NC") << QByteArray("RRR") << QByteArray()
                            << "Error 010, el equipo no responde.\n"
                               "Verifique el enlace y reinicie el procedimiento"
                            << Link << -1.0 << true;
    QTest::newRow("RRR ??") << QByteArray("RRR") << QByteArray("??\r\n") << reintente << Link
                            << -1.0 << true;
    QTest::newRow("RRR PE") << QByteArray("RRR") << QByteArray("PE\r\n")
                            << "La memoria del equipo contiene poco espacio libre.\n\n"
                               "El equipo NO pasará a Modo REGISTRO\n"
                               "Vuelque la memoria en un archivo de disco\n"
                               "bórrela y vuelva a intentar"
                            << app << 0.0 << true;
    QTest::newRow("RRR KO") << QByteArray("RRR") << QByteArray("KO\r\n")
                            << "Error 009, El equipo retorna una RESPUESTA DESCONOCIDA.\n"
                               "posiblemente ocasionada por INTERFERENCIAS.\n"
                               "Verifique el enlace y reinicie el procedimiento"
                            << Link << -1.0 << true;
}

void Tst_Supervisor::Cambiar_Modo() {
    QFETCH(QByteArray, comando);
    QFETCH(QByteArray, respuesta);
    QFETCH(QString, caja);
    QFETCH(QString, titulo);
    QFETCH(double, espera);
    QFETCH(bool, abierta);
    const bool a_registro = comando == "RRR";
    const QByteArray antes = a_registro ? "AJ" : "RE";
    const QByteArray despues = a_registro ? "RE" : "AJ";
    Banco b;
    auto* w =
        Abrir_Con(b, Bloque_Estado("007", "04", "0123", "15/03/02", "10:07", "15 min  ", antes));
    b.puerto.Responder(comando, respuesta);
    b.puerto.Responder(
        "L", Bloque_Estado("007", "04", "0123", "15/03/02", "10:07", "15 min  ", despues));
    (a_registro ? w->Pasar_Registro : w->Pasar_Ajuste)->click();

    const auto confirmacion = b.dialogos.cajas.value(0);
    QCOMPARE(confirmacion.texto,
             a_registro ? QStringLiteral("Se dispone a pasar al Modo REGISTRO.\n\n"
                                         "Se creará un nuevo bloque de datos\nen la memoria.")
                        : QStringLiteral("Se dispone a pasar al Modo AJUSTE.\n\n"
                                         "Se interrumpirá la secuencia de registro\n"
                                         "de lecturas del bloque en curso"));
    QCOMPARE(confirmacion.titulo, QStringLiteral("Advertencia !!!"));
    QCOMPARE(confirmacion.icono, Icono::Exclamacion);
    QCOMPARE(confirmacion.botones, Botones::Aceptar_Cancelar);
    QCOMPARE(b.dialogos.cajas.size(), caja.isEmpty() ? 1 : 2);
    if (!caja.isEmpty()) {
        QCOMPARE(b.dialogos.cajas[1].texto, caja);
        QCOMPARE(b.dialogos.cajas[1].titulo, titulo);
        QCOMPARE(b.dialogos.cajas[1].icono, Icono::Ninguno);
    }
    QCOMPARE(b.fondo.Ultima<Supervisor>() == w, abierta);
    if (espera < 0) {
        // No poll, and a window closed for a link failure sends no closing command.
        QCOMPARE(Ordenes(b), QList<QByteArray>{comando});
        if (abierta) QVERIFY(w->Timer1->isActive());  // keeps polling
        return;
    }
    QCOMPARE(Ordenes(b), (QList<QByteArray>{comando, "L"}));
    const double pausa = Momento(b, "L") - (Momento(b, comando) + 0.02);
    QVERIFY2(pausa > espera + 0.5 && pausa < espera + 0.6, qPrintable(QString::number(pausa)));
    QCOMPARE(w->Modo->text(), a_registro ? QStringLiteral("Equipo en Modo REGISTRO")
                                         : QStringLiteral("Equipo en Modo AJUSTE"));
    QCOMPARE(w->Pasar_Ajuste->isEnabled(), a_registro);
    QCOMPARE(w->Pasar_Registro->isEnabled(), !a_registro);
    QCOMPARE(w->Programar_Fecha->isEnabled(), !a_registro);
}

void Tst_Supervisor::Cancelar_No_Envia() {
    Banco b;
    auto* w = Abrir_Con(b, Bloque_Estado());
    b.dialogos.respuestas = {Respuesta::Cancelar};
    w->Pasar_Registro->click();
    QVERIFY(b.puerto.Escrituras().isEmpty());
    QVERIFY(w->Timer1->isActive());

    b.puerto.Responder("L",
                       Bloque_Estado("007", "04", "0123", "15/03/02", "10:07", "15 min  ", "RE"));
    w->Leer_Estado();
    b.puerto.Olvidar_Escrituras();
    b.dialogos.respuestas = {Respuesta::Cancelar};
    w->Pasar_Ajuste->click();
    QVERIFY(b.puerto.Escrituras().isEmpty());
    QCOMPARE(w->Modo->text(), QStringLiteral("Equipo en Modo REGISTRO"));
}

void Tst_Supervisor::Entrega_A_Los_Dialogos() {
    Banco b;
    auto* w = Abrir_Con(b, Bloque_Estado());
    b.puerto.Responder("AAA", "OK\r\n");
    w->Programar_Fecha->click();
    QCOMPARE(b.puerto.Comandos(), QList<QByteArray>{"AAA"});
    QVERIFY(!b.fondo.Habilitado(Item_Menu::IDC_MENU));
    QVERIFY(b.fondo.Ultima<Supervisor>() == nullptr);
    QVERIFY(b.fondo.Ultima<Prog_Fecha>() != nullptr);

    // The dialog's closing brings a fresh monitor that polls half a second later.
    b.fondo.Ultima<Prog_Fecha>()->Boton_Cancelar->click();
    auto* otro = b.fondo.Ultima<Supervisor>();
    QVERIFY(otro && otro != w);
    QCOMPARE(otro->Timer1->interval(), 500);
    QVERIFY(otro->Timer1->isActive());
    QVERIFY(!b.fondo.Habilitado(Item_Menu::IDC_MENU));

    b.puerto.Responder("L", Bloque_Estado());
    otro->Timer1_Timer();
    otro->Programar_Hora->click();
    QVERIFY(b.fondo.Ultima<Prog_Hora>() != nullptr);
    b.fondo.Ultima<Prog_Hora>()->close();
    b.fondo.Ultima<Supervisor>()->Timer1_Timer();
    b.fondo.Ultima<Supervisor>()->Programador_Intervalo->click();
    QVERIFY(b.fondo.Ultima<Prog_Intervalo>() != nullptr);
    QCOMPARE(b.puerto.Comandos().count("AAA"), 3);
    QVERIFY(!b.fondo.Habilitado(Item_Menu::IDC_MENU));
}

QTEST_MAIN(Tst_Supervisor)
#include "tst_supervisor.moc"
