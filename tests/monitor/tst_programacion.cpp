#include <QtTest>

#include "dobles/fondo_falso.h"
#include "monitor/programacion.h"
#include "monitor/ui/prog_fecha.h"
#include "monitor/ui/prog_hora.h"
#include "monitor/ui/prog_intervalo.h"
#include "monitor/ui/supervisor.h"

using namespace aq;

namespace {

const QString Link = QStringLiteral("Error en el link");

void Fecha_Equipo(Banco& b, const char* dia, const char* mes, const char* anio) {
    b.estado.Dia_Equipo = QString::fromLatin1(dia);
    b.estado.Mes_Equipo = QString::fromLatin1(mes);
    b.estado.Anio_Equipo = QString::fromLatin1(anio);
}

template <class T>
T* Abrir(Banco& b) {
    auto* w = new T(b.ctx);
    b.fondo.Mostrar_Hija(w);
    return w;
}

// The dialog is gone and a fresh monitor waits for its first poll.
bool Monitor_Reabierto(const Banco& b) {
    auto* m = b.fondo.Ultima<Supervisor>();
    return m && m->Timer1->isActive() && m->Timer1->interval() == 500 &&
           !b.fondo.Habilitado(Item_Menu::IDC_MENU);
}

QString Invalida(const char* ultima) {
    return QStringLiteral("La fecha selectada no es válida.\nSe asumirá el día:\n") +
           QString::fromUtf8(ultima);
}

}  // namespace

class Tst_Programacion : public QObject {
    Q_OBJECT
  private Q_SLOTS:
    void Fecha_Al_Abrir();
    void Dia_Fuera_Del_Mes();
    void Anio_Al_Perder_Foco();
    void Fecha_Del_Pc();
    void Enviar_Fecha_data();
    void Enviar_Fecha();
    void Cerrar_Sin_Enviar();
    void Enviar_Hora_data();
    void Enviar_Hora();
    void Hora_Del_Pc();
    void Enviar_Intervalo();
};

void Tst_Programacion::Fecha_Al_Abrir() {
    for (auto [anio, mostrado, febrero] :
         {std::tuple{"02", "2", 28}, {"00", "0", 29}, {"04", "4", 29}}) {
        Banco b;
        Fecha_Equipo(b, "15", "02", anio);
        auto* w = Abrir<Prog_Fecha>(b);
        QCOMPARE(w->windowTitle(), QStringLiteral("Programación de la Fecha"));
        QCOMPARE(w->Anio->text(), QString::fromLatin1(mostrado));
        QCOMPARE(w->Combo_Mes->count(), 12);
        QCOMPARE(w->Combo_Mes->currentText(), QStringLiteral("Febrero"));
        QCOMPARE(w->Combo_Dia->count(), febrero);
        QCOMPARE(w->Combo_Dia->currentText(), QStringLiteral("15"));
        QCOMPARE(b.estado.Nombres_Meses[9], QStringLiteral("Septiembre"));
        QVERIFY(b.dialogos.cajas.isEmpty());
    }
    {  // January from a month code out of range; day 1 from a day of 0
        Banco b;
        Fecha_Equipo(b, "00", "13", "02");
        auto* w = Abrir<Prog_Fecha>(b);
        QCOMPARE(w->Combo_Mes->currentIndex(), 0);
        QCOMPARE(w->Combo_Dia->count(), 31);
        QCOMPARE(w->Combo_Dia->currentIndex(), 0);
        QCOMPARE(b.estado.Dia_Equipo, QStringLiteral("1"));
    }
}

void Tst_Programacion::Dia_Fuera_Del_Mes() {
    Banco b;
    Fecha_Equipo(b, "31", "03", "02");
    auto* w = Abrir<Prog_Fecha>(b);
    QCOMPARE(w->Combo_Dia->currentText(), QStringLiteral("31"));
    w->Combo_Mes->setCurrentIndex(3);  // as the user would
    QCOMPARE(b.dialogos.Textos(), QStringList{Invalida("30 de Abril")});
    QCOMPARE(b.dialogos.cajas[0].titulo, Titulo_Aplicacion);
    QCOMPARE(b.dialogos.cajas[0].icono, Icono::Ninguno);
    QCOMPARE(w->Combo_Dia->count(), 30);
    QCOMPARE(w->Combo_Dia->currentText(), QStringLiteral("30"));
    QCOMPARE(b.estado.Dia_Equipo, QStringLiteral("30"));

    w->Combo_Dia->setCurrentIndex(9);
    QCOMPARE(b.estado.Dia_Equipo, QStringLiteral("10"));
    QCOMPARE(b.dialogos.cajas.size(), 1);
}

