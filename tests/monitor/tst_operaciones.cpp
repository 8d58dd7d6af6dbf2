#include <QtTest>

#include "dobles/banco_operaciones.h"
#include "link/enlace.h"
#include "monitor/operaciones.h"

using namespace aq;

namespace {
const QString Verifique = "Verifique el enlace y reinicie el procedimiento";
const QString Salga = "Salga del programa, verifique el enlace y reinicie el procedimiento";
const QString Desconocida =
    "El equipo retorna una RESPUESTA DESCONOCIDA.\nposiblemente ocasionada por INTERFERENCIAS.\n";
}  // namespace

class Tst_Operaciones : public QObject {
    Q_OBJECT

  private Q_SLOTS:
    void estado_data() {
        QTest::addColumn<QByteArray>("respuesta");  // to "L"; "" silence (link silent too)
        QTest::addColumn<int>("fin");
        QTest::addColumn<QString>("mensaje");
        QTest::newRow("AJ") << Bloque_Estado() << int(Fin_Estado::Leido) << QString();
        QTest::newRow("RE") << Bloque_Estado("007", "20", "1000", "15/03/02", "10:07", "2 hrs.  ",
                                             "RE", "0096")
                            << int(Fin_Estado::Leido) << QString();
        // Four characters where 49 are due: retried, then given up as unknown.
        QTest::newRow("??") << QByteArray("??\r\n") << int(Fin_Estado::Desconocida)
                            << "Error 004, " + Desconocida + Verifique;
        QTest::newRow("NC") << QByteArray() << int(Fin_Estado::Sin_Respuesta)
                            << "Error 003, el equipo no responde.\n" + Verifique;
        QTest::newRow("KO") << QByteArray("KO\r\n") << int(Fin_Estado::Desconocida)
                            << "Error 004, " + Desconocida + Verifique;
    }

    // A record read is decoded and left for the programming dialogs; REGISTRO clears the
    // permission to erase.
    void estado() {
        QFETCH(QByteArray, respuesta);
        QFETCH(int, fin);
        Banco_Operaciones b;
        b.estado.Memoria_Leida = true;
        if (!respuesta.isEmpty()) b.puerto.Responder_Enlace();
        b.puerto.Responder("L", respuesta);
        const Resultado_Estado r = Consultar_Estado(b.ctx);
        QCOMPARE(int(r.fin), fin);
        QTEST(Mensaje_Estado(r.fin), "mensaje");
        if (r.fin != Fin_Estado::Leido) {
            QVERIFY(b.estado.Modo_Equipo.isEmpty() && b.estado.Memoria_Leida);
            return;
        }
        const bool registro = r.registro.Modo == "RE";
        QCOMPARE(r.registro.Lectura, registro ? QString("5000") : QString("123"));
        QCOMPARE(b.estado.Intervalo_Equipo, registro ? 5 : 2);
        QCOMPARE(b.estado.Memoria_Leida, !registro);
    }

