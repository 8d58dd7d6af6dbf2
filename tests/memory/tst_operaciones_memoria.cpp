#include <QtTest>

#include "dobles/banco_operaciones.h"
#include "dobles/tabla.h"
#include "link/enlace.h"
#include "memory/operacion_borrado.h"
#include "memory/operacion_descarga.h"
#include "tst_descarga_volcado.h"

using namespace aq;

namespace {

const QString Error_005 =
    QString::fromUtf8("Error 005, el lazo de comunicación se ha interrumpido.\n");
const QString Error_006 = QString::fromUtf8("Error 006 hubo un error durante la recepción");

}  // namespace

class Tst_Operaciones_Memoria : public QObject {
    Q_OBJECT

    std::unique_ptr<QTemporaryDir> dir;

    QString En(const QString& nombre) const { return dir->filePath(nombre); }

  private Q_SLOTS:
    void init() {
        dir = std::make_unique<QTemporaryDir>();
        QDir(dir->path()).mkdir("BAK");
        QDir::setCurrent(dir->path());
    }
    void cleanup() { QDir::setCurrent(QDir::tempPath()); }

    void descarga_data() {
        // volcado: what the logger sends after "DDD"; respaldo: backup and DUMP.$$$ written;
        // segundos: from "DDD" to the end of the reception
        Columnas<QByteArray, bool, bool, QStringList, bool, bool, double>(
            {"volcado", "enlace", "carpeta_bak", "avisos", "respaldo", "memoria_leida",
             "segundos"});
        const QByteArray bueno = Volcado_De(Bloque_Ejemplo());
        const QStringList ninguno;
        Fila("completa", bueno, true, true, ninguno, true, true, 0.5);
        Fila("corta", bueno.left(10000), true, true, QStringList{Error_005, Error_006}, true, false,
             45.0);
        Fila("checksum", Volcado_De(Bloque_Ejemplo(), 1), true, true, QStringList{Error_006}, true,
             false, 0.5);
        // The image is whole in memory: the readings are saved, but erasing stays refused.
        Fila("sin carpeta BAK", bueno, true, false, ninguno, false, false, 0.5);
        Fila("sin enlace", bueno, false, true, ninguno, false, false, -1.0);
    }

    void descarga() {
        QFETCH(QByteArray, volcado);
        QFETCH(bool, enlace);
        QFETCH(bool, carpeta_bak);
        QFETCH(bool, respaldo);
        QFETCH(double, segundos);
        Banco_Operaciones b;
        b.estado.Directorio_Raiz = dir->path();
        b.estado.Directorio_Datos = dir->path();
        b.estado.Directorio_Bak = En(carpeta_bak ? "BAK" : "FALTA");
        b.estado.Memoria_Leida = true;
        if (enlace) b.puerto.Responder_Enlace();
        double t_ddd = -1;
        int buffer_ddd = 0;
        b.puerto.al_escribir = [&](const QByteArray& c) {
            if (c != "DDD") return;
            t_ddd = b.reloj.Segundos();
            buffer_ddd = b.puerto.InBufferSize();
            // Paced like the line: half of it at once, the rest a little later.
            b.puerto.Entregar(volcado.left(volcado.size() / 2), 0.2);
            b.puerto.Entregar(volcado.mid(volcado.size() / 2), 0.5);
        };
        QStringList recibidos;
        Seguimiento_Descarga s;
        s.aviso = [&](const QString& t, const QString&) { recibidos << t; };
        double t_fin_recepcion = -1;
        s.etapa = [&](const QString& e) {
            if (e == "Verificando ...") t_fin_recepcion = b.reloj.Segundos();
        };

        const Resultado_Descarga r = Descargar_Memoria(b.ctx, "POZO3.csv", s);
        QCOMPARE(r.enlace, enlace);
        QTEST(recibidos, "avisos");
        QTEST(b.estado.Memoria_Leida, "memoria_leida");
        QCOMPARE(b.puerto.InBufferSize(), 1024);
        QVERIFY(b.puerto.PortOpen());
        QCOMPARE(b.puerto.Comandos().contains("DDD"), enlace);
        if (!enlace) {
            QVERIFY(!QFile::exists(En("BAK/POZO3.$%c")) && Leer(En("POZO3.csv")).isEmpty());
            return;
        }
        QCOMPARE(!r.falla_respaldo, respaldo);
        QCOMPARE(buffer_ddd, 21000);
        QVERIFY2(qAbs(t_fin_recepcion - t_ddd - segundos) < 0.06,
                 qPrintable(QString::number(t_fin_recepcion - t_ddd)));
        // The data file is written in every case; the display file where the backup folder is.
        QVERIFY(Leer(En("POZO3.csv")).contains("Cantidad de bloques de datos:  1\r\n"));
        QCOMPARE(r.visualizacion, b.estado.Directorio_Bak + "/temp.tmp");
        QCOMPARE(Leer(r.visualizacion).contains("\t"), carpeta_bak);
        QCOMPARE(bool(r.falla_visualizacion), !carpeta_bak);
        QVERIFY(!QFile::exists("temp.tmp"));
        if (respaldo) {
            QVERIFY(Leer(En("BAK/POZO3.$%c")).startsWith("AA55 \r\n0007 \r\n"));
            QCOMPARE(Leer(En("DUMP.$$$")), Leer(En("BAK/POZO3.$%c")));
            QVERIFY(!(QFileInfo(En("BAK/POZO3.$%c")).permissions() & QFileDevice::WriteOwner));
        } else {
            QVERIFY(r.falla_respaldo.tipo == Falla_Archivo::Ruta_Inexistente);
            QCOMPARE(Mensaje_Respaldo_Fallido(r.falla_respaldo),
                     QString::fromUtf8("No existe el directorio solicitado.\nCréelo y vuelva a "
                                       "intentar\nNo se pudo guardar el resguardo ") +
                         QDir::toNativeSeparators(En("FALTA/POZO3.$%c")) +
                         QString::fromUtf8(".\nLos datos se guardan igualmente en el archivo "
                                           "elegido;\nno podrá borrar la memoria hasta una "
                                           "lectura con resguardo."));
        }
    }

