#include <QtTest>

#include "dobles/fondo_falso.h"
#include "monitor/ui/supervisor.h"

using namespace aq;

namespace {

QByteArray Estado_En(const QByteArray& modo) {
    return Bloque_Estado("007", "04", "0123", "15/03/02", "10:07", "15 min  ", modo);
}

// Opens the monitor; given a status block, runs one poll answered with it.
Supervisor* Abrir(Banco& b, const QByteArray& estado = {}) {
    auto* w = new Supervisor(b.ctx);
    b.fondo.Mostrar_Hija(w);
    if (estado.isEmpty()) return w;
    b.puerto.Responder("L", estado);
    w->Timer1_Timer();
    b.puerto.Olvidar_Escrituras();
    return w;
}

// Commands written, without the exchange's own link checks.
QList<QByteArray> Ordenes(const Banco& b) {
    QList<QByteArray> r = b.puerto.Comandos();
    r.removeAll(QByteArray(32, 'U'));
    return r;
}

}  // namespace

class Tst_Supervisor : public QObject {
    Q_OBJECT
  private Q_SLOTS:
    void Sondeo();
    void Reloj_Y_Memoria_data();
    void Reloj_Y_Memoria();
    void Cierre();
    void Cambiar_Modo();
};

// The PC's clock reads 05/06/02 09:05 (the virtual clock's start, plus the first poll's wait).
void Tst_Supervisor::Reloj_Y_Memoria_data() {
    QTest::addColumn<QByteArray>("fecha");
    QTest::addColumn<QByteArray>("hora");
    QTest::addColumn<QByteArray>("modo");
    QTest::addColumn<QByteArray>("ocupados");
    QTest::addColumn<QString>("deriva");
    QTest::addColumn<QString>("llena");
    QTest::newRow("en hora, ajuste")
        << QByteArray("05/06/02") << QByteArray("09:05") << QByteArray("AJ") << QByteArray("4000")
        << QString() << QString();
    QTest::newRow("atrasado") << QByteArray("05/06/02") << QByteArray("09:02") << QByteArray("AJ")
                              << QByteArray("4000")
                              << "Reloj del equipo: 3 min atrasado respecto del PC" << QString();
    QTest::newRow("adelantado un día, registro")
        << QByteArray("06/06/02") << QByteArray("09:05") << QByteArray("RE") << QByteArray("4000")
        << "Reloj del equipo: 1 día adelantado respecto del PC"
        << "Memoria llena aprox. el 07/06/02 09:00";
    QTest::newRow("registro sin lugar")
        << QByteArray("05/06/02") << QByteArray("09:05") << QByteArray("RE") << QByteArray("4096")
        << QString() << "Memoria llena";
}

void Tst_Supervisor::Reloj_Y_Memoria() {
    QFETCH(QByteArray, fecha);
    QFETCH(QByteArray, hora);
    QFETCH(QByteArray, modo);
    QFETCH(QByteArray, ocupados);
    QFETCH(QString, deriva);
    QFETCH(QString, llena);
    Banco b;
    auto* w = Abrir(b, Bloque_Estado("007", "04", "0123", fecha, hora, "15 min  ", modo, ocupados));
    QCOMPARE(w->Deriva_Reloj->text(), deriva);
    QCOMPARE(w->Memoria_Llena->text(), llena);
}

