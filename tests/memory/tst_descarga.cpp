#include <QtTest>

#include "dobles/puerto_guionado.h"
#include "memory/descarga.h"
#include "tst_descarga_volcado.h"

using namespace aq;

namespace {

QByteArray Con_Suma(int suma) {
    QByteArray t(Caracteres_Memoria, '\0');
    for (int i = 0; suma > 0; ++i, suma -= 255) t[i] = static_cast<char>(qMin(suma, 255));
    return t;
}

bool Solo_Lectura(const QString& ruta) {
    return !(QFileInfo(ruta).permissions() & QFileDevice::WriteOwner);
}

QByteArray Leer(const QString& ruta) {
    QFile f(ruta);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

}  // namespace

class Tst_Descarga : public QObject {
    Q_OBJECT

  private Q_SLOTS:
    void checksum_y_palabra_recibida() {
        QCOMPARE(Valor_Verificacion(Con_Suma(123)), 123);
        QCOMPARE(Valor_Verificacion(Con_Suma(10123)), 123);
        QCOMPARE(Valor_Verificacion(Con_Suma(60123)), 123);
        QCOMPARE(Valor_Verificacion(Con_Suma(65536 + 7)), 7);
        // only the memory characters count
        QCOMPARE(Valor_Verificacion(Con_Suma(5) + "99999\r\n"), 5);
        QCOMPARE(Valor_Verificacion(QByteArray(Caracteres_Memoria, char(255))),
                 5222400 % 65536 % 10000);
        for (int s : {123, 10123, 60123}) QVERIFY(Checksum_Correcto(Con_Suma(s), "0123 "));
        QVERIFY(!Checksum_Correcto(Con_Suma(124), "0123 "));

        QCOMPARE(Valor_Recibido("  42 "), 42);
        QCOMPARE(Valor_Recibido("12a34"), 12);
        QCOMPARE(Valor_Recibido("*****"), 0);
        QCOMPARE(Valor_Recibido("-0012"), 0);
        QCOMPARE(Valor_Recibido(""), 0);
    }

    void division_y_relleno() {
        std::vector<QByteArray> imagen(4099, "x");
        const QByteArray v = Volcado_De(Bloque_Ejemplo());
        QCOMPARE(v.size(), Largo_Volcado);
        Dividir_Volcado(v, imagen);
        QCOMPARE(imagen[0], QByteArray("AA55 "));
        QCOMPARE(imagen[4095], QByteArray("FFFF "));
        QCOMPARE(imagen[4097], QByteArray("\r\n"));
        QCOMPARE(imagen[4098], QByteArray("x"));  // never written
        QVERIFY(Checksum_Correcto(v, imagen[4096]));

        const QByteArray corto = Completar_Volcado(v.left(10000));
        QCOMPARE(corto.size(), Largo_Volcado);
        QVERIFY(corto.endsWith("*****"));
        Dividir_Volcado(corto + "XYZ", imagen);  // overlong: the last group keeps 5 characters
        QCOMPARE(imagen[4097], QByteArray("**XYZ"));
        QCOMPARE(Completar_Volcado(v + "Z").size(), Largo_Volcado + 1);
    }

    void nombres_elegidos() {
        const QString bak = "/p/BAK";
        QCOMPARE(Ruta_Respaldo("/d/DATOS/POZO3.csv", bak), QString("/p/BAK/POZO3.$%c"));
        QCOMPARE(Ruta_Respaldo("/d/DATOS/POZO3.txt", bak), QString("/p/BAK/POZO3.$%t"));
        QCOMPARE(Ruta_Respaldo("/d/DATOS/POZO3.CSV", bak), QString("/p/BAK/POZO3.CSV.$%&"));
        QCOMPARE(Ruta_Respaldo("D:\\DATOS\\POZO3.csv", bak), QString("/p/BAK/POZO3.$%c"));
        QCOMPARE(Ruta_Respaldo("POZO3", bak), QString("/p/BAK/POZO3.$%&"));
        QCOMPARE(Separador_Para("/d/POZO.CSV"), QByteArray(";"));
        QCOMPARE(Separador_Para("/d/POZO.txt"), QByteArray("\t"));
        QCOMPARE(Separador_Para("/d/POZO"), QByteArray("\t"));

        QVERIFY(Tiene_Dos_Puntos("D:\\MIS.DATOS\\POZO.csv"));
        QVERIFY(Tiene_Dos_Puntos("/d/a.b.csv"));
        QVERIFY(!Tiene_Dos_Puntos("/d/DATOS/POZO.csv"));
        for (const char* n : {"/d/x.exe", "/d/x.Zip", "/d/MiAyuda.txt", "/d/AYUDA.TXT", "/d/a.dll",
                              "/d/a.COM", "/d/a.bat", "/d/a.pif", "/d/a.ovl", "/d/a.arj"})
            QVERIFY2(Es_Nombre_Prohibido(n), n);
        for (const char* n : {"/d/ayudante.txt", "/d/x.csv", "/d/exe.txt", "/d/zip"})
            QVERIFY2(!Es_Nombre_Prohibido(n), n);
    }

