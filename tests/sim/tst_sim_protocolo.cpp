// Logger behaviour on the line, driven by hand-set monotonic time (no device, no waits).
#include <QtTest>

#include <cstdio>
#include <memory>
#include <string>

#include "memoria_logger.h"
#include "opciones.h"
#include "simulador.h"

using namespace aq::sim;

namespace {

// 15/03/24 10:07:30
const Fecha_Hora kInicio{15, 3, 24, 10, 7, 30};

struct Banco {
    Opciones_Simulador o;
    Memoria_Logger m;
    std::unique_ptr<Simulador_Logger> s;
    int64_t t = 1000;

    explicit Banco(bool vacia = true) {
        o.rapido = true;
        if (!vacia) m.Precargar(A_Segundos(kInicio), 0, 1);
    }
    Simulador_Logger& Crear() {
        s = std::make_unique<Simulador_Logger>(o, m, kInicio, t);
        return *s;
    }
    // What the logger has queued by `t`, all replies joined.
    std::string Tomar() {
        std::string r;
        for (auto& e : s->Salida()) r += e.texto;
        s->Salida().clear();
        return r;
    }
    std::string Enviar(const std::string& c, int64_t despues_ms = 150) {
        s->Recibir(c, t);
        t += despues_ms;
        s->Avanzar(t);
        return Tomar();
    }
    void Pasar(int64_t ms) {
        t += ms;
        s->Avanzar(t);
    }
};

int Suma(const std::string& t, size_t n) {
    int s = 0;
    for (size_t i = 0; i < n; ++i) s += static_cast<unsigned char>(t[i]);
    return s;
}

const std::string kU(32, 'U');

}  // namespace

class Tst_Sim_Protocolo : public QObject {
    Q_OBJECT
  private Q_SLOTS:
    void Tramas_Partidas_Y_Seguidas() {
        Banco b;
        b.Crear();
        // A link check in three reads, within the silence allowance.
        b.s->Recibir(kU.substr(0, 5), b.t);
        b.s->Recibir(kU.substr(5, 20), b.t + 40);
        b.s->Recibir(kU.substr(25), b.t + 80);
        QCOMPARE(b.Tomar(), std::string("OK\r\n"));
        b.t += 200;
        // Commands back to back in one read, answered in order.
        QCOMPARE(b.Enviar(kU + "VAAAH09:05"), std::string("OK\r\nAQ-TIDE 1.0\r\nOK\r\nOK\r\n"));
        QCOMPARE(b.Enviar("F0"), std::string("??\r\n"));  // incomplete, then silence
        b.s->Recibir("F1", b.t);
        b.s->Recibir("5/03/24", b.t + 50);
        QCOMPARE(b.Tomar(), std::string("OK\r\n"));
    }

    void Basura_Y_Silencio() {
        Banco b;
        b.Crear();
        b.s->Recibir("X", b.t);
        b.s->Avanzar(b.t + 99);
        QVERIFY(b.Tomar().empty());  // waits for the line to fall silent
        b.s->Avanzar(b.t + 100);
        QCOMPARE(b.Tomar(), std::string("??\r\n"));
        b.t += 200;
        QCOMPARE(b.Enviar("XYZ\x01"), std::string("??\r\n"));  // one "??" per burst
        QCOMPARE(b.Enviar("AAB"), std::string("??\r\n"));
        QCOMPARE(b.Enviar(std::string(31, 'U')), std::string("??\r\n"));
        QCOMPARE(b.Enviar("UUUUL"), std::string("??\r\n"));
        QCOMPARE(b.Enviar(kU + "U"), std::string("OK\r\n??\r\n"));
        QCOMPARE(b.Enviar(kU), std::string("OK\r\n"));  // back in step
    }

