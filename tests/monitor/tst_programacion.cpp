#include <QtTest>

#include "dobles/fondo_falso.h"
#include "dobles/tabla.h"
#include "monitor/ui/prog_fecha.h"
#include "monitor/ui/prog_hora.h"
#include "monitor/ui/prog_intervalo.h"
#include "monitor/ui/supervisor.h"

using namespace aq;

namespace {

// Opens the dialog `tipo` ('F', 'H' or 'I') after a poll that left day or hour `a`, month or
// minute `c`, the two-digit year, and `a` as the interval code (-1: none recognised).
Dialogo_Programacion* Abrir(Banco& b, char tipo, const QString& a = "", const QString& c = "",
                            const QString& anio = "02") {
    b.estado.Dia_Equipo = b.estado.Hora_Equipo = a;
    b.estado.Mes_Equipo = b.estado.Minuto_Equipo = c;
    b.estado.Anio_Equipo = anio;
    b.estado.Intervalo_Equipo = a.toInt();
    auto* w = tipo == 'F'   ? static_cast<Dialogo_Programacion*>(new Prog_Fecha(b.ctx))
              : tipo == 'H' ? static_cast<Dialogo_Programacion*>(new Prog_Hora(b.ctx))
                            : new Prog_Intervalo(b.ctx);
    b.fondo.Mostrar_Hija(w);
    return w;
}

QStringList Fecha(const Prog_Fecha* w) {
    return {w->Anio->text(), w->Combo_Mes->currentText(), w->Combo_Dia->currentText()};
}

}  // namespace

class Tst_Programacion : public QObject {
    Q_OBJECT
  private Q_SLOTS:
    void Dia_Que_No_Cabe();
    void Anio_Al_Salir_data();
    void Anio_Al_Salir();
    void Tomar_Del_Pc();
    void Aceptar_O_Cerrar_data();
    void Aceptar_O_Cerrar();
};

void Tst_Programacion::Dia_Que_No_Cabe() {
    // The remembered day follows every selection and is cut to the month's length, with a box.
    Banco b;
    auto* w = static_cast<Prog_Fecha*>(Abrir(b, 'F', "31", "03", "04"));
    w->Combo_Mes->setCurrentIndex(3);  // as the user would
    QCOMPARE(Fecha(w), (QStringList{"4", "Abril", "30"}));
    w->Combo_Mes->setCurrentIndex(1);  // year 04 is leap
    QCOMPARE(b.dialogos.Textos(),
             (QStringList{"La fecha selectada no es válida.\nSe asumirá el día:\n30 de Abril",
                          "La fecha selectada no es válida.\nSe asumirá el día:\n29 de Febrero"}));
    QCOMPARE(b.dialogos.cajas[0].titulo, Titulo_Aplicacion);

    // A real focus move runs the same steps as leaving the year box.
    w->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(w));
    w->Anio->setFocus();
    w->Anio->setText("2");
    w->Combo_Mes->setFocus(Qt::TabFocusReason);
    QCOMPARE(w->Anio->text(), QStringLiteral("02"));
}

void Tst_Programacion::Anio_Al_Salir_data() {
    // desde: a year left before, if any
    Columnas<QString, QString, QString, int, QString>({"desde", "texto", "dos", "dias", "dia"});
    Fila("año 03", "", "03", "03", 28, "28");
    Fila("año vacío", "", "", "00", 29, "29");
    Fila("año negativo", "", "-5", "05", 28, "28");
    Fila("año 2004 tras un día cortado", "03", "2004", "04", 29, "28");
}

// Leaving the year box: always two digits, February's length from them, its list rebuilt; from
// 29 February, a February of 28 days cuts the remembered day, with a box.
void Tst_Programacion::Anio_Al_Salir() {
    QFETCH(QString, desde);
    QFETCH(QString, texto);
    QFETCH(QString, dos);
    QFETCH(QString, dia);
    Banco b;
    auto* w = static_cast<Prog_Fecha*>(Abrir(b, 'F', "29", "02", "04"));
    if (!desde.isEmpty()) {
        w->Anio->setText(desde);
        w->Anio_LostFocus();
    }
    w->Anio->setText(texto);
    w->Anio_LostFocus();
    QCOMPARE(w->Anio->text(), dos);
    QTEST(w->Combo_Dia->count(), "dias");
    QCOMPARE(Fecha(w), (QStringList{dos, "Febrero", dia}));
    QCOMPARE(b.dialogos.Textos(),
             dia == "29" ? QStringList()
                         : QStringList{"La fecha selectada no es válida.\nSe asumirá el día:\n"
                                       "28 de Febrero"});
}