    void modo_data() {
        QTest::addColumn<int>("destino");
        QTest::addColumn<QByteArray>("respuesta");  // "" silence
        QTest::addColumn<int>("fin");
        QTest::addColumn<QString>("mensaje");
        QTest::addColumn<QString>("titulo");
        QTest::addColumn<bool>("pausa");
        QTest::addColumn<bool>("cierra");
        const int A = int(Modo_Destino::Ajuste), R = int(Modo_Destino::Registro);
        const QString link = "Error en el link";
        const QString reintente =
            QString::fromUtf8("Comando no Reconocido. Reintente la operación. ");
        QTest::newRow("AAA OK") << A << QByteArray("OK\r\n") << int(Fin_Modo::Aceptado) << QString()
                                << link << false << false;
        QTest::newRow("AAA NC") << A << QByteArray() << int(Fin_Modo::Sin_Respuesta)
                                << "Error 008, el equipo no responde.\n" + Salga << link << false
                                << true;
        QTest::newRow("AAA ??") << A << QByteArray("??\r\n") << int(Fin_Modo::No_Reconocido)
                                << reintente << link << false << false;
        // "MI" means something only to "RRR".
        QTest::newRow("AAA MI") << A << QByteArray("MI\r\n") << int(Fin_Modo::Desconocida)
                                << "Error 007, " + Desconocida + Salga << link << false << true;
        QTest::newRow("RRR OK") << R << QByteArray("OK\r\n") << int(Fin_Modo::Aceptado) << QString()
                                << link << true << false;
        QTest::newRow("RRR MI")
            << R << QByteArray("MI\r\n") << int(Fin_Modo::Memoria_Inconsistente)
            << QString::fromUtf8(
                   "La memoria del equipo contiene inconsistencias !!!\n\nPodrían perderse "
                   "datos. Se recomienda\nsalir del Modo REGISTRO, leer los datos\na un archivo "
                   "de disco, borrar la memoria\ny finalmente reintentar esta operación.")
            << Titulo_Aplicacion << true << false;
        QTest::newRow("RRR PE")
            << R << QByteArray("PE\r\n") << int(Fin_Modo::Poco_Espacio)
            << QString::fromUtf8(
                   "La memoria del equipo contiene poco espacio libre.\n\nEl equipo NO pasará a "
                   "Modo REGISTRO\nVuelque la memoria en un archivo de disco\nbórrela y vuelva a "
                   "intentar")
            << Titulo_Aplicacion << false << false;
        QTest::newRow("RRR NC") << R << QByteArray() << int(Fin_Modo::Sin_Respuesta)
                                << "Error 010, el equipo no responde.\n" + Verifique << link
                                << false << false;
        QTest::newRow("RRR ??") << R << QByteArray("??\r\n") << int(Fin_Modo::No_Reconocido)
                                << reintente << link << false << false;
        QTest::newRow("RRR KO") << R << QByteArray("KO\r\n") << int(Fin_Modo::Desconocida)
                                << "Error 009, " + Desconocida + Verifique << link << false
                                << false;
    }

    void modo() {
        QFETCH(int, destino);
        QFETCH(QByteArray, respuesta);
        QFETCH(int, fin);
        Banco_Operaciones b;
        const QByteArray comando = destino == int(Modo_Destino::Registro) ? "RRR" : "AAA";
        if (!respuesta.isEmpty()) b.puerto.Responder_Enlace();
        b.puerto.Responder(comando, respuesta);
        const auto d = Modo_Destino(destino);
        const Fin_Modo f = Cambiar_Modo(b.ctx, d);
        QCOMPARE(int(f), fin);
        QCOMPARE(b.puerto.Comandos().first(), comando);
        QTEST(Mensaje_Modo(d, f), "mensaje");
        QTEST(Titulo_Modo(f), "titulo");
        QTEST(Pausa_Antes_Del_Sondeo(d, f), "pausa");
        QTEST(Cierra_Monitor(d, f), "cierra");
    }

