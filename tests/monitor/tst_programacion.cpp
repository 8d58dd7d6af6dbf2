#include <QtTest>

#include "dobles/fondo_falso.h"
#include "monitor/ui/prog_fecha.h"
#include "monitor/ui/prog_hora.h"
#include "monitor/ui/prog_intervalo.h"
#include "monitor/ui/supervisor.h"

using namespace aq;

namespace {

// Opens the dialog `tipo` ('F', 'H' or 'I') after a poll that left day or hour `a`, month or
// minute `c`, the two-digit year, and `a` as the interval code (-1: none recognised).
Dialogo_Programacion* Abrir(Banco& b, char tipo, const char* a = "", const char* c = "",
                            const char* anio = "02") {
    b.estado.Dia_Equipo = b.estado.Hora_Equipo = QString::fromLatin1(a);
    b.estado.Mes_Equipo = b.estado.Minuto_Equipo = QString::fromLatin1(c);
    b.estado.Anio_Equipo = QString::fromLatin1(anio);
    b.estado.Intervalo_Equipo = QByteArray(a).toInt();
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
    void Tomar_Del_Pc();
    void Aceptar_O_Cerrar();
};

void Tst_Programacion::Dia_Que_No_Cabe() {
    // The remembered day follows every selection and is cut to the month's length, with a box.
    Banco b;
    auto* w = static_cast<Prog_Fecha*>(Abrir(b, 'F', "31", "03", "04"));
    w->Combo_Mes->setCurrentIndex(3);  // as the user would
    QCOMPARE(Fecha(w), (QStringList{"4", "Abril", "30"}));
    w->Combo_Mes->setCurrentIndex(1);  // year 04 is leap
    // Leaving the year box: always two digits, February's length from them, its list rebuilt.
    for (auto [texto, dos, dias] :
         {std::tuple{"03", "03", 28}, {"", "00", 29}, {"-5", "05", 28}, {"2004", "04", 29}}) {
        w->Anio->setText(QString::fromLatin1(texto));
        w->Anio_LostFocus();
        QCOMPARE(w->Anio->text(), QString::fromLatin1(dos));
        QCOMPARE(w->Combo_Dia->count(), dias);
    }
    QCOMPARE(Fecha(w), (QStringList{"04", "Febrero", "28"}));
    QCOMPARE(b.dialogos.Textos(),
             (QStringList{"La fecha selectada no es válida.\nSe asumirá el día:\n30 de Abril",
                          "La fecha selectada no es válida.\nSe asumirá el día:\n29 de Febrero",
                          "La fecha selectada no es válida.\nSe asumirá el día:\n28 de Febrero"}));
    QCOMPARE(b.dialogos.cajas[0].titulo, Titulo_Aplicacion);

    // A real focus move runs the same steps.
    w->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(w));
    w->Anio->setFocus();
    w->Anio->setText("2");
    w->Combo_Mes->setFocus(Qt::TabFocusReason);
    QCOMPARE(w->Anio->text(), QStringLiteral("02"));
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

void Tst_Programacion::Aceptar_O_Cerrar() {
    // Each dialog sends what the last poll left (a month out of range falls back to January, a
    // day of 0 to the first) and boxes any reply but "OK"; no reply (null) is Cancel or the close
    // box, which send nothing. One fresh monitor comes back after any of them.
    for (auto [tipo, a, c, anio, comando, respuesta, caja] :
         {std::tuple{'F', "05", "06", "02", "F05/06/02", "OK\r\n", ""},
          {'F', "29", "02", "00", "F29/02/00", "", "Error 011, el equipo no responde."},
          {'F', "00", "13", "04", "F01/01/04", "??\r\n", "El equipo retorna una RESPUESTA"},
          {'F', "05", "06", "02", "", nullptr, ""},
          {'H', "09", "05", "", "H09:05", "OK\r\n", ""},
          {'H', "00", "00", "", "H00:00", "", "Error 014, el equipo no responde."},
          {'H', "00", "00", "", "H00:00", "KO\r\n", "Error 015, El equipo retorna"},
          {'H', "09", "05", "", "", nullptr, ""},
          {'I', "5", "", "", "I5", "OK\r\n", ""},
          {'I', "-1", "", "", "I0", "OK\r\n", ""},
          {'I', "3", "", "", "I3", "", "Error 012, el equipo no responde."},
          {'I', "6", "", "", "I6", "??\r\n", "Error 013, El equipo retorna"},
          {'I', "3", "", "", "", nullptr, ""}}) {
        Banco b;
        auto* w = Abrir(b, tipo, a, c, anio);
        b.puerto.Responder(comando, respuesta);
        respuesta ? w->Boton_Aceptar->click()
                  : (tipo == 'H' ? (void)w->close() : w->Boton_Cancelar->click());
        QCOMPARE(b.puerto.Comandos().value(0), QByteArray(comando));
        if (tipo == 'F' && respuesta)  // the day remembered is the one sent
            QCOMPARE(b.estado.Dia_Equipo.toInt(), QByteArray(comando).mid(1, 2).toInt());
        // the whole texts are the operation's; here only which box comes up
        QCOMPARE(b.dialogos.cajas.size(), *caja ? 1 : 0);
        if (*caja) QVERIFY(b.dialogos.Textos().value(0).startsWith(QString::fromUtf8(caja)));
        QCOMPARE(b.dialogos.cajas.value(0).titulo,
                 *caja ? QStringLiteral("Error en el link") : QString());
        // however it closes, the dialog asks for the monitor back
        QVERIFY(!b.fondo.Ultima<Dialogo_Programacion>());
        QCOMPARE(b.fondo.Veces("Volver_Al_Monitor"), 1);
    }
}

QTEST_MAIN(Tst_Programacion)
#include "tst_programacion.moc"