void Tst_Programacion::Tomar_Del_Pc() {
    Banco b;  // PC clock: 5 June 2002, 09:05
    auto* w = static_cast<Prog_Fecha*>(Abrir(b, 'F', "31", "03", "05"));
    w->Tomar_Fecha_PC->click();
    QVERIFY(w->Timer1->isActive());
    QCOMPARE(w->Timer1->timerType(), Qt::PreciseTimer);
    QVERIFY(!w->Anio->isEnabled() && !w->Combo_Mes->isEnabled() && !w->Combo_Dia->isEnabled());
    QCOMPARE(Fecha(w), (QStringList{"02", "Junio", "5"}));

    // A leap day on the PC is reachable even though the logger's year was not leap.
    b.reloj.Fijar_Pc(QDateTime(QDate(2004, 2, 29), QTime(23, 59)));
    w->Timer1_Timer();
    QCOMPARE(Fecha(w), (QStringList{"04", "Febrero", "29"}));
    w->Tomar_Fecha_PC->click();
    QVERIFY(!w->Timer1->isActive());
    QVERIFY(w->Anio->isEnabled() && w->Combo_Mes->isEnabled() && w->Combo_Dia->isEnabled());

    auto* h = static_cast<Prog_Hora*>(Abrir(b, 'H', "14", "07"));
    h->Tomar_Hora_PC->click();
    QCOMPARE(h->Timer1->timerType(), Qt::PreciseTimer);
    QVERIFY(h->Timer1->isActive() && !h->Combo_Horas->isEnabled() &&
            !h->Combo_Minutos->isEnabled());
    QCOMPARE(h->Combo_Horas->currentText() + ":" + h->Combo_Minutos->currentText(), "23:59");
    h->Tomar_Hora_PC->click();
    QVERIFY(!h->Timer1->isActive() && h->Combo_Horas->isEnabled() && h->Combo_Minutos->isEnabled());
}

// Each dialog sends what the last poll left (a month out of range falls back to January, a day
// of 0 to the first) and boxes any reply but "OK"; with no command expected, the row cancels (the
// close box for the hour) and nothing is sent. One fresh monitor comes back after any of them.
void Tst_Programacion::Aceptar_O_Cerrar_data() {
    // caja: how the box starts; the operation's test has the rest, for every reply
    Columnas<char, QString, QString, QString, QString, QString, QString>(
        {"tipo", "a", "c", "anio", "comando", "respuesta", "caja"});
    Fila("fecha aceptada", 'F', "05", "06", "02", "F05/06/02", "OK\r\n", "");
    Fila("fecha sin respuesta", 'F', "29", "02", "00", "F29/02/00", "",
         "Error 011, el equipo no responde.");
    Fila("fecha fuera de rango, respuesta desconocida", 'F', "00", "13", "04", "F01/01/04",
         "??\r\n", "El equipo retorna una RESPUESTA");
    Fila("fecha cancelada", 'F', "05", "06", "02", "", "", "");
    Fila("hora aceptada", 'H', "09", "05", "", "H09:05", "OK\r\n", "");
    Fila("hora rechazada", 'H', "00", "00", "", "H00:00", "KO\r\n", "Error 015, El equipo retorna");
    Fila("hora cerrada", 'H', "09", "05", "", "", "", "");
    Fila("intervalo aceptado", 'I', "5", "", "", "I5", "OK\r\n", "");
    Fila("intervalo desconocido", 'I', "-1", "", "", "I0", "OK\r\n", "");
    Fila("intervalo no reconocido", 'I', "6", "", "", "I6", "??\r\n",
         "Error 013, El equipo retorna");
    Fila("intervalo cancelado", 'I', "3", "", "", "", "", "");
}

void Tst_Programacion::Aceptar_O_Cerrar() {
    QFETCH(char, tipo);
    QFETCH(QString, a);
    QFETCH(QString, c);
    QFETCH(QString, anio);
    QFETCH(QString, comando);
    QFETCH(QString, respuesta);
    QFETCH(QString, caja);
    const bool acepta = !comando.isEmpty();
    Banco b;
    auto* w = Abrir(b, tipo, a, c, anio);
    b.puerto.Responder(comando.toLatin1(), respuesta.toLatin1());
    acepta ? w->Boton_Aceptar->click()
           : (tipo == 'H' ? (void)w->close() : w->Boton_Cancelar->click());
    QCOMPARE(b.puerto.Comandos().value(0), comando.toLatin1());
    if (tipo == 'F' && acepta)  // the day remembered is the one sent
        QCOMPARE(b.estado.Dia_Equipo.toInt(), comando.mid(1, 2).toInt());
    QCOMPARE(b.dialogos.cajas.size(), caja.isEmpty() ? 0 : 1);
    if (!caja.isEmpty()) QVERIFY(b.dialogos.Textos().value(0).startsWith(caja));
    QCOMPARE(b.dialogos.cajas.value(0).titulo,
             caja.isEmpty() ? QString() : QStringLiteral("Error en el link"));
    // however it closes, the dialog asks for the monitor back
    QVERIFY(!b.fondo.Ultima<Dialogo_Programacion>());
    QCOMPARE(b.fondo.Veces("Volver_Al_Monitor"), 1);
}

QTEST_MAIN(Tst_Programacion)
#include "tst_programacion.moc"
