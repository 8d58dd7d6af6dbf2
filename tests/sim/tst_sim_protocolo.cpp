// Logger behaviour on the line, driven by hand-set monotonic time (no device, no waits).
#include <QtTest>

#include <memory>
#include <string>
#include <tuple>
#include <vector>

#include "memoria_logger.h"
#include "opciones.h"
#include "simulador.h"

using namespace aq::sim;

namespace {

const Fecha_Hora kInicio{15, 3, 24, 10, 7, 30};  // 15/03/24 10:07:30
const std::string kU(32, 'U');

struct Banco {
    Opciones_Simulador o;
    std::string error;  // of the command-line options, when refused
    Memoria_Logger m;
    std::unique_ptr<Simulador_Logger> s;  // made at the first exchange, from `o` and `m`
    int64_t t = 1000;

    explicit Banco(std::vector<const char*> a = {}) {
        a.insert(a.begin(), "aqtide-sim");
        Analizar_Opciones(static_cast<int>(a.size()), a.data(), o, error);
    }
    // Sends `c` at `t`, lets `despues_ms` pass and returns every reply queued by then.
    std::string Enviar(const std::string& c, int64_t despues_ms = 150) {
        if (!s) s = std::make_unique<Simulador_Logger>(o, m, kInicio, t);
        s->Recibir(c, t);
        s->Avanzar(t += despues_ms);
        std::string r;
        for (auto& e : s->Salida()) r += e.texto;
        s->Salida().clear();
        return r;
    }
};

int Suma(const std::string& t, size_t n) {
    int s = 0;
    for (size_t i = 0; i < n; ++i) s += static_cast<unsigned char>(t[i]);
    return s;
}

}  // namespace

class Tst_Sim_Protocolo : public QObject {
    Q_OBJECT
  private Q_SLOTS:
    void Tramas_Y_Programacion() {
        Banco b;
        // Commands back to back, the first split over two reads within the silence allowance,
        // answered in order; a garbled one is dropped only once the line falls silent.
        b.Enviar(kU.substr(0, 20), 90);
        QCOMPARE(b.Enviar(kU.substr(20) + "VAAAH09:05" + "AAB", 99),
                 std::string("OK\r\nAQ-TIDE 1.0\r\nOK\r\nOK\r\n"));
        QCOMPARE(b.Enviar("", 1), std::string("??\r\n"));

        const char* casos[][2] = {{"F29/02/23", "KO"}, {"H24:00", "KO"}, {"I7", "KO"},
                                  {"F29/02/24", "OK"}, {"H23:59", "OK"}, {"I6", "OK"}};
        for (auto& c : casos) QCOMPARE(b.Enviar(c[0]), std::string(c[1]) + "\r\n");
        b.Enviar("", 60000);
        QCOMPARE(b.Enviar("L").substr(12, 23), std::string("01/03/24 00:00 4 hrs.  "));
    }

    void Estado_Y_Volcado() {
        Banco b({"--equipo", "7", "--alcance", "20", "--intervalo", "5", "--checksum-malo", "1"});
        b.m.Precargar(A_Segundos(kInicio), 0, 1);
        const int usadas = b.m.Palabras_Ocupadas();
        const std::string malo = b.Enviar("L"), e = b.Enviar("L");
        QVERIFY(std::stoi(malo.substr(43, 4)) != Suma(malo, 43));
        // The battery field (7, 4) is not compared.
        QCOMPARE(e, QString::asprintf("007 20 %.4s 15/03/24 10:07 2 hrs.   AJ %04d%04d\r\n",
                                      e.c_str() + 7, usadas, Suma(e, 43))
                        .toStdString());

        const std::string d = b.Enviar("DDD");
        QCOMPARE(d.substr(5 * usadas - 5, 10),
                 QString::asprintf("%04X FFFF ", b.m.Palabra(usadas - 1)).toStdString());
        QCOMPARE(d.substr(20480),
                 QString::asprintf("%04d \r\n", Suma(d, 20480) % 65536 % 10000).toStdString());
    }

    void Registro_Crea_Bloque_Y_Sigue_La_Grilla() {
        Banco b({"--equipo", "12", "--alcance", "8"});  // every 15 minutes, by default
        QCOMPARE(b.Enviar("RRR", 0), std::string("OK\r\n"));
        const uint16_t cabecera[] = {0xAA55, 1 << 8 | 12, 2 << 8 | 10, 7 << 8 | 15, 3 << 8 | 24};
        for (int i = 0; i < 5; ++i) QCOMPARE(b.s->Memoria().Palabra(i), cabecera[i]);
        // Start 10:07:30: first reading at 10:15:00, then 10:30, 10:45.
        b.Enviar("", 449999);
        QCOMPARE(b.s->Memoria().Palabra(5), uint16_t(0xFFFF));
        b.Enviar("", 1 + 1800000);
        // "RRR" while logging: the block under way goes on, no new header.
        QCOMPARE(b.Enviar("RRR", 0), std::string("OK\r\n"));
        QCOMPARE(b.s->Memoria().Palabras_Ocupadas(), 5 + 3);
    }

    // Each fault as given on the command line, on an empty memory: reply length and ending.
    void Fallas_Inyectadas() {
        const std::tuple<std::vector<const char*>, std::string, size_t, std::string> casos[] = {
            {{"--mudo-a", "l"}, "L", 0, ""},
            {{"--version", "AQ-TIDE 2.3"}, "V", 13, "AQ-TIDE 2.3\r\n"},
            {{"--responder", "rrr=MI"}, "RRR", 4, "MI\r\n"},
            {{"--extra", "U"}, kU, 5, "OK\r\n#"},
            {{"--ruido", "3"}, kU, 7, "OK\r\n"},
            {{"--corte", "10000"}, "DDD", 10000, "FFFF "},
            {{"--dump-largo"}, "DDD", 20488, "2768 \r\n#"},
            {{"--cerrar-tras", "bbb"}, "BBB", 0, ""}};
        for (const auto& [opciones, comando, largo, fin] : casos) {
            Banco b(opciones);
            QVERIFY2(b.error.empty(), b.error.c_str());
            const std::string r = b.Enviar(comando);
            QCOMPARE(r.size(), largo);
            QCOMPARE(r.substr(r.size() - fin.size()), fin);
            QVERIFY(!b.s->En_Registro());  // a forced reply does not run the command
        }
    }
};

QTEST_GUILESS_MAIN(Tst_Sim_Protocolo)
#include "tst_sim_protocolo.moc"