    void Bloque_De_Estado() {
        Banco b(false);
        b.o.equipo = 7;
        b.o.alcance = 2;
        b.o.intervalo = 5;
        b.Crear();
        const std::string e = b.Enviar("L");
        QCOMPARE(e.size(), size_t(49));
        QCOMPARE(e.substr(0, 7), std::string("007 20 "));
        QVERIFY(std::stoi(e.substr(7, 4)) <= 4095);
        QCOMPARE(e.substr(11, 28), std::string(" 15/03/24 10:07 2 hrs.   AJ "));
        char usadas[8];
        std::snprintf(usadas, sizeof usadas, "%04d", b.m.Palabras_Ocupadas());
        QCOMPARE(e.substr(39, 4), std::string(usadas));
        QCOMPARE(std::stoi(e.substr(43, 4)), Suma(e, 43));
        QCOMPARE(e.substr(47), std::string("\r\n"));

        const char* textos[] = {"5  min  ", "10 min  ", "15 min  ", "30 min  ",
                                "1 hora  ", "2 hrs.  ", "4 hrs.  "};
        for (int i = 0; i <= 6; ++i) {
            QCOMPARE(b.Enviar("I" + std::to_string(i)), std::string("OK\r\n"));
            QCOMPARE(b.Enviar("L").substr(27, 8), std::string(textos[i]));
        }
        // The clock runs: 3 minutes later the time field moved.
        b.Pasar(180000);
        QCOMPARE(b.Enviar("L").substr(21, 5), std::string("10:10"));
    }

    void Volcado_Y_Borrado() {
        Banco b(false);
        b.o.rapido = false;
        b.Crear();
        const int usadas = b.m.Palabras_Ocupadas();
        QVERIFY(usadas > 100);
        b.s->Recibir("DDD", b.t);
        QCOMPARE(b.s->Salida().front().desde_ms, b.t + 10);  // processing delay
        const std::string d = b.Tomar();
        QCOMPARE(d.size(), size_t(20487));
        QCOMPARE(d.substr(0, 5), std::string("AA55 "));
        char w[8];
        std::snprintf(w, sizeof w, "%04X ", b.m.Palabra(usadas - 1));
        QCOMPARE(d.substr(5 * (usadas - 1), 5), std::string(w));
        QCOMPARE(d.substr(5 * usadas, 5), std::string("FFFF "));
        unsigned suma = static_cast<unsigned>(Suma(d, 20480));
        QCOMPARE(std::stoi(d.substr(20480, 4)), int(suma % 65536 % 10000));
        QCOMPARE(d.substr(20484), std::string(" \r\n"));

        // Erase: time grows with the words in use, well inside the supervisor's 30 ms/word.
        b.t += 30000;
        b.s->Recibir("BBB", b.t);
        const int64_t espera = b.s->Salida().front().desde_ms - b.t;
        QCOMPARE(espera, int64_t(10 + 10 * usadas + 200));
        QVERIFY(espera < 30 * usadas + 2000);
        QCOMPARE(b.Tomar(), std::string("OK\r\n"));
        // 4096 x "FFFF ": sum 1277952, mod 65536 = 32768, mod 10000 = 2768.
        QCOMPARE(b.Enviar("DDD").substr(20480), std::string("2768 \r\n"));
        QCOMPARE(b.Enviar("L").substr(39, 4), std::string("0000"));
    }

