#include <QtTest>
#include <cmath>

#include "archivo/niveles.h"
#include "archivo/serie.h"
#include "core/fecha_equipo.h"

using namespace aq;

namespace {

constexpr double Nada = std::numeric_limits<double>::quiet_NaN();

qint64 Hora(double horas) {
    return qint64(horas * 60);
}

// Hourly readings 00:00-05:00 of 1000..1500 mm, a gap, then 2000 mm at 20:00 and 21:00.
std::vector<Punto_Serie> Serie_Prueba() {
    std::vector<Punto_Serie> s;
    for (int h = 0; h <= 5; ++h) s.push_back({Hora(h), 1000 + 100 * h});
    s.push_back({Hora(20), 2000});
    s.push_back({Hora(21), 2000});
    return s;
}

using Manuales = QList<QPair<double, double>>;  // hours, depth [m]

}  // namespace

class Tst_Niveles : public QObject {
    Q_OBJECT

  private Q_SLOTS:
    void niveles_data() {
        QTest::addColumn<Manuales>("manuales");
        QTest::addColumn<double>("referencia");  // NaN: none
        QTest::addColumn<QList<bool>>("usadas");
        // Depth to water at the readings of 00:00, 02:00, 05:00 and 20:00.
        QTest::addColumn<QList<double>>("profundidad");

        QTest::newRow("una, en una lectura") << Manuales{{1, 2.0}} << 100.0 << QList<bool>{true}
                                             << QList<double>{2.1, 1.9, 1.6, 1.1};
        QTest::newRow("una, entre dos lecturas")
            << Manuales{{1.5, 2.0}} << 100.0 << QList<bool>{true}
            << QList<double>{2.15, 1.95, 1.65, 1.15};
        QTest::newRow("dos: deriva lineal entre ellas, fija fuera")
            << Manuales{{3, 1.9}, {1, 2.0}} << 100.0 << QList<bool>{true, true}
            << QList<double>{2.1, 1.95, 1.7, 1.2};
        QTest::newRow("a un intervalo de la última lectura")
            << Manuales{{6, 2.0}} << 100.0 << QList<bool>{true}
            << QList<double>{2.5, 2.3, 2.0, 1.5};
        QTest::newRow("en un hueco: guardada, no usada")
            << Manuales{{10, 5.0}, {1, 2.0}} << 100.0 << QList<bool>{false, true}
            << QList<double>{2.1, 1.9, 1.6, 1.1};
        QTest::newRow("solo en un hueco") << Manuales{{6.5, 2.0}} << 100.0 << QList<bool>{false}
                                          << QList<double>{Nada, Nada, Nada, Nada};
        QTest::newRow("sin manuales")
            << Manuales{} << 100.0 << QList<bool>{} << QList<double>{Nada, Nada, Nada, Nada};
        QTest::newRow("sin referencia")
            << Manuales{{1, 2.0}} << Nada << QList<bool>{true} << QList<double>{2.1, 1.9, 1.6, 1.1};
    }
    void niveles() {
        QFETCH(Manuales, manuales);
        QFETCH(double, referencia);
        QFETCH(QList<bool>, usadas);
        QFETCH(QList<double>, profundidad);
        std::vector<Lectura_Manual> m;
        for (const auto& [horas, metros] : manuales) m.push_back({Hora(horas), metros, {}});
        const std::vector<Punto_Serie> serie = Serie_Prueba();
        const Niveles n = Calcular_Niveles(
            serie, m, std::isnan(referencia) ? std::nullopt : std::optional<double>(referencia));
        QCOMPARE(n.manual_usada, std::vector<bool>(usadas.begin(), usadas.end()));
        QCOMPARE(n.profundidad_m.size(), serie.size());
        QCOMPARE(n.cota_m.size(), serie.size());
        const int indices[] = {0, 2, 5, 6};
        for (int k = 0; k < 4; ++k) {
            const double p = n.profundidad_m[size_t(indices[k])];
            const double c = n.cota_m[size_t(indices[k])];
            QCOMPARE(std::isnan(p), std::isnan(profundidad[k]));
            QCOMPARE(std::isnan(c), std::isnan(profundidad[k]) || std::isnan(referencia));
            if (!std::isnan(p))
                QVERIFY2(std::abs(p - profundidad[k]) < 1e-9, qPrintable(QString::number(p)));
            if (!std::isnan(c)) QVERIFY(std::abs(c - (referencia - profundidad[k])) < 1e-9);
        }
    }