    void respaldo_protegido_y_reemplazado() {
        QTemporaryDir tmp;
        const QString bak = tmp.filePath("BAK"), raiz = tmp.path();
        QDir().mkpath(bak);
        std::vector<QByteArray> imagen(4099);
        Dividir_Volcado(Volcado_De(Bloque_Ejemplo()), imagen);
        const QString ruta = Ruta_Respaldo("/x/POZO3.csv", bak);

        QList<int> avance;
        QVERIFY(!Guardar_Respaldo(imagen, ruta, raiz, [&](int k) { avance << k; }));
        QCOMPARE(avance.size(), 4098);
        QCOMPARE(avance.last(), 4097);
        QByteArray esperado;
        for (int k = 0; k < 4098; ++k) esperado += imagen[k] + "\r\n";
        QCOMPARE(Leer(ruta), esperado);
        QVERIFY(esperado.startsWith("AA55 \r\n0007 \r\n"));
        QVERIFY(esperado.endsWith(" \r\n\r\n\r\n"));
        QVERIFY(Solo_Lectura(ruta));
        QCOMPARE(Leer(raiz + "/DUMP.$$$"), esperado);

        // Second download: both the backup and a protected copy are replaced.
        QFile::setPermissions(raiz + "/DUMP.$$$", QFileDevice::ReadOwner);
        imagen[5] = "0FFF ";
        QVERIFY(!Guardar_Respaldo(imagen, ruta, raiz));
        QVERIFY(Leer(ruta).contains("0FFF \r\n"));
        QVERIFY(Leer(raiz + "/DUMP.$$$").contains("0FFF \r\n"));
        QVERIFY(Solo_Lectura(ruta));

        const Falla_Respaldo sin_raiz = Guardar_Respaldo(imagen, ruta, tmp.filePath("NO"));
        QCOMPARE(sin_raiz.tipo, Falla_Archivo::Ruta_Inexistente);
        QCOMPARE(sin_raiz.ruta, tmp.filePath("NO") + "/DUMP.$$$");
    }

    void recepcion_espera_en_el_puerto() {
        const QByteArray v = Volcado_De(Bloque_Ejemplo());
        {  // complete in chunks: ends on the last one, progress climbs
            Reloj_Virtual reloj;
            Puerto_Guionado puerto(reloj);
            puerto.setPortOpen(true);
            const double t0 = reloj.Segundos();
            for (int i = 0; i < 8; ++i) puerto.Entregar(v.mid(i * 2561, 2561), 2.5 * (i + 1));
            QList<int> avance;
            const Recepcion r = Recibir_Volcado(puerto, reloj, [&](int n) { avance << n; });
            QCOMPARE(r.texto, v);
            QVERIFY(!r.Corta());
            QCOMPARE(reloj.Segundos() - t0, 20.0);
            QVERIFY(std::is_sorted(avance.begin(), avance.end()));
            QCOMPARE(avance.last(), Largo_Volcado);
            QVERIFY(QSet<int>(avance.begin(), avance.end()).size() >= 8);
            QVERIFY(reloj.Cesiones() <= 20 / 0.05 + 20);  // sleeps on the port, no spinning
        }
        {  // overlong: never complete, not short
            Reloj_Virtual reloj;
            Puerto_Guionado puerto(reloj);
            puerto.setPortOpen(true);
            const double t0 = reloj.Segundos();
            puerto.Entregar(v + "XYZ", 1);
            const Recepcion r = Recibir_Volcado(puerto, reloj);
            QVERIFY(!r.Corta());
            QCOMPARE(r.texto.size(), Largo_Volcado + 3);
            QVERIFY(reloj.Segundos() - t0 > 45);
        }
        {  // the line goes mid-dump: short at once
            Reloj_Virtual reloj;
            Puerto_Guionado puerto(reloj);
            puerto.setPortOpen(true);
            const double t0 = reloj.Segundos();
            puerto.Entregar(v.left(5000), 1);
            puerto.Entregar(v.mid(5000), 3);
            const Recepcion r = Recibir_Volcado(puerto, reloj, [&](int n) {
                if (n >= 5000) puerto.Desconectar();
            });
            QVERIFY(r.Corta());
            QVERIFY(r.linea_caida);
            QVERIFY(reloj.Segundos() - t0 < 2);
        }
    }
};

QTEST_GUILESS_MAIN(Tst_Descarga)
#include "tst_descarga.moc"