void Tst_Supervisor::Sondeo() {
    Banco b;
    auto* w = Abrir(b);
    QCOMPARE(w->Timer1->isActive() ? w->Timer1->interval() : 0, 500);
    QCOMPARE(w->Timer1->timerType(), Qt::PreciseTimer);  // a coarse one fires up to 5 % early
    const QList<QPushButton*> botones = {w->Programador_Intervalo, w->Programar_Fecha,
                                         w->Programar_Hora, w->Pasar_Registro, w->Pasar_Ajuste};
    // One window through successive polls: an interval text of none of the seven keeps the last
    // code (none before the first known one), an unknown mode changes neither the mode line nor
    // the buttons.
    for (auto [alcance, lectura, registros, intervalo, modo, mm, libres, codigo, ajuste] :
         {std::tuple{"04", "0009", "4096", "20 min  ", "RE", "9", "0 Registros Disponibles", -1, 0},
          {"20", "1000", "0096", "2 hrs.  ", "AJ", "5000", "4000 Registros Disponibles", 5, 1},
          {"08", "0100", "0000", "1 hora  ", "XX", "200", "4096 Registros Disponibles", 4, 1},
          {"04", "0001", "4097", "20 min  ", "AJ", "1", "Memoria con Inconsistencias", 4, 1},
          {"04", "0001", "12AB", "5  min  ", "RE", "1", "Memoria con Inconsistencias", 0, 0}}) {
        b.puerto.Responder("L", Bloque_Estado("123", alcance, lectura, "15/03/02", "10:07",
                                              intervalo, modo, registros));
        b.estado.Memoria_Leida = true;
        w->Timer1_Timer();
        QVERIFY(w->Leyendo->isHidden() && !Reloj_De_Arena(w));
        QCOMPARE(w->Timer1->isActive() ? w->Timer1->interval() : 0, 6000);
        QCOMPARE((QStringList{w->Lectura->text(), w->Registros_Disponibles->text(),
                              w->Equipo->text(), w->Alcance->text(), w->Fecha->text(),
                              w->Hora->text(), w->Intervalo->text(), w->Modo->text()}),
                 (QStringList{mm, libres, "123", alcance, "15/03/02", "10:07", intervalo,
                              ajuste ? "Equipo en Modo AJUSTE" : "Equipo en Modo REGISTRO"}));
        const Estado& e = b.estado;
        QCOMPARE(
            (QStringList{e.Dia_Equipo, e.Mes_Equipo, e.Anio_Equipo, e.Hora_Equipo, e.Minuto_Equipo,
                         e.Modo_Equipo, e.Registros_Ocupados, QString::number(e.Intervalo_Equipo)}),
            (QStringList{"15", "03", "02", "10", "07", modo, registros, QString::number(codigo)}));
        QCOMPARE(e.Memoria_Leida, QByteArray(modo) != "RE");
        for (auto* p : botones) QCOMPARE(p->isEnabled(), ajuste != (p == w->Pasar_Ajuste));
    }
}

void Tst_Supervisor::Cierre() {
    // However the window closes, it sends the command of the last mode polled (none before a
    // poll, nor for a mode of neither kind), unless a poll failed: "??" to "L" never comes back
    // whole (4 characters, not 49), like a block whose checksum fails, so retries, then error 004;
    // silence gives 003 at once. The menu comes back unless a programming dialog (`clase`) opens.
    for (auto [modo, l, ordenes, boton, clase, caja] :
         {std::tuple{"AJ", "", "AAA", &Supervisor::Programar_Fecha, "aq::Prog_Fecha", QString()},
          {"AJ", "", "AAA", &Supervisor::Programar_Hora, "aq::Prog_Hora", QString()},
          {"AJ", "", "AAA", &Supervisor::Programador_Intervalo, "aq::Prog_Intervalo", QString()},
          {"AJ", "", "AAA", &Supervisor::Command1, "", QString()},
          {"RE", "", "RRR", nullptr, "", QString()},  // the close box
          {"XX", "", "", nullptr, "", QString()},
          {"", "", "", nullptr, "", QString()},
          {"AJ", "??\r\n", "L L L", nullptr, "",
           "Error 004, El equipo retorna una RESPUESTA DESCONOCIDA.\nposiblemente ocasionada por "
           "INTERFERENCIAS.\nVerifique el enlace y reinicie el procedimiento"},
          {"RE", "", "L", nullptr, "",
           "Error 003, el equipo no responde.\nVerifique el enlace y reinicie el procedimiento"}}) {
        Banco b;
        auto* w = Abrir(b, *modo ? Estado_En(modo) : QByteArray());
        if (*l) b.puerto.Responder_Enlace();
        b.puerto.Responder("L", l);
        b.puerto.Responder(ordenes, "OK\r\n");
        boton ? (w->*boton)->click() : caja.isEmpty() ? (void)w->close() : w->Timer1_Timer();
        QCOMPARE(Ordenes(b).join(' '), QByteArray(ordenes));
        QCOMPARE(b.dialogos.Textos(), caja.isEmpty() ? QStringList() : QStringList{caja});
        QCOMPARE(b.dialogos.cajas.value(0).titulo,
                 caja.isEmpty() ? QString() : QStringLiteral("Error en el link"));
        QCOMPARE(b.dialogos.cajas.value(0).icono, Icono::Ninguno);
        QVERIFY(b.fondo.Ultima<Supervisor>() == nullptr);
        QCOMPARE(b.fondo.Veces("Devolver_Menu"), *clase ? 0 : 1);
        auto* dialogo = b.fondo.Ultima<QWidget>();
        if (*clase) QVERIFY(dialogo && dialogo->inherits(clase));
    }
}