void Tst_Programacion::Anio_Al_Perder_Foco() {
    Banco b;
    Fecha_Equipo(b, "29", "02", "04");
    auto* w = Abrir<Prog_Fecha>(b);
    QCOMPARE(w->Combo_Dia->currentText(), QStringLiteral("29"));

    w->Anio->setText("03");
    w->Anio_LostFocus();
    QCOMPARE(b.dialogos.Textos(), QStringList{Invalida("28 de Febrero")});
    QCOMPARE(w->Combo_Mes->currentIndex(), 1);
    QCOMPARE(w->Combo_Dia->count(), 28);
    QCOMPARE(w->Combo_Dia->currentText(), QStringLiteral("28"));

    for (auto [texto, dos] : {std::pair{"", "00"}, {"ab", "00"}, {"-5", "05"}, {"2004", "04"}}) {
        w->Anio->setText(QString::fromLatin1(texto));
        w->Anio_LostFocus();
        QCOMPARE(w->Anio->text(), QString::fromLatin1(dos));
    }
    QCOMPARE(w->Anio->text(), QStringLiteral("04"));
    QCOMPARE(w->Combo_Dia->count(), 29);
    QCOMPARE(b.estado.Dias_Mes[2], 29);
    QCOMPARE(b.dialogos.cajas.size(), 1);

    // A real focus move runs the same steps.
    w->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(w));
    w->Anio->setFocus();
    QVERIFY(w->Anio->hasFocus());
    w->Anio->setText("2");
    w->Combo_Mes->setFocus(Qt::TabFocusReason);
    QCOMPARE(w->Anio->text(), QStringLiteral("02"));
    QCOMPARE(w->Combo_Dia->count(), 28);
}

void Tst_Programacion::Fecha_Del_Pc() {
    Banco b;  // PC clock: 5 June 2002
    Fecha_Equipo(b, "31", "03", "05");
    auto* w = Abrir<Prog_Fecha>(b);
    QVERIFY(!w->Timer1->isActive());
    QCOMPARE(w->Timer1->interval(), 5000);

    w->Tomar_Fecha_PC->click();
    QVERIFY(w->Tomar_Fecha_PC->isChecked());
    QVERIFY(w->Timer1->isActive());
    QVERIFY(!w->Anio->isEnabled() && !w->Combo_Mes->isEnabled() && !w->Combo_Dia->isEnabled());
    QCOMPARE(w->Anio->text(), QStringLiteral("02"));
    QCOMPARE(w->Combo_Mes->currentText(), QStringLiteral("Junio"));
    QCOMPARE(w->Combo_Dia->currentText(), QStringLiteral("5"));
    // Remembered 31 did not fit June on the way.
    QCOMPARE(b.dialogos.Textos(), QStringList{Invalida("30 de Junio")});

    // A leap day on the PC is reachable even though the logger's year was not leap.
    b.reloj.Fijar_Pc(QDateTime(QDate(2004, 2, 29), QTime(23, 0)));
    w->Timer1_Timer();
    QCOMPARE(w->Anio->text(), QStringLiteral("04"));
    QCOMPARE(w->Combo_Mes->currentText(), QStringLiteral("Febrero"));
    QCOMPARE(w->Combo_Dia->currentText(), QStringLiteral("29"));

    w->Tomar_Fecha_PC->click();
    QVERIFY(!w->Timer1->isActive());
    QVERIFY(w->Anio->isEnabled() && w->Combo_Mes->isEnabled() && w->Combo_Dia->isEnabled());

    b.puerto.Responder("F29/02/04", "OK\r\n");
    w->Boton_Aceptar->click();
    QCOMPARE(b.puerto.Comandos(), QList<QByteArray>{"F29/02/04"});
}