    // What the download's archive keeps is never replaced by the data file, whatever the name
    // the user chose: the readings are refused there, the archive stays.
    void descarga_sobre_el_archivo_historico() {
        struct Registro_Fijo : Registro_Descarga {
            QStringList archivos;
            void Preparar() override {}
            void Entregar(const std::vector<QByteArray>&, const QString&) override {}
            QString Registrar() override { return {}; }
            QStringList Archivos() const override { return archivos; }
        } registro;
        registro.archivos = {En("ARCHIVO.db")};
        QFile base(En("ARCHIVO.db"));
        QVERIFY(base.open(QIODevice::WriteOnly) && base.write("base") == 4);
        base.close();
        Banco_Operaciones b;
        b.estado.Directorio_Raiz = b.estado.Directorio_Datos = dir->path();
        b.estado.Directorio_Bak = En("BAK");
        b.puerto.Responder_Enlace();
        b.puerto.al_escribir = [&](const QByteArray& c) {
            if (c == "DDD") b.puerto.Entregar(Volcado_De(Bloque_Ejemplo()), 0.2);
        };
        Seguimiento_Descarga s;
        s.registro = &registro;
        const Resultado_Descarga r = Descargar_Memoria(b.ctx, En("ARCHIVO.db"), s);
        QVERIFY(r.falla_datos.tipo == Falla_Archivo::Es_Entrada);
        QCOMPARE(Leer(En("ARCHIVO.db")), QByteArray("base"));
        QVERIFY(Leer(r.visualizacion).contains("Cantidad de bloques"));
    }

    void destino_data() {
        // preparar: "archivo", "solo lectura", "carpeta" or ""
        Columnas<QString, QString, int>({"nombre", "preparar", "fin"});
        const int denegado = int(Fin_Destino::Permiso_Denegado);
        Fila("nuevo", "POZO.csv", "", int(Fin_Destino::Libre));
        Fila("dos puntos", "POZO.v2.csv", "", int(Fin_Destino::Extension_Incorrecta));
        Fila("exe", "datos.Exe", "", denegado);
        Fila("ayuda", "mi_ayuda.txt", "", denegado);
        Fila("existente", "POZO.csv", "archivo", int(Fin_Destino::Existente));
        Fila("solo lectura", "POZO.csv", "solo lectura", denegado);
        Fila("carpeta", "POZO", "carpeta", denegado);
        Fila("dispositivo", "/dev/null", "", denegado);
    }

    void destino() {
        QFETCH(QString, nombre);
        QFETCH(QString, preparar);
        const QString ruta = nombre.startsWith('/') ? nombre : En(nombre);
        if (preparar == "carpeta") QDir().mkdir(ruta);
        if (preparar.contains("archivo") || preparar == "solo lectura") {
            QFile f(ruta);
            QVERIFY(f.open(QIODevice::WriteOnly) && f.write("x") == 1);
        }
        if (preparar == "solo lectura") QFile::setPermissions(ruta, QFileDevice::ReadOwner);
        if (preparar == "solo lectura" && QFileInfo(ruta).isWritable())
            QSKIP("running as a user who writes read-only files");
        QTEST(int(Revisar_Destino(ruta)), "fin");
        if (Revisar_Destino(ruta) == Fin_Destino::Libre) {
            // The trial leaves no empty file that would pass for a download.
            QVERIFY(!Preparar_Destino(ruta) && !QFile::exists(ruta));
            QVERIFY(Preparar_Destino(En("falta/x.csv")).tipo == Falla_Archivo::Ruta_Inexistente);
        }
    }

