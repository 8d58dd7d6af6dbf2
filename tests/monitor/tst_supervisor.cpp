#include <QtTest>

#include "dobles/fondo_falso.h"
#include "dobles/tabla.h"
#include "monitor/ui/supervisor.h"

using namespace aq;

namespace {

QByteArray Estado_En(const QByteArray& modo, const QByteArray& intervalo = "15 min  ") {
    return Bloque_Estado("007", "04", "0123", "15/03/02", "10:07", intervalo, modo);
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

using Boton = QPushButton* Supervisor::*;
Q_DECLARE_METATYPE(Boton)

class Tst_Supervisor : public QObject {
    Q_OBJECT
  private Q_SLOTS:
    void Sondeo_data();
    void Sondeo();
    void Reloj_Y_Memoria_data();
    void Reloj_Y_Memoria();
    void Cierre_data();
    void Cierre();
    void Cambiar_Modo_data();
    void Cambiar_Modo();
};

// The PC's clock reads 05/06/02 09:05 (the virtual clock's start, plus the first poll's wait).
// The texts for every case are the logger clock's own test; here, that the window shows the
// drift always and the full-memory forecast in REGISTRO only.
void Tst_Supervisor::Reloj_Y_Memoria_data() {
    Columnas<QByteArray, QByteArray, QByteArray, QByteArray, QString, QString>(
        {"fecha", "hora", "modo", "ocupados", "deriva", "llena"});
    using B = QByteArray;
    Fila("atrasado", B("05/06/02"), B("09:02"), B("AJ"), B("4000"),
         "Reloj del equipo: 3 min atrasado respecto del PC", "");
    Fila("adelantado un día, registro", B("06/06/02"), B("09:05"), B("RE"), B("4000"),
         "Reloj del equipo: 1 día adelantado respecto del PC",
         "Memoria llena aprox. el 07/06/02 09:00");
}

void Tst_Supervisor::Reloj_Y_Memoria() {
    QFETCH(QByteArray, fecha);
    QFETCH(QByteArray, hora);
    QFETCH(QByteArray, modo);
    QFETCH(QByteArray, ocupados);
    Banco b;
    auto* w = Abrir(b, Bloque_Estado("007", "04", "0123", fecha, hora, "15 min  ", modo, ocupados));
    QTEST(w->Deriva_Reloj->text(), "deriva");
    QTEST(w->Memoria_Llena->text(), "llena");
}

void Tst_Supervisor::Sondeo_data() {
    Columnas<QByteArray, QString, QString, QString, QString, QString, QString, QString, int, bool>(
        {"previo", "alcance", "lectura", "registros", "intervalo", "modo", "mm", "libres", "codigo",
         "ajuste"});  // previo: a poll answered before, if any
    Fila("registro lleno, intervalo desconocido", QByteArray(), "04", "0009", "4096", "20 min  ",
         "RE", "9", "0 Registros Disponibles", -1, false);
    Fila("ajuste, 2 horas", QByteArray(), "20", "1000", "0096", "2 hrs.  ", "AJ", "5000",
         "4000 Registros Disponibles", 5, true);
    Fila("modo desconocido tras ajuste", Estado_En("AJ", "2 hrs.  "), "08", "0100", "0000",
         "1 hora  ", "XX", "200", "4096 Registros Disponibles", 4, true);
    Fila("registros de más, intervalo desconocido tras 1 hora", Estado_En("AJ", "1 hora  "), "04",
         "0001", "4097", "20 min  ", "AJ", "1", "Memoria con Inconsistencias", 4, true);
    Fila("registros ilegibles, 5 min", QByteArray(), "04", "0001", "12AB", "5  min  ", "RE", "1",
         "Memoria con Inconsistencias", 0, false);
}

// A poll: an interval text of none of the seven keeps the last code (none before the first known
// one), an unknown mode changes neither the mode line nor the buttons.
void Tst_Supervisor::Sondeo() {
    QFETCH(QByteArray, previo);
    QFETCH(QString, alcance);
    QFETCH(QString, lectura);
    QFETCH(QString, registros);
    QFETCH(QString, intervalo);
    QFETCH(QString, modo);
    QFETCH(QString, mm);
    QFETCH(QString, libres);
    QFETCH(int, codigo);
    QFETCH(bool, ajuste);
    Banco b;
    auto* w = Abrir(b);
    QCOMPARE(w->Timer1->isActive() ? w->Timer1->interval() : 0, 500);
    QCOMPARE(w->Timer1->timerType(), Qt::PreciseTimer);  // a coarse one fires up to 5 % early
    if (!previo.isEmpty()) {
        b.puerto.Responder("L", previo);
        w->Timer1_Timer();
    }
    b.puerto.Responder(
        "L", Bloque_Estado("123", alcance.toLatin1(), lectura.toLatin1(), "15/03/02", "10:07",
                           intervalo.toLatin1(), modo.toLatin1(), registros.toLatin1()));
    b.estado.Memoria_Leida = true;
    w->Timer1_Timer();
    QVERIFY(w->Leyendo->isHidden() && !Reloj_De_Arena(w));
    QCOMPARE(w->Timer1->isActive() ? w->Timer1->interval() : 0, 6000);
    QCOMPARE((QStringList{w->Lectura->text(), w->Registros_Disponibles->text(), w->Equipo->text(),
                          w->Alcance->text(), w->Fecha->text(), w->Hora->text(),
                          w->Intervalo->text(), w->Modo->text()}),
             (QStringList{mm, libres, "123", alcance, "15/03/02", "10:07", intervalo,
                          ajuste ? "Equipo en Modo AJUSTE" : "Equipo en Modo REGISTRO"}));
    const Estado& e = b.estado;
    QCOMPARE(
        (QStringList{e.Dia_Equipo, e.Mes_Equipo, e.Anio_Equipo, e.Hora_Equipo, e.Minuto_Equipo,
                     e.Modo_Equipo, e.Registros_Ocupados, QString::number(e.Intervalo_Equipo)}),
        (QStringList{"15", "03", "02", "10", "07", modo, registros, QString::number(codigo)}));
    QCOMPARE(e.Memoria_Leida, modo != "RE");
    for (auto* p : {w->Programador_Intervalo, w->Programar_Fecha, w->Programar_Hora,
                    w->Pasar_Registro, w->Pasar_Ajuste})
        QCOMPARE(p->isEnabled(), ajuste != (p == w->Pasar_Ajuste));
}

// However the window closes, it sends the command of the last mode polled (none before a poll,
// nor for a mode of neither kind), unless a poll failed: "??" to "L" never comes back whole (4
// characters, not 49), like a block whose checksum fails, so retries, then error 004; silence
// gives 003 at once (`caja`: how the box starts; the operation's test holds the texts). The menu
// comes back unless a programming dialog (`clase`) opens.
void Tst_Supervisor::Cierre_data() {
    // boton null: the close box, or a poll when a box is expected
    Columnas<QString, QString, QString, Boton, QString, QString>(
        {"modo", "l", "ordenes", "boton", "clase", "caja"});
    Fila("ajuste, programar fecha", "AJ", "", "AAA", Boton(&Supervisor::Programar_Fecha),
         "aq::Prog_Fecha", "");
    Fila("ajuste, programar hora", "AJ", "", "AAA", Boton(&Supervisor::Programar_Hora),
         "aq::Prog_Hora", "");
    Fila("ajuste, programar intervalo", "AJ", "", "AAA", Boton(&Supervisor::Programador_Intervalo),
         "aq::Prog_Intervalo", "");
    Fila("ajuste, cerrar", "AJ", "", "AAA", Boton(&Supervisor::Command1), "", "");
    Fila("registro, casilla de cierre", "RE", "", "RRR", Boton(), "", "");
    Fila("modo desconocido", "XX", "", "", Boton(), "", "");
    Fila("sin sondeo", "", "", "", Boton(), "", "");
    Fila("respuesta desconocida", "AJ", "??\r\n", "L L L", Boton(), "", "Error 004, El equipo");
    Fila("sin respuesta", "RE", "", "L", Boton(), "", "Error 003, el equipo");
}

void Tst_Supervisor::Cierre() {
    QFETCH(QString, modo);
    QFETCH(QString, l);
    QFETCH(QString, ordenes);
    QFETCH(Boton, boton);
    QFETCH(QString, clase);
    QFETCH(QString, caja);
    Banco b;
    auto* w = Abrir(b, modo.isEmpty() ? QByteArray() : Estado_En(modo.toLatin1()));
    if (!l.isEmpty()) b.puerto.Responder_Enlace();
    b.puerto.Responder("L", l.toLatin1());
    // A failed poll's "L" keeps its scripted reply.
    if (ordenes != "L") b.puerto.Responder(ordenes.toLatin1(), "OK\r\n");
    boton ? (w->*boton)->click() : caja.isEmpty() ? (void)w->close() : w->Timer1_Timer();
    QCOMPARE(Ordenes(b).join(' '), ordenes.toLatin1());
    QCOMPARE(b.dialogos.cajas.size(), caja.isEmpty() ? 0 : 1);
    if (!caja.isEmpty()) QVERIFY(b.dialogos.Textos()[0].startsWith(caja));
    QCOMPARE(b.dialogos.cajas.value(0).titulo,
             caja.isEmpty() ? QString() : QStringLiteral("Error en el link"));
    QCOMPARE(b.dialogos.cajas.value(0).icono, Icono::Ninguno);
    QVERIFY(b.fondo.Ultima<Supervisor>() == nullptr);
    QCOMPARE(b.fondo.Veces("Devolver_Menu"), clase.isEmpty() ? 1 : 0);
    auto* dialogo = b.fondo.Ultima<QWidget>();
    if (!clase.isEmpty()) QVERIFY(dialogo && dialogo->inherits(qPrintable(clase)));
}

// Command; whether the confirmation is accepted; the reply; which box follows the confirmation
// (its first words: the operation's own test holds the whole texts, titles, and whether the
// monitor closes, pauses or polls after each reply) and its title; pause before the poll beyond
// the exchange's own half second (< 0: no poll); window still open. One row for each way the
// window goes on.
void Tst_Supervisor::Cambiar_Modo_data() {
    Columnas<QString, bool, QString, QString, QString, double, bool>(
        {"comando", "confirma", "respuesta", "caja", "titulo", "espera", "abierta"});
    const QString link = QStringLiteral("Error en el link");
    Fila("a ajuste, aceptado", "AAA", true, "OK\r\n", "", QString(), 0.0, true);
    Fila("a ajuste, sin respuesta", "AAA", true, "", "Error 008, el equipo no responde.\nSalga",
         link, -1.0, false);
    Fila("a registro, aceptado", "RRR", true, "OK\r\n", "", QString(), 0.5, true);
    Fila("a registro, poco espacio", "RRR", true, "PE\r\n",
         "La memoria del equipo contiene poco espacio", Titulo_Aplicacion, 0.0, true);
    Fila("a registro, rechazado", "RRR", true, "KO\r\n", "Error 009, El equipo retorna", link, -1.0,
         true);
    Fila("a registro, cancelado", "RRR", false, "", "", QString(), -1.0, true);
}

void Tst_Supervisor::Cambiar_Modo() {
    QFETCH(QString, comando);
    QFETCH(bool, confirma);
    QFETCH(QString, respuesta);
    QFETCH(QString, caja);
    QFETCH(double, espera);
    QFETCH(bool, abierta);
    const bool a_registro = comando == "RRR";
    Banco b;
    auto* w = Abrir(b, Estado_En(a_registro ? "AJ" : "RE"));
    const QString antes = w->Modo->text();
    b.puerto.Responder(comando.toLatin1(), respuesta.toLatin1());
    if (!confirma) b.dialogos.respuestas = {Respuesta::Cancelar};
    b.puerto.Responder("L", Estado_En(a_registro ? "RE" : "AJ"));
    (a_registro ? w->Pasar_Registro : w->Pasar_Ajuste)->click();

    QCOMPARE(b.dialogos.Textos().value(0),
             a_registro ? QStringLiteral("Se dispone a pasar al Modo REGISTRO.\n\n"
                                         "Se creará un nuevo bloque de datos\nen la memoria.")
                        : QStringLiteral("Se dispone a pasar al Modo AJUSTE.\n\n"
                                         "Se interrumpirá la secuencia de registro\n"
                                         "de lecturas del bloque en curso"));
    QCOMPARE(b.dialogos.cajas.size(), caja.isEmpty() ? 1 : 2);
    if (!caja.isEmpty()) QVERIFY(b.dialogos.Textos().value(1).startsWith(caja));
    const auto c = b.dialogos.cajas.value(0);  // the confirmation
    QVERIFY(c.titulo == QStringLiteral("Advertencia !!!") && c.icono == Icono::Exclamacion &&
            c.botones == Botones::Aceptar_Cancelar);
    QTEST(b.dialogos.cajas.value(1).titulo, "titulo");
    QCOMPARE(b.fondo.Ultima<Supervisor>() == w, abierta);
    // A window closed for a link failure sends no closing command; an open one keeps
    // polling, and only a poll changes the mode it shows.
    QCOMPARE(Ordenes(b).join(' '),
             (confirma ? comando.toLatin1() : QByteArray()) + (espera < 0 ? "" : " L"));
    if (abierta) QVERIFY(w->Timer1->isActive() && (w->Modo->text() == antes) == (espera < 0));
    const auto& e = b.puerto.Escrituras();
    if (espera >= 0) QVERIFY(qAbs(e.last().t - e.first().t - 0.02 - 0.55 - espera) < 0.05);
}

QTEST_MAIN(Tst_Supervisor)
#include "tst_supervisor.moc"
