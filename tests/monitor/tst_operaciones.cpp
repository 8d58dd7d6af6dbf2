#include <QtTest>

#include "dobles/banco_operaciones.h"
#include "dobles/tabla.h"
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
        Columnas<QByteArray, int, QString>({"respuesta", "fin", "mensaje"});  // "" silence
        const QByteArray re =
            Bloque_Estado("007", "20", "1000", "15/03/02", "10:07", "2 hrs.  ", "RE", "0096");
        Fila("AJ", Bloque_Estado(), int(Fin_Estado::Leido), "");
        Fila("RE", re, int(Fin_Estado::Leido), "");
        // Four characters where 49 are due: retried, then given up as unknown.
        Fila("??", QByteArray("??\r\n"), int(Fin_Estado::Desconocida),
             "Error 004, " + Desconocida + Verifique);
        Fila("NC", QByteArray(), int(Fin_Estado::Sin_Respuesta),
             "Error 003, el equipo no responde.\n" + Verifique);
        Fila("KO", QByteArray("KO\r\n"), int(Fin_Estado::Desconocida),
             "Error 004, " + Desconocida + Verifique);
    }

    // A record read is decoded and left for the programming dialogs; REGISTRO clears the
    // permission to erase.
    void estado() {
        QFETCH(QByteArray, respuesta);
        Banco_Operaciones b;
        b.estado.Memoria_Leida = true;
        if (!respuesta.isEmpty()) b.puerto.Responder_Enlace();
        b.puerto.Responder("L", respuesta);
        const Resultado_Estado r = Consultar_Estado(b.ctx);
        QTEST(int(r.fin), "fin");
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

    // Reply, outcome, box text and title, then whether the monitor waits half a second before
    // polling again, closes, or polls again at all.
    void modo_data() {
        Columnas<int, QByteArray, int, QString, QString, bool, bool, bool>(
            {"destino", "respuesta", "fin", "mensaje", "titulo", "pausa", "cierra", "sondea"});
        const int A = int(Modo_Destino::Ajuste), R = int(Modo_Destino::Registro);
        const QByteArray ok = "OK\r\n", nc, dd = "??\r\n", mi = "MI\r\n";
        const QString link = "Error en el link";
        const QString reintente = "Comando no Reconocido. Reintente la operación. ";
        Fila("AAA OK", A, ok, int(Fin_Modo::Aceptado), "", link, false, false, true);
        Fila("AAA NC", A, nc, int(Fin_Modo::Sin_Respuesta),
             "Error 008, el equipo no responde.\n" + Salga, link, false, true, false);
        Fila("AAA ??", A, dd, int(Fin_Modo::No_Reconocido), reintente, link, false, false, false);
        // "MI" means something only to "RRR".
        Fila("AAA MI", A, mi, int(Fin_Modo::Desconocida), "Error 007, " + Desconocida + Salga, link,
             false, true, false);
        Fila("RRR OK", R, ok, int(Fin_Modo::Aceptado), "", link, true, false, true);
        Fila(
            "RRR MI", R, mi, int(Fin_Modo::Memoria_Inconsistente),
            "La memoria del equipo contiene inconsistencias !!!\n\nPodrían perderse datos. Se "
            "recomienda\nsalir del Modo REGISTRO, leer los datos\na un archivo de disco, borrar la "
            "memoria\ny finalmente reintentar esta operación.",
            Titulo_Aplicacion, true, false, true);
        Fila("RRR PE", R, QByteArray("PE\r\n"), int(Fin_Modo::Poco_Espacio),
             "La memoria del equipo contiene poco espacio libre.\n\nEl equipo NO pasará a Modo "
             "REGISTRO\nVuelque la memoria en un archivo de disco\nbórrela y vuelva a intentar",
             Titulo_Aplicacion, false, false, true);
        Fila("RRR NC", R, nc, int(Fin_Modo::Sin_Respuesta),
             "Error 010, el equipo no responde.\n" + Verifique, link, false, false, false);
        Fila("RRR ??", R, dd, int(Fin_Modo::No_Reconocido), reintente, link, false, false, false);
        Fila("RRR KO", R, QByteArray("KO\r\n"), int(Fin_Modo::Desconocida),
             "Error 009, " + Desconocida + Verifique, link, false, false, false);
    }

    void modo() {
        QFETCH(int, destino);
        QFETCH(QByteArray, respuesta);
        Banco_Operaciones b;
        const QByteArray comando = destino == int(Modo_Destino::Registro) ? "RRR" : "AAA";
        if (!respuesta.isEmpty()) b.puerto.Responder_Enlace();
        b.puerto.Responder(comando, respuesta);
        const auto d = Modo_Destino(destino);
        const Fin_Modo f = Cambiar_Modo(b.ctx, d);
        QTEST(int(f), "fin");
        QCOMPARE(b.puerto.Comandos().first(), comando);
        QTEST(Mensaje_Modo(d, f), "mensaje");
        QTEST(Titulo_Modo(f), "titulo");
        QTEST(Pausa_Antes_Del_Sondeo(d, f), "pausa");
        QTEST(Cierra_Monitor(d, f), "cierra");
        QTEST(Sondea_Despues(f), "sondea");
    }

    void programar_data() {
        Columnas<int, QList<int>, QByteArray, QByteArray, int, QString>(
            {"que", "valores", "respuesta", "comando", "fin", "mensaje"});  // "": silence, not sent
        const int F = int(Programacion::Fecha), H = int(Programacion::Hora),
                  I = int(Programacion::Intervalo);
        const QByteArray ok = "OK\r\n", nada;
        const int Ok = int(Fin_Programacion::Aceptado), Inv = int(Fin_Programacion::Valor_Invalido),
                  Nc = int(Fin_Programacion::Sin_Respuesta),
                  Otra = int(Fin_Programacion::Desconocida);
        const QString fecha_mala = "La fecha selectada no es válida.";
        const QString hora_mala = "La hora indicada no es válida.";
        const QString intervalo_malo = "El intervalo indicado no es válido.";
        using L = QList<int>;
        Fila("F05/06/02", F, L{5, 6, 2}, ok, QByteArray("F05/06/02"), Ok, "");
        Fila("29 feb 00", F, L{29, 2, 0}, ok, QByteArray("F29/02/00"), Ok, "");
        Fila("29 feb 01", F, L{29, 2, 1}, ok, nada, Inv, fecha_mala);
        Fila("31 abr", F, L{31, 4, 2}, ok, nada, Inv, fecha_mala);
        Fila("dia 0", F, L{0, 1, 2}, ok, nada, Inv, fecha_mala);
        Fila("mes 13", F, L{1, 13, 2}, ok, nada, Inv, fecha_mala);
        Fila("anio 100", F, L{1, 1, 100}, ok, nada, Inv, fecha_mala);
        Fila("F NC", F, L{1, 1, 2}, nada, QByteArray("F01/01/02"), Nc,
             "Error 011, el equipo no responde.\n" + Verifique);
        Fila("F KO", F, L{1, 1, 2}, QByteArray("KO\r\n"), QByteArray("F01/01/02"), Otra,
             Desconocida + Verifique);
        Fila("H09:05", H, L{9, 5}, ok, QByteArray("H09:05"), Ok, "");
        Fila("hora 24", H, L{24, 0}, ok, nada, Inv, hora_mala);
        Fila("minuto 60", H, L{12, 60}, ok, nada, Inv, hora_mala);
        Fila("H NC", H, L{0, 0}, nada, QByteArray("H00:00"), Nc,
             "Error 014, el equipo no responde.\n" + Verifique);
        Fila("H ??", H, L{0, 0}, QByteArray("??\r\n"), QByteArray("H00:00"), Otra,
             "Error 015, " + Desconocida + Salga);
        Fila("I3", I, L{3}, ok, QByteArray("I3"), Ok, "");
        Fila("codigo 7", I, L{7}, ok, nada, Inv, intervalo_malo);
        Fila("codigo -1", I, L{-1}, ok, nada, Inv, intervalo_malo);
        Fila("I NC", I, L{6}, nada, QByteArray("I6"), Nc,
             "Error 012, el equipo no responde.\n" + Verifique);
        Fila("I KO", I, L{6}, QByteArray("KO\r\n"), QByteArray("I6"), Otra,
             "Error 013, " + Desconocida + Salga);
    }

    // Impossible values never reach the line.
    void programar() {
        QFETCH(int, que);
        QFETCH(QList<int>, valores);
        QFETCH(QByteArray, respuesta);
        QFETCH(QByteArray, comando);
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
        QTEST(int(f), "fin");
        QCOMPARE(b.puerto.Comandos().value(0), comando);
        QTEST(Mensaje_Programacion(Programacion(que), f), "mensaje");
    }
};

QTEST_GUILESS_MAIN(Tst_Operaciones)
#include "tst_operaciones.moc"