    void programar_data() {
        QTest::addColumn<int>("que");
        QTest::addColumn<QList<int>>("valores");
        QTest::addColumn<QByteArray>("respuesta");  // "" silence
        QTest::addColumn<QByteArray>("comando");    // "" nothing sent
        QTest::addColumn<int>("fin");
        QTest::addColumn<QString>("mensaje");
        const int F = int(Programacion::Fecha), H = int(Programacion::Hora),
                  I = int(Programacion::Intervalo);
        const QByteArray ok = "OK\r\n";
        const int Ok = int(Fin_Programacion::Aceptado), Inv = int(Fin_Programacion::Valor_Invalido),
                  Nc = int(Fin_Programacion::Sin_Respuesta),
                  Otra = int(Fin_Programacion::Desconocida);
        const QString fecha_mala = QString::fromUtf8("La fecha selectada no es válida.");
        const QString hora_mala = QString::fromUtf8("La hora indicada no es válida.");
        const QString intervalo_malo = QString::fromUtf8("El intervalo indicado no es válido.");

        QTest::newRow("F05/06/02")
            << F << QList<int>{5, 6, 2} << ok << QByteArray("F05/06/02") << Ok << QString();
        QTest::newRow("29 feb 00")
            << F << QList<int>{29, 2, 0} << ok << QByteArray("F29/02/00") << Ok << QString();
        QTest::newRow("29 feb 01")
            << F << QList<int>{29, 2, 1} << ok << QByteArray() << Inv << fecha_mala;
        QTest::newRow("31 abr") << F << QList<int>{31, 4, 2} << ok << QByteArray() << Inv
                                << fecha_mala;
        QTest::newRow("dia 0") << F << QList<int>{0, 1, 2} << ok << QByteArray() << Inv
                               << fecha_mala;
        QTest::newRow("mes 13") << F << QList<int>{1, 13, 2} << ok << QByteArray() << Inv
                                << fecha_mala;
        QTest::newRow("anio 100") << F << QList<int>{1, 1, 100} << ok << QByteArray() << Inv
                                  << fecha_mala;
        QTest::newRow("F NC") << F << QList<int>{1, 1, 2} << QByteArray() << QByteArray("F01/01/02")
                              << Nc << "Error 011, el equipo no responde.\n" + Verifique;
        QTest::newRow("F KO") << F << QList<int>{1, 1, 2} << QByteArray("KO\r\n")
                              << QByteArray("F01/01/02") << Otra << Desconocida + Verifique;
        QTest::newRow("H09:05") << H << QList<int>{9, 5} << ok << QByteArray("H09:05") << Ok
                                << QString();
        QTest::newRow("hora 24") << H << QList<int>{24, 0} << ok << QByteArray() << Inv
                                 << hora_mala;
        QTest::newRow("minuto 60")
            << H << QList<int>{12, 60} << ok << QByteArray() << Inv << hora_mala;
        QTest::newRow("H NC") << H << QList<int>{0, 0} << QByteArray() << QByteArray("H00:00") << Nc
                              << "Error 014, el equipo no responde.\n" + Verifique;
        QTest::newRow("H ??") << H << QList<int>{0, 0} << QByteArray("??\r\n")
                              << QByteArray("H00:00") << Otra
                              << "Error 015, " + Desconocida + Salga;
        QTest::newRow("I3") << I << QList<int>{3} << ok << QByteArray("I3") << Ok << QString();
        QTest::newRow("codigo 7") << I << QList<int>{7} << ok << QByteArray() << Inv
                                  << intervalo_malo;
        QTest::newRow("codigo -1")
            << I << QList<int>{-1} << ok << QByteArray() << Inv << intervalo_malo;
        QTest::newRow("I NC") << I << QList<int>{6} << QByteArray() << QByteArray("I6") << Nc
                              << "Error 012, el equipo no responde.\n" + Verifique;
        QTest::newRow("I KO") << I << QList<int>{6} << QByteArray("KO\r\n") << QByteArray("I6")
                              << Otra << "Error 013, " + Desconocida + Salga;
    }

    // Impossible values never reach the line.
    void programar() {
        QFETCH(int, que);
        QFETCH(QList<int>, valores);
        QFETCH(QByteArray, respuesta);
        QFETCH(QByteArray, comando);
        QFETCH(int, fin);
        Banco_Operaciones b;
        if (!respuesta.isEmpty()) b.puerto.Responder_Enlace();
        if (!comando.isEmpty()) b.puerto.Responder(comando, respuesta);
        Fin_Programacion f;
        switch (Programacion(que)) {
            case Programacion::Fecha:
                f = Programar_Fecha(b.ctx, valores[0], valores[1], valores[2]);
                break;
            case Programacion::Hora:
                f = Programar_Hora(b.ctx, valores[0], valores[1]);
                break;
            default:
                f = Programar_Intervalo(b.ctx, valores[0]);
        }
        QCOMPARE(int(f), fin);
        QCOMPARE(b.puerto.Comandos().value(0), comando);
        QTEST(Mensaje_Programacion(Programacion(que), f), "mensaje");
    }
};

QTEST_GUILESS_MAIN(Tst_Operaciones)
#include "tst_operaciones.moc"
