#include <QtTest>
#include <set>

#include "core/fecha_equipo.h"
#include "hidrografia/escalas.h"
#include "hidrografia/serie_grafica.h"

using namespace aq;

namespace {

qint64 Minuto(const char* iso) {
    return Minuto_De_Momento(QDateTime::fromString(QString::fromLatin1(iso), Qt::ISODate));
}

const QStringList Meses = {"ene", "feb", "mar", "abr", "may", "jun",
                           "jul", "ago", "sep", "oct", "nov", "dic"};

// The time a label names, read as a user reads it: a time of day after the last date shown
// (or the view's first day).
qint64 Leido(const QString& texto, QDate* contexto) {
    const QDate fecha = QDate::fromString(texto, "dd/MM/yyyy");
    if (fecha.isValid()) {
        *contexto = fecha;
        return Minuto_De_Momento(QDateTime(fecha, QTime(0, 0), Qt::UTC));
    }
    const QTime hora = QTime::fromString(texto, "HH:mm");
    if (hora.isValid()) return Minuto_De_Momento(QDateTime(*contexto, hora, Qt::UTC));
    const QStringList partes = texto.split(' ');
    if (partes.size() == 2 && Meses.contains(partes[0]))
        return Minuto_De_Momento(QDateTime(
            QDate(partes[1].toInt(), int(Meses.indexOf(partes[0])) + 1, 1), QTime(0, 0), Qt::UTC));
    if (texto.size() == 4)
        return Minuto_De_Momento(QDateTime(QDate(texto.toInt(), 1, 1), QTime(0, 0), Qt::UTC));
    return -1;
}

// Months since year 0 of a first of month at midnight; -1 for any other time.
qint64 Mes(qint64 minuto) {
    const QDateTime m = Momento_De_Minuto(minuto);
    if (m.date().day() != 1 || m.time() != QTime(0, 0)) return -1;
    return m.date().year() * 12 + m.date().month() - 1;
}

}  // namespace

class Tst_Escalas : public QObject {
    Q_OBJECT
  private Q_SLOTS:
    void marcas_de_tiempo_data() {
        QTest::addColumn<QString>("desde");
        QTest::addColumn<double>("horas");
        QTest::addColumn<int>("maximo");
        QTest::newRow("una hora") << "2002-03-15T10:07" << 1.0 << 8;
        QTest::newRow("una hora, estrecha") << "2002-03-15T10:07" << 1.0 << 2;
        QTest::newRow("cruza medianoche") << "2002-03-15T21:50" << 5.0 << 8;
        QTest::newRow("un dia") << "2002-03-15T10:15" << 24.0 << 8;
        QTest::newRow("tres dias") << "2002-03-01T00:00" << 72.0 << 8;
        QTest::newRow("diez dias, fin de mes") << "2002-02-25T10:00" << 240.0 << 10;
        QTest::newRow("un mes") << "2002-03-11T00:00" << 31 * 24.0 << 8;
        QTest::newRow("bisiesto y siglo") << "1999-12-20T00:00" << 90 * 24.0 << 6;
        QTest::newRow("medio anio") << "2002-03-15T10:15" << 183 * 24.0 << 8;
        QTest::newRow("dos anios") << "2002-03-15T10:15" << 730 * 24.0 << 12;
        QTest::newRow("diez anios") << "1995-06-01T00:00" << 3653 * 24.0 << 8;
        QTest::newRow("diez anios, estrecha") << "1995-06-01T00:00" << 3653 * 24.0 << 3;
    }
    // Ticks on calendar boundaries, evenly spaced, within the limit; each label names its own
    // time and none repeats; minor ticks fall between.
    void marcas_de_tiempo() {
        QFETCH(QString, desde);
        QFETCH(double, horas);
        QFETCH(int, maximo);
        const double a = double(Minuto(desde.toLatin1())) + 0.5, b = a + horas * 60;
        const Marcas_Tiempo m = Calcular_Marcas_Tiempo(a, b, maximo);
        QVERIFY2(m.mayores.size() >= 2 && m.mayores.size() <= size_t(maximo),
                 qPrintable(QString::number(m.mayores.size())));
        QDate contexto = Momento_De_Minuto(qint64(a)).date();
        QStringList textos;
        for (size_t i = 0; i < m.mayores.size(); ++i) {
            const Marca_Tiempo& t = m.mayores[i];
            QVERIFY(t.minuto >= a && t.minuto <= b);
            QCOMPARE(Leido(t.texto, &contexto), t.minuto);
            if (i) QVERIFY(textos.last() != t.texto);
            textos << t.texto;
        }
        // Even steps: of minutes, or of whole months.
        std::set<qint64> pasos, meses;
        for (size_t i = 1; i < m.mayores.size(); ++i) {
            pasos.insert(m.mayores[i].minuto - m.mayores[i - 1].minuto);
            meses.insert(Mes(m.mayores[i].minuto) - Mes(m.mayores[i - 1].minuto));
        }
        QVERIFY2(pasos.size() == 1 || (meses.size() == 1 && Mes(m.mayores[0].minuto) >= 0),
                 qPrintable(textos.join(", ")));
        // No boundary of that step is missing at either end.
        const qint64 paso = *pasos.begin();
        if (pasos.size() == 1) {
            QVERIFY(m.mayores.front().minuto - paso < a);
            QVERIFY(m.mayores.back().minuto + paso > b);
        }
        for (size_t i = 0; i < m.menores.size(); ++i) {
            QVERIFY(m.menores[i] >= a && m.menores[i] <= b);
            if (i) QVERIFY(m.menores[i] > m.menores[i - 1]);
            for (const Marca_Tiempo& t : m.mayores) QVERIFY(t.minuto != m.menores[i]);
        }
    }

