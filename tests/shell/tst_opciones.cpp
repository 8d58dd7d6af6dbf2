#include <QtTest>

#include "dobles/tabla.h"
#include "programa.h"
#include "shell/ui/opciones.h"

using namespace aq;

namespace {

struct Lista_Guionada : Lista_Puertos {
    QList<Puerto_Encontrado> puertos;
    QList<Puerto_Encontrado> Buscar() override { return puertos; }
};

const Puerto_Encontrado Ftdi{
    QStringLiteral("/dev/serial/by-id/usb-FTDI_FT232R_A50285BI-if00-port0"),
    QStringLiteral("/dev/ttyUSB0"), QStringLiteral("FT232R USB UART"), QStringLiteral("FTDI"),
    QStringLiteral("A50285BI")};
const Puerto_Encontrado Prolific{QStringLiteral("/dev/serial/by-id/usb-Prolific_PL2303-if00-port0"),
                                 QStringLiteral("/dev/ttyUSB1"),
                                 QStringLiteral("USB-Serial Controller"),
                                 QStringLiteral("Prolific"),
                                 {}};

// Answers the next modal list of ports by choosing the row `fila`, or typing `direccion`.
void Elegir_Al_Abrir(int fila, const QString& direccion = {}) {
    QTimer::singleShot(0, [=] {
        auto* d = qobject_cast<Elegir_Dispositivo*>(QApplication::activeModalWidget());
        QVERIFY(d);
        if (fila >= 0) d->Puertos->setCurrentItem(d->Puertos->topLevelItem(fila));
        if (!direccion.isEmpty()) d->Direccion->setText(direccion);
        d->Boton_Aceptar->click();
    });
}

}  // namespace

// The device behind each "Comm N", chosen from the ports found.
class Tst_Opciones : public QObject {
    Q_OBJECT

    Lista_Guionada lista_;

  private Q_SLOTS:
    void init() {
        lista_.puertos = {Ftdi};
        Opciones::lista_puertos = &lista_;
    }

    void cada_puerto_muestra_su_dispositivo_y_se_elige_de_la_lista() {
        Programa p;
        p.b.perfil.WriteProfileString("Puertos", "COM2", "tcp://servidor:4001");
        p.b.puerto.puertos_ocupados = {3};
        QVERIFY(p.f->Abrir_Opciones());
        Opciones* o = p.Hija<Opciones>();
        QCOMPARE(o->Dispositivo[1]->text(), QStringLiteral("/dev/ttyS0"));
        QCOMPARE(o->Dispositivo[2]->text(), QStringLiteral("tcp://servidor:4001"));
        QVERIFY(!o->Option[3]->isEnabled());

        // an adapter plugged in after the first look shows at the next
        Elegir_Al_Abrir(0);
        o->Boton_Elegir[3]->click();
        QCOMPARE(p.b.perfil.GetProfileString("Puertos", "COM3", {}), Ftdi.dispositivo);
        QCOMPARE(o->Dispositivo[3]->text(), Ftdi.dispositivo);
        lista_.puertos.append(Prolific);
        p.b.puerto.puertos_ocupados.clear();
        Elegir_Al_Abrir(1);
        o->Boton_Elegir[3]->click();
        QCOMPARE(p.b.perfil.GetProfileString("Puertos", "COM3", {}), Prolific.dispositivo);
        QVERIFY(o->Option[3]->isEnabled());

        // a network address instead of a device
        Elegir_Al_Abrir(-1, QStringLiteral("tcp://192.168.1.50:4001"));
        o->Boton_Elegir[1]->click();
        QCOMPARE(o->Dispositivo[1]->text(), QStringLiteral("tcp://192.168.1.50:4001"));
        // the options' own rules are untouched: nothing else was written
        QVERIFY(!p.b.perfil.secciones.contains("BRISNA AQ-TIDE 1.0"));
    }

    void lista_de_puertos_data() {
        Columnas<int, QString, QString>({"fila", "direccion", "elegido"});
        Fila("fila", 1, "", Prolific.dispositivo);
        Fila("tcp", 0, "tcp://10.0.0.2:4001", "tcp://10.0.0.2:4001");
        Fila("tcp sin puerto", 0, "tcp://10.0.0.2", "");
        Fila("otra cosa", 0, "/dev/ttyUSB0", "");
    }
    void lista_de_puertos() {
        QFETCH(int, fila);
        QFETCH(QString, direccion);
        QFETCH(QString, elegido);
        lista_.puertos = {Ftdi, Prolific};
        Elegir_Dispositivo d(lista_, 1, Ftdi.sistema);
        QCOMPARE(d.Puertos->topLevelItemCount(), 2);
        QCOMPARE(d.Puertos->currentItem()->text(0), Ftdi.dispositivo);  // the current one
        QCOMPARE(d.Puertos->topLevelItem(0)->text(3), QStringLiteral("FTDI"));
        QCOMPARE(d.Puertos->topLevelItem(0)->text(4), QStringLiteral("A50285BI"));
        d.Puertos->setCurrentItem(d.Puertos->topLevelItem(fila));
        d.Direccion->setText(direccion);
        QCOMPARE(d.Elegido(), elegido);
        QCOMPARE(d.Boton_Aceptar->isEnabled(), !elegido.isEmpty());
    }

    void sin_puertos_dice_donde_mirar_y_ofrece_la_lista() {
        Programa p(true);
        p.b.puerto.puertos_ocupados = {1, 2, 3, 4};
        Elegir_Al_Abrir(0);
        QVERIFY(!p.f->Abrir_Opciones());
        QCOMPARE(p.terminado, 1);
        QCOMPARE(p.b.dialogos.cajas.size(), 2);
        QCOMPARE(p.b.dialogos.cajas[0].texto,
                 QStringLiteral("No hay ningún puerto de comunicaciones disponible.\n"
                                "Deberá disponer de por lo menos un puerto libre\n"
                                "para poder ejecutar esta aplicación.\n"
                                "Haga clic en aceptar para salir del programa."));
        QCOMPARE(p.b.dialogos.cajas[1].texto,
                 QStringLiteral("Se probaron estos dispositivos:\n"
                                "Comm 1: /dev/ttyS0\nComm 2: /dev/ttyS1\n"
                                "Comm 3: /dev/ttyS2\nComm 4: /dev/ttyS3\n\n"
                                "El dispositivo de cada puerto se indica en el archivo de "
                                "configuración\n\nsección [Puertos], claves COM1 a COM4.\n\n"
                                "Su usuario debe tener permiso para abrir los puertos serie: en "
                                "Debian,\npertenecer al grupo dialout (sudo adduser USUARIO "
                                "dialout, y volver a\niniciar la sesión).\n\n"
                                "¿Desea elegir ahora el dispositivo de Comm 1 entre los puertos\n"
                                "encontrados? Se usará al volver a iniciar el programa."));
        QCOMPARE(p.b.dialogos.cajas[1].botones, Botones::Aceptar_Cancelar);
        QCOMPARE(p.b.perfil.GetProfileString("Puertos", "COM1", {}), Ftdi.dispositivo);

        // declined: nothing is written
        Programa q(true);
        q.b.puerto.puertos_ocupados = {1, 2, 3, 4};
        q.b.dialogos.respuestas = {Respuesta::Aceptar, Respuesta::Cancelar};
        QVERIFY(!q.f->Abrir_Opciones());
        QVERIFY(q.b.perfil.GetProfileString("Puertos", "COM1", {}).isEmpty());
    }
};

QTEST_MAIN(Tst_Opciones)
#include "tst_opciones.moc"