void Tst_Programacion::Enviar_Fecha_data() {
    QTest::addColumn<QByteArray>("respuesta");
    QTest::addColumn<QString>("caja");
    QTest::newRow("OK") << QByteArray("OK\r\n") << QString();
    QTest::newRow("NC") << QByteArray()
                        << "Error 011, el equipo no responde.\n"
                           "Verifique el enlace y reinicie el procedimiento";
    QTest::newRow("??") << QByteArray("??\r\n")
                        << "El equipo retorna una RESPUESTA DESCONOCIDA.\n"
                           "posiblemente ocasionada por INTERFERENCIAS.\n"
                           "Verifique el enlace y reinicie el procedimiento";
}

void Tst_Programacion::Enviar_Fecha() {
    QFETCH(QByteArray, respuesta);
    QFETCH(QString, caja);
    Banco b;
    b.fondo.Habilitar(Item_Menu::IDC_MENU, false);
    Fecha_Equipo(b, "05", "06", "02");
    auto* w = Abrir<Prog_Fecha>(b);
    QCOMPARE(w->Anio->text(), QStringLiteral("2"));
    b.puerto.Responder("F05/06/02", respuesta);
    w->Boton_Aceptar->click();
    QCOMPARE(b.puerto.Comandos().value(0), QByteArray("F05/06/02"));
    QVERIFY(!w->Boton_Cancelar->isEnabled());
    QCOMPARE(b.dialogos.Textos(), caja.isEmpty() ? QStringList() : QStringList{caja});
    if (!caja.isEmpty()) QCOMPARE(b.dialogos.cajas[0].titulo, Link);
    QVERIFY(b.fondo.Ultima<Prog_Fecha>() == nullptr);
    QVERIFY(Monitor_Reabierto(b));
}

void Tst_Programacion::Cerrar_Sin_Enviar() {
    for (int via = 0; via < 6; ++via) {
        Banco b;
        b.fondo.Habilitar(Item_Menu::IDC_MENU, false);
        Fecha_Equipo(b, "05", "06", "02");
        b.estado.Hora_Equipo = "09";
        b.estado.Minuto_Equipo = "05";
        Dialogo_Programacion* w;
        if (via / 2 == 0)
            w = Abrir<Prog_Fecha>(b);
        else if (via / 2 == 1)
            w = Abrir<Prog_Hora>(b);
        else
            w = Abrir<Prog_Intervalo>(b);
        if (via % 2)
            w->close();
        else
            w->Boton_Cancelar->click();
        QVERIFY(b.puerto.Escrituras().isEmpty());
        QVERIFY(b.fondo.Ultima<Dialogo_Programacion>() == nullptr);
        QVERIFY(Monitor_Reabierto(b));
        QCOMPARE(b.fondo.hijas.size(), 2);
    }
}

void Tst_Programacion::Enviar_Hora_data() {
    QTest::addColumn<int>("hora");
    QTest::addColumn<int>("minuto");
    QTest::addColumn<QByteArray>("comando");
    QTest::addColumn<QByteArray>("respuesta");
    QTest::addColumn<QString>("caja");
    QTest::newRow("09:05") << 9 << 5 << QByteArray("H09:05") << QByteArray("OK\r\n") << QString();
    QTest::newRow("23:59") << 23 << 59 << QByteArray("H23:59") << QByteArray("OK\r\n") << QString();
    QTest::newRow("NC") << 0 << 0 << QByteArray("H00:00") << QByteArray()
                        << "Error 014, el equipo no responde.\n"
                           "Verifique el enlace y reinicie el procedimiento";
    QTest::newRow("KO") << 0 << 0 << QByteArray("H00:00") << QByteArray("KO\r\n")
                        << "Error 015, El equipo retorna una RESPUESTA DESCONOCIDA.\n"
                           "posiblemente ocasionada por INTERFERENCIAS.\n"
                           "Salga del programa, verifique el enlace y reinicie el procedimiento";
}