void Tst_Supervisor::Cambiar_Modo() {
    // Reply (null: the confirmation cancelled), how the box after the confirmation starts (the
    // operation's own test holds the whole texts), pause before the poll beyond the exchange's own
    // half second (< 0: no poll), window still open.
    const QString link = QStringLiteral("Error en el link");
    for (auto [comando, respuesta, caja, titulo, espera, abierta] :
         {std::tuple{"AAA", "OK\r\n", "", QString(), 0.0, true},
          {"AAA", "", "Error 008, el equipo no responde.\nSalga", link, -1.0, false},
          {"AAA", "??\r\n", "Comando no Reconocido. Reintente", link, -1.0, true},
          {"AAA", "KO\r\n", "Error 007, El equipo retorna", link, -1.0, false},
          {"AAA", nullptr, "", QString(), -1.0, true},
          {"RRR", "OK\r\n", "", QString(), 0.5, true},
          {"RRR", "MI\r\n", "La memoria del equipo contiene inconsistencias", Titulo_Aplicacion,
           0.5, true},
          {"RRR", "", "Error 010, el equipo no responde.\nVerifique", link, -1.0, true},
          {"RRR", "??\r\n", "Comando no Reconocido. Reintente", link, -1.0, true},
          {"RRR", "PE\r\n", "La memoria del equipo contiene poco espacio", Titulo_Aplicacion, 0.0,
           true},
          {"RRR", "KO\r\n", "Error 009, El equipo retorna", link, -1.0, true},
          {"RRR", nullptr, "", QString(), -1.0, true}}) {
        const bool a_registro = *comando == 'R';
        Banco b;
        auto* w = Abrir(b, Estado_En(a_registro ? "AJ" : "RE"));
        const QString antes = w->Modo->text();
        b.puerto.Responder(comando, respuesta);
        if (!respuesta) b.dialogos.respuestas = {Respuesta::Cancelar};
        b.puerto.Responder("L", Estado_En(a_registro ? "RE" : "AJ"));
        (a_registro ? w->Pasar_Registro : w->Pasar_Ajuste)->click();

        QStringList cajas{a_registro
                              ? QStringLiteral("Se dispone a pasar al Modo REGISTRO.\n\n"
                                               "Se creará un nuevo bloque de datos\nen la memoria.")
                              : QStringLiteral("Se dispone a pasar al Modo AJUSTE.\n\n"
                                               "Se interrumpirá la secuencia de registro\n"
                                               "de lecturas del bloque en curso")};
        QCOMPARE(b.dialogos.Textos().value(0), cajas.value(0));
        QCOMPARE(b.dialogos.cajas.size(), *caja ? 2 : 1);
        if (*caja) QVERIFY(b.dialogos.Textos().value(1).startsWith(QString::fromUtf8(caja)));
        const auto c = b.dialogos.cajas.value(0);  // the confirmation
        QVERIFY(c.titulo == QStringLiteral("Advertencia !!!") && c.icono == Icono::Exclamacion &&
                c.botones == Botones::Aceptar_Cancelar);
        QCOMPARE(b.dialogos.cajas.value(1).titulo, titulo);
        QCOMPARE(b.fondo.Ultima<Supervisor>() == w, abierta);
        // A window closed for a link failure sends no closing command; an open one keeps
        // polling, and only a poll changes the mode it shows.
        QCOMPARE(Ordenes(b).join(' '),
                 QByteArray(respuesta ? comando : "") + (espera < 0 ? "" : " L"));
        if (abierta) QVERIFY(w->Timer1->isActive() && (w->Modo->text() == antes) == (espera < 0));
        const auto& e = b.puerto.Escrituras();
        if (espera >= 0) QVERIFY(qAbs(e.last().t - e.first().t - 0.02 - 0.55 - espera) < 0.05);
    }
}

QTEST_MAIN(Tst_Supervisor)
#include "tst_supervisor.moc"