    void borrado_data() {
        // trozos: the answer to "BBB", 0.3 s apart; espera: seconds from "BBB" to the end, -1
        // when not sent
        Columnas<QByteArray, QList<QByteArray>, int, bool, int, QString, double>(
            {"modo", "trozos", "vacios", "confirma", "fin", "mensaje", "espera"});
        using L = QList<QByteArray>;
        const QByteArray aj = "AJ";
        const QString c = "\nReintente el borrado.\nSi el problema persiste contacte al fabricante";
        const QString registro =
            "El equipo se encuentra en Modo REGISTRO\nPara poder borrar la memoria, deberá:\n   - "
            "pasar a Modo AJUSTE.\n   - volver a Leer la Memoria.\n   - Ejecutar nuevamente el "
            "comando de Borrar la Memoria.\n";
        Fila("borrada en dos trozos", aj, L{"O", "K\r\n"}, 0, true,
             int(Fin_Borrado_Equipo::Borrada),
             "La memoria ha sido borrada y verificada exitosamente.", 0.6);
        Fila("cancelado", aj, L{"OK\r\n"}, 0, false, int(Fin_Borrado_Equipo::Cancelado), "", -1.0);
        Fila("registro", QByteArray("RE"), L{"OK\r\n"}, 0, true,
             int(Fin_Borrado_Equipo::Modo_Registro), registro, -1.0);
        Fila("sin estado", QByteArray(), L{"OK\r\n"}, 0, true,
             int(Fin_Borrado_Equipo::Modo_Registro), registro, -1.0);
        Fila("KO", aj, L{"KO\r\n"}, 0, true, int(Fin_Borrado_Equipo::Fallida),
             "Error 019 (KO), La memoria no pudo ser borrada correctamente." + c, 0.3);
        Fila("??", aj, L{"??\r\n"}, 0, true, int(Fin_Borrado_Equipo::No_Reconocido),
             "Error 020 (\?\?), Comando no reconocido !!!" + c, 0.3);
        Fila("anormal", aj, L{"OK\r\nX"}, 0, true, int(Fin_Borrado_Equipo::Anormal),
             "Error 021 , Respuesta anormal!" + c, 124.88);
        Fila("muda, memoria vacia", aj, L{}, 4096, true, int(Fin_Borrado_Equipo::Sin_Respuesta),
             "Error 022, El equipo no responde, verifique el enlace y reintente el borrado", 2.0);
    }

    void borrado() {
        QFETCH(QByteArray, modo);
        QFETCH(QList<QByteArray>, trozos);
        QFETCH(int, vacios);
        QFETCH(bool, confirma);
        QFETCH(double, espera);
        Banco_Operaciones b;
        b.estado.Memoria_Leida = true;
        b.estado.Lugares_Vacios = static_cast<qint16>(vacios);
        b.puerto.Responder_Enlace();
        if (!modo.isEmpty())
            b.puerto.Responder(
                "L", Bloque_Estado("007", "04", "0123", "15/03/02", "10:07", "15 min  ", modo));
        double t_bbb = -1;
        b.puerto.al_escribir = [&](const QByteArray& c) {
            if (c != "BBB") return;
            t_bbb = b.reloj.Segundos();
            for (int i = 0; i < trozos.size(); ++i) b.puerto.Entregar(trozos[i], 0.3 * (i + 1));
        };
        int ultimo = -1, maximo = -1;
        Seguimiento_Borrado s;
        s.confirmar = [&] { return confirma; };
        s.avance = [&](int v, int m) { ultimo = v, maximo = m; };

        const Resultado_Borrado r = Borrar_Memoria_Equipo(b.ctx, s);
        QTEST(int(r.fin), "fin");
        QTEST(Mensaje_Resultado_Borrado(r.fin), "mensaje");
        if (espera < 0) {
            QVERIFY(!b.puerto.Comandos().contains("BBB"));
            QCOMPARE(b.estado.Memoria_Leida, !confirma);
            if (!confirma) QVERIFY(b.puerto.Comandos().isEmpty());
            return;
        }
        QVERIFY2(qAbs(b.reloj.Segundos() - t_bbb - espera) < 0.06,
                 qPrintable(QString::number(b.reloj.Segundos() - t_bbb)));
        QCOMPARE(maximo, static_cast<int>(r.tiempo_ms) - 1000);
        QCOMPARE(ultimo, r.fin == Fin_Borrado_Equipo::Borrada ? maximo : 0);
        QVERIFY(b.estado.Memoria_Leida);
    }
};

QTEST_GUILESS_MAIN(Tst_Operaciones_Memoria)
#include "tst_operaciones_memoria.moc"