    void textos_de_marcas() {
        auto textos = [](const char* desde, double horas, int maximo) {
            QStringList t;
            const double a = double(Minuto(desde));
            for (const Marca_Tiempo& m : Calcular_Marcas_Tiempo(a, a + horas * 60, maximo).mayores)
                t << m.texto;
            return t.join(", ");
        };
        QCOMPARE(textos("2002-03-15T18:00", 12, 5),
                 QString("18:00, 21:00, 16/03/2002, 03:00, 06:00"));
        QCOMPARE(textos("2002-03-01T00:00", 24 * 7, 8),
                 QString("01/03/2002, 02/03/2002, 03/03/2002, 04/03/2002, 05/03/2002, "
                         "06/03/2002, 07/03/2002, 08/03/2002"));
        QCOMPARE(textos("2001-11-20T00:00", 24 * 100, 4), QString("dic 2001, ene 2002, feb 2002"));
        QCOMPARE(textos("1998-01-01T00:00", 24 * 365 * 4, 4), QString("1998, 1999, 2000, 2001"));
    }

    void paso_de_valores_data() {
        QTest::addColumn<double>("lapso");
        QTest::addColumn<int>("partes");
        QTest::addColumn<double>("paso");
        QTest::addColumn<int>("decimales");
        QTest::newRow("milimetros") << 6640.0 << 10 << 1000.0 << 0;
        QTest::newRow("dos") << 130.0 << 8 << 20.0 << 0;
        QTest::newRow("cinco") << 36.0 << 8 << 5.0 << 0;
        QTest::newRow("metros") << 0.9 << 6 << 0.2 << 1;
        QTest::newRow("centimetros") << 0.04 << 8 << 0.005 << 3;
    }
    void paso_de_valores() {
        QFETCH(double, lapso);
        QFETCH(int, partes);
        QFETCH(double, paso);
        QFETCH(int, decimales);
        QCOMPARE(Paso_Redondo(lapso, partes), paso);
        QCOMPARE(Decimales_Paso(paso), decimales);
    }

    // Per pixel column the lowest and highest reading, so no peak disappears from the screen;
    // the view's ends reach one reading beyond.
    void diezmado() {
        Tramo_Grafico t;
        for (int k = 0; k < 100000; ++k) t.puntos.push_back({k * 15.0, double((k * 37) % 1000)});
        t.puntos[54321].valor = 5000;
        t.puntos[76543].valor = -3;
        std::vector<Punto_Grafico> p;
        Diezmar_Tramo(t, 0, 15 * 99999, 800, &p);
        QVERIFY(p.size() <= 2 * 800 + 4 && p.size() >= 800);
        double menor = 1e9, mayor = -1e9;
        for (size_t k = 0; k < p.size(); ++k) {
            menor = std::min(menor, p[k].valor);
            mayor = std::max(mayor, p[k].valor);
            if (k) QVERIFY(p[k].minuto > p[k - 1].minuto);
        }
        QCOMPARE(mayor, 5000.0);
        QCOMPARE(menor, -3.0);
        Diezmar_Tramo(t, 15 * 100 + 1, 15 * 105 - 1, 800, &p);
        QCOMPARE(p.size(), size_t(6));
        QCOMPARE(p.front().minuto, 1500.0);
        QCOMPARE(p.back().minuto, 15 * 105.0);
    }

    void tramos() {
        std::vector<Punto_Grafico> p;
        for (double m : {0.0, 240.0, 481.0, 723.0, 724.0}) p.push_back({m, 1});
        const std::vector<Tramo_Grafico> t = Partir_En_Tramos(p, 241);
        QCOMPARE(t.size(), size_t(2));
        QCOMPARE(t[0].puntos.size(), size_t(3));
        QCOMPARE(t[1].puntos.front().minuto, 723.0);
        QVERIFY(Partir_En_Tramos({}, 241).empty());
    }
};

QTEST_MAIN(Tst_Escalas)
#include "tst_escalas.moc"