    void Registro_Crea_Bloque_Y_Sigue_La_Grilla() {
        Banco b;
        b.o.equipo = 12;
        b.o.alcance = 1;
        b.o.intervalo = 2;  // 15 minutes
        b.Crear();
        QCOMPARE(b.Enviar("RRR", 0), std::string("OK\r\n"));
        const Memoria_Logger& m = b.s->Memoria();
        QCOMPARE(m.Palabra(0), uint16_t(0xAA55));
        QCOMPARE(m.Palabra(1), uint16_t(1 << 8 | 12));
        QCOMPARE(m.Palabra(2), uint16_t(2 << 8 | 10));
        QCOMPARE(m.Palabra(3), uint16_t(7 << 8 | 15));
        QCOMPARE(m.Palabra(4), uint16_t(3 << 8 | 24));
        QCOMPARE(b.Enviar("L", 0).substr(36, 2), std::string("RE"));
        QCOMPARE(b.Enviar("H10:00", 0), std::string("KO\r\n"));
        QCOMPARE(b.Enviar("F01/01/24", 0), std::string("KO\r\n"));
        QCOMPARE(b.Enviar("I0", 0), std::string("KO\r\n"));
        QCOMPARE(b.Enviar("BBB", 0), std::string("KO\r\n"));

        // Start 10:07:30: first reading at 10:15:00, then 10:30, 10:45.
        b.Pasar(449999);
        QCOMPARE(m.Palabra(5), uint16_t(0xFFFF));
        b.Pasar(1);
        QVERIFY(m.Palabra(5) <= 0x0FFF);
        QCOMPARE(m.Palabra(5), Lectura_Simulada(A_Segundos({15, 3, 24, 10, 15, 0})));
        b.Pasar(1800000);
        QCOMPARE(m.Palabras_Ocupadas(), 8);
        QCOMPARE(m.Palabra(7), Lectura_Simulada(A_Segundos({15, 3, 24, 10, 45, 0})));
        // "RRR" while logging keeps the block under way.
        QCOMPARE(b.Enviar("RRR", 0), std::string("OK\r\n"));
        QCOMPARE(m.Palabras_Ocupadas(), 8);

        // A second campaign is packed right after, at 1 hour, and spans midnight.
        QCOMPARE(b.Enviar("AAA"
                          "H23:30"
                          "I4"
                          "RRR",
                          0),
                 std::string("OK\r\nOK\r\nOK\r\nOK\r\n"));
        QCOMPARE(m.Palabra(8), uint16_t(0xAA55));
        QCOMPARE(m.Palabra(10), uint16_t(4 << 8 | 23));
        b.Pasar(30 * 60000 - 1);
        QCOMPARE(m.Palabras_Ocupadas(), 13);
        b.Pasar(1 + 3600000);  // 00:00 and 01:00 of the next day
        QCOMPARE(m.Palabras_Ocupadas(), 15);
        QCOMPARE(b.s->Fecha_Equipo(b.t).dia, 16);
        QVERIFY(m.Es_Consistente());
    }

    void Registro_Acelerado_Hasta_Llenar() {
        Banco b;
        b.o.acelerar = 1000;
        b.o.intervalo = 0;
        b.o.registro = true;
        b.Crear();
        QVERIFY(b.s->En_Registro());
        b.Pasar(86400000LL * 30 / 1000);  // 30 logger days: more than memory holds
        QCOMPARE(b.s->Memoria().Palabras_Ocupadas(), kPalabras);
        QVERIFY(b.s->Memoria().Es_Consistente());
        QCOMPARE(b.Enviar("L").substr(39, 4), std::string("4096"));
        QCOMPARE(b.Enviar("AAA"
                          "RRR"),
                 std::string("OK\r\nPE\r\n"));
        QCOMPARE(b.Enviar("L").substr(36, 2), std::string("AJ"));
    }

    void Registro_Con_Memoria_Inconsistente() {
        Banco b;
        b.m.Poner(200, 0x0123);  // a word after the free run
        b.Crear();
        QCOMPARE(b.Enviar("RRR", 0), std::string("MI\r\n"));
        QVERIFY(b.s->En_Registro());
        // Readings stop at the foreign word instead of overwriting it.
        b.Pasar(86400000LL * 3);
        QCOMPARE(b.s->Memoria().Palabra(200), uint16_t(0x0123));
        QCOMPARE(b.s->Memoria().Palabras_Ocupadas(), 201);

        Banco c;
        for (int i = 0; i < kPalabras - 15; ++i) c.m.Poner(i, 0x0100);
        c.Crear();
        QCOMPARE(c.Enviar("RRR"), std::string("PE\r\n"));
        QVERIFY(!c.s->En_Registro());
    }

    void Programacion_Valida_Y_Rechazada() {
        Banco b;
        b.Crear();
        const char* malas[] = {"F30/02/24", "F29/02/23", "F00/01/24", "F01/13/24",
                               "F1a/01/24", "F01-01-24", "H24:00",    "H12:60",
                               "H1:234",    "I7",        "Ix"};
        for (const char* c : malas) QCOMPARE(b.Enviar(c), std::string("KO\r\n"));
        QCOMPARE(b.Enviar("F29/02/24"), std::string("OK\r\n"));
        QCOMPARE(b.Enviar("H23:59"), std::string("OK\r\n"));
        QCOMPARE(b.Enviar("L").substr(12, 14), std::string("29/02/24 23:59"));
        b.Pasar(60000);
        QCOMPARE(b.Enviar("L").substr(12, 14), std::string("01/03/24 00:00"));
    }