void Tst_Programacion::Enviar_Hora() {
    QFETCH(int, hora);
    QFETCH(int, minuto);
    QFETCH(QByteArray, comando);
    QFETCH(QByteArray, respuesta);
    QFETCH(QString, caja);
    Banco b;
    b.fondo.Habilitar(Item_Menu::IDC_MENU, false);
    b.estado.Hora_Equipo = "14";
    b.estado.Minuto_Equipo = "07";
    auto* w = Abrir<Prog_Hora>(b);
    QCOMPARE(w->windowTitle(), QStringLiteral("Programación de la Hora"));
    QCOMPARE(w->Combo_Horas->count(), 24);
    QCOMPARE(w->Combo_Minutos->count(), 60);
    QCOMPARE(w->Combo_Horas->currentText(), QStringLiteral("14"));
    QCOMPARE(w->Combo_Minutos->currentText(), QStringLiteral("7"));
    w->Combo_Horas->setCurrentIndex(hora);
    w->Combo_Minutos->setCurrentIndex(minuto);
    b.puerto.Responder(comando, respuesta);
    w->Boton_Aceptar->click();
    QCOMPARE(b.puerto.Comandos().value(0), comando);
    QCOMPARE(b.dialogos.Textos(), caja.isEmpty() ? QStringList() : QStringList{caja});
    if (!caja.isEmpty()) QCOMPARE(b.dialogos.cajas[0].titulo, Link);
    QVERIFY(Monitor_Reabierto(b));
}

void Tst_Programacion::Hora_Del_Pc() {
    Banco b;  // PC clock 09:05
    b.estado.Hora_Equipo = "14";
    b.estado.Minuto_Equipo = "07";
    auto* w = Abrir<Prog_Hora>(b);
    QCOMPARE(w->Timer1->interval(), 5000);
    w->Tomar_Hora_PC->click();
    QVERIFY(w->Timer1->isActive());
    QVERIFY(!w->Combo_Horas->isEnabled() && !w->Combo_Minutos->isEnabled());
    QCOMPARE(w->Combo_Horas->currentIndex(), 9);
    QCOMPARE(w->Combo_Minutos->currentIndex(), 5);

    b.reloj.Avanzar(3600 * 2 + 60 * 10);
    w->Timer1_Timer();
    QCOMPARE(w->Combo_Horas->currentIndex(), 11);
    QCOMPARE(w->Combo_Minutos->currentIndex(), 15);

    w->Tomar_Hora_PC->click();
    QVERIFY(!w->Timer1->isActive());
    QVERIFY(w->Combo_Horas->isEnabled() && w->Combo_Minutos->isEnabled());
}

void Tst_Programacion::Enviar_Intervalo() {
    for (auto [codigo, elegido, texto, comando, respuesta, caja] :
         {std::tuple{5, -1, " 2 horas  ", "I5", "OK\r\n", ""},
          {-1, -1, " 5 minutos", "I0", "OK\r\n", ""},
          {0, 3, "30 minutos", "I3", "",
           "Error 012, el equipo no responde.\n"
           "Verifique el enlace y reinicie el procedimiento"},
          {6, 0, " 5 minutos", "I0", "??\r\n",
           "Error 013, El equipo retorna una RESPUESTA DESCONOCIDA.\n"
           "posiblemente ocasionada por INTERFERENCIAS.\n"
           "Salga del programa, verifique el enlace y reinicie el procedimiento"}}) {
        Banco b;
        b.fondo.Habilitar(Item_Menu::IDC_MENU, false);
        b.estado.Intervalo_Equipo = codigo;
        auto* w = Abrir<Prog_Intervalo>(b);
        QCOMPARE(w->Intervalo->count(), 7);
        if (elegido >= 0) w->Intervalo->setCurrentIndex(elegido);
        QCOMPARE(w->Intervalo->currentText(), QString::fromLatin1(texto));
        b.puerto.Responder(comando, QByteArray(respuesta));
        w->Boton_Aceptar->click();
        QCOMPARE(b.puerto.Comandos().value(0), QByteArray(comando));
        QCOMPARE(b.dialogos.Textos().join(""), QString::fromUtf8(caja));
        QVERIFY(Monitor_Reabierto(b));
    }
}

QTEST_MAIN(Tst_Programacion)
#include "tst_programacion.moc"