    void diarias_data() {
        QTest::addColumn<QDateTime>("desde");
        QTest::addColumn<int>("paso");  // minutes
        QTest::addColumn<QList<int>>("valores");
        QTest::addColumn<QStringList>("dias");  // "fecha lecturas mínimo media máximo"

        const auto utc = [](int a, int m, int d, int h) {
            return QDateTime(QDate(a, m, d), QTime(h, 0), Qt::UTC);
        };
        QTest::newRow("medianoche") << utc(2002, 3, 10, 22) << 60 << QList<int>{5, 8, 1, 2, 4}
                                    << QStringList{"2002-03-10 2 5 6.5 8", "2002-03-11 3 1 2.33 4"};
        QTest::newRow("fin de febrero bisiesto")
            << utc(2004, 2, 28, 23) << 60 << QList<int>{10, 20, 30}
            << QStringList{"2004-02-28 1 10 10 10", "2004-02-29 2 20 25 30"};
        QTest::newRow("fin de mes, dos días")
            << utc(2002, 4, 30, 12) << 720 << QList<int>{7, 9, 11}
            << QStringList{"2002-04-30 1 7 7 7", "2002-05-01 2 9 10 11"};
        QTest::newRow("cambio de siglo")
            << utc(1999, 12, 31, 23) << 30 << QList<int>{3, 4, 6, 9}
            << QStringList{"1999-12-31 2 3 3.5 4", "2000-01-01 2 6 7.5 9"};
        QTest::newRow("un día sin lecturas se omite")
            << utc(1989, 2, 6, 12) << 2160 << QList<int>{1, 2}
            << QStringList{"1989-02-06 1 1 1 1", "1989-02-08 1 2 2 2"};
    }
    void diarias() {
        QFETCH(QDateTime, desde);
        QFETCH(int, paso);
        QFETCH(QList<int>, valores);
        QFETCH(QStringList, dias);
        std::vector<Punto_Serie> serie;
        for (int k = 0; k < valores.size(); ++k)
            serie.push_back({Minuto_De_Momento(desde) + qint64(k) * paso, valores[k]});
        QStringList obtenidos;
        for (const Dia_Serie& d : Estadisticas_Diarias(serie))
            obtenidos << QStringLiteral("%1 %2 %3 %4 %5")
                             .arg(d.fecha.toString(Qt::ISODate))
                             .arg(d.lecturas)
                             .arg(d.minimo)
                             .arg(d.media, 0, 'g', 3)
                             .arg(d.maximo);
        QCOMPARE(obtenidos, dias);
    }

    // The days shown are cut from levels worked out on the whole series: a visit before them
    // still sets the sensor's depth.
    void dias_elegidos_de_la_serie_entera() {
        std::vector<Punto_Serie> serie;
        for (int h = 0; h < 30; ++h) serie.push_back({Hora(h), 1000 + 10 * h});
        const std::vector<Lectura_Manual> m = {{Hora(1), 2.0, {}}};
        const QDate dia2(2000, 1, 2);
        const Serie_Grafica s =
            Serie_De_Archivo(serie, Magnitud::Profundidad, m, 100.0, "Pozo", dia2, dia2);
        QCOMPARE(s.tramos.size(), size_t(1));
        const std::vector<Punto_Grafico>& p = s.tramos[0].puntos;
        QCOMPARE(p.size(), size_t(6));  // 24:00 to 29:00
        QCOMPARE(p.front().minuto, double(Hora(24)));
        QVERIFY(std::abs(p.front().valor - (2.0 + 1.010 - 1.240)) < 1e-9);
        QVERIFY(s.marcas.empty());  // the visit lies outside the days shown
        QCOMPARE(s.resumen, QString("6 lecturas."));
    }
};

QTEST_APPLESS_MAIN(Tst_Niveles)
#include "tst_niveles.moc"