    void Fallas_Inyectadas() {
        {
            Banco b;
            b.o.mudo_a = {"L"};
            b.o.version = "AQ-TIDE 2.3";
            b.o.responder = {{"RRR", "MI"}, {"BBB", "KO"}};
            b.o.extra = {"U"};
            b.Crear();
            QCOMPARE(b.Enviar("L"), std::string());
            QCOMPARE(b.Enviar("V"), std::string("AQ-TIDE 2.3\r\n"));
            QCOMPARE(b.Enviar("RRR"), std::string("MI\r\n"));
            QVERIFY(!b.s->En_Registro());  // a forced reply does not run the command
            QCOMPARE(b.Enviar("BBB"), std::string("KO\r\n"));
            QCOMPARE(b.Enviar(kU), std::string("OK\r\n#"));
        }
        {
            Banco b;
            b.o.mudo = true;
            b.Crear();
            QCOMPARE(b.Enviar(kU + "V" + "Q"), std::string());
        }
        {
            Banco b;
            b.o.checksum_malo = 1;
            b.o.ruido = 3;
            b.Crear();
            const std::string r = b.Enviar(kU);
            QCOMPARE(r.size(), size_t(7));
            QCOMPARE(r.substr(3), std::string("OK\r\n"));
            const std::string e1 = b.Enviar("L"), e2 = b.Enviar("L");
            QVERIFY(std::stoi(e1.substr(43, 4)) != Suma(e1, 43));
            QCOMPARE(std::stoi(e2.substr(43, 4)), Suma(e2, 43));
        }
        {
            Banco b;
            b.o.corte = 10000;
            b.o.cerrar_en = 500;
            b.Crear();
            b.s->Recibir("DDD", b.t);
            QCOMPARE(b.s->Salida().front().cerrar_tras, size_t(500));
            QCOMPARE(b.Tomar().size(), size_t(10000));
            b.o = Opciones_Simulador();
            b.o.dump_largo = true;
            b.Crear();
            QCOMPARE(b.Enviar("DDD").size(), size_t(20488));
        }
    }

    void Opciones_Y_Respaldo() {
        Opciones_Simulador o;
        std::string error;
        const char* a[] = {"aqtide-sim", "--responder", "rrr=PE", "--mudo-a",
                           "UUUU",       "--alcance",   "20",     "--extra",
                           "F09/09/09",  "--acelerar",  "60"};
        QVERIFY(Analizar_Opciones(11, a, o, error));
        QCOMPARE(o.responder["RRR"], std::string("PE"));
        QVERIFY(o.mudo_a.count("U") && o.extra.count("F"));
        QCOMPARE(o.alcance, 2);
        QCOMPARE(o.acelerar, 60.0);
        const char* malas[][3] = {{"x", "--mudo-a", "Z"},
                                  {"x", "--alcance", "10"},
                                  {"x", "--responder", "RRR"},
                                  {"x", "--intervalo", "7"},
                                  {"x", "--nada", ""}};
        for (auto& m : malas) QVERIFY(!Analizar_Opciones(3, m, o, error));

        QTemporaryDir dir;
        const std::string ruta = (dir.path() + "/POZO.$%c").toStdString();
        FILE* f = std::fopen(ruta.c_str(), "wb");
        std::fputs("AA55 \r\n0001 \r\n0212\r\n2E1B \n0b1a \r\n0FFF \r\n", f);
        for (int i = 6; i < kPalabras; ++i) std::fputs("FFFF \r\n", f);
        std::fputs("1234 \r\n\r\n", f);  // checksum word and closing characters: ignored
        std::fclose(f);
        Memoria_Logger m;
        error.clear();
        QVERIFY(m.Cargar_Respaldo(ruta, error));
        QVERIFY(error.empty());
        QCOMPARE(m.Palabra(4), uint16_t(0x0B1A));
        QCOMPARE(m.Palabras_Ocupadas(), 6);
        QVERIFY(m.Es_Consistente());

        f = std::fopen(ruta.c_str(), "wb");
        std::fputs("AA55 \r\n***** \r\n", f);
        std::fclose(f);
        QVERIFY(!m.Cargar_Respaldo(ruta, error));
        QCOMPARE(m.Palabra(4), uint16_t(0x0B1A));  // a rejected file changes nothing
    }
};

QTEST_GUILESS_MAIN(Tst_Sim_Protocolo)
#include "tst_sim_protocolo.moc"
