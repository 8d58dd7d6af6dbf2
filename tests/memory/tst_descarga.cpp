#include <QtTest>

#include "memory/descarga.h"
#include "tst_descarga_volcado.h"

using namespace aq;

class Tst_Descarga : public QObject {
    Q_OBJECT

  private Q_SLOTS:
    void checksum() {
        auto con_suma = [](int suma) {  // memory characters whose codes add up to `suma`
            QByteArray t(Caracteres_Memoria, '\0');
            for (int i = 0; suma > 0; ++i, suma -= 255) t[i] = static_cast<char>(qMin(suma, 255));
            return t;
        };
        for (int s : {123, 10123, 60123, 65536 + 123})
            QVERIFY2(Checksum_Correcto(con_suma(s), "0123 "), qPrintable(QString::number(s)));
        QVERIFY(!Checksum_Correcto(con_suma(124), "0123 "));
        QVERIFY(Checksum_Correcto(con_suma(5) + "99999\r\n", "  5x3"));  // only the memory counts
    }

    void nombres_y_respaldo_protegido_y_reemplazado() {
        QCOMPARE(Ruta_Respaldo("D:\\DATOS\\POZO3.csv", "/p/BAK"), QString("/p/BAK/POZO3.$%c"));
        QCOMPARE(Ruta_Respaldo("/d/POZO3.txt", "/p/BAK"), QString("/p/BAK/POZO3.$%t"));
        QCOMPARE(Ruta_Respaldo("/d/POZO3.CSV", "/p/BAK"), QString("/p/BAK/POZO3.CSV.$%&"));
        for (const char* n : {"/d/x.exe", "/d/x.Zip", "/d/MiAyuda.txt", "/d/a.COM", "/d/a.arj"})
            QVERIFY2(Es_Nombre_Prohibido(n), n);
        QVERIFY(!Es_Nombre_Prohibido("/d/ayudante.txt") && !Es_Nombre_Prohibido("/d/exe.txt"));

        QTemporaryDir tmp;
        const QString raiz = tmp.path(), ruta = Ruta_Respaldo("/x/POZO3.csv", raiz);
        const QString copia = raiz + "/DUMP.$$$";
        std::vector<QByteArray> imagen(4099);
        Dividir_Volcado(Volcado_De(Bloque_Ejemplo()), imagen);
        QByteArray esperado;  // 4098 records, the last one the dump's closing CR LF
        for (int k = 0; k < 4098; ++k) esperado += imagen[k] + "\r\n";
        QVERIFY(esperado.startsWith("AA55 \r\n0007 \r\n") && esperado.endsWith(" \r\n\r\n\r\n"));
        QVERIFY(!Guardar_Respaldo(imagen, ruta, raiz));
        QCOMPARE(Leer(ruta), esperado);
        QCOMPARE(Leer(copia), esperado);
        QVERIFY(!(QFileInfo(ruta).permissions() & QFileDevice::WriteOwner));

        // Second download: both the read-only backup and a protected copy are replaced.
        QFile::setPermissions(copia, QFileDevice::ReadOwner);
        imagen[5] = "0FFF ";
        QVERIFY(!Guardar_Respaldo(imagen, ruta, raiz));
        QVERIFY(Leer(ruta).contains("0FFF \r\n") && Leer(copia).contains("0FFF \r\n"));
        QVERIFY(!(QFileInfo(ruta).permissions() & QFileDevice::WriteOwner));
    }
};

QTEST_GUILESS_MAIN(Tst_Descarga)
#include "tst_descarga.moc"
