// The station archive on SQLite: importing full backups, exporting one station, and the
// window's series for that station. Argument: number of backups; 1000 (about 4 million
// readings, a quarter of them for the station that is exported and drawn) is the case the
// targets name; `make bench` runs 100 and scales the targets. Import and export are also timed
// beside their physical anchor, plain sqlite3 C calls doing the same work in the same run,
// interleaved with the program's so that a loaded machine stretches both alike.
#include <sqlite3.h>

#include <QApplication>
#include <QChartView>
#include <QDir>
#include <QElapsedTimer>
#include <QSaveFile>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <ctime>

#include "../tests/archivo/respaldos_prueba.h"
#include "archivo/archivo_historico.h"
#include "archivo/niveles.h"
#include "archivo/ui/archivo_ventana.h"
#include "dobles/fondo_falso.h"

namespace {

constexpr int Lecturas_Por_Respaldo = 4096 - 5;
constexpr int Estaciones = 4;

// Backup k: station k % 4, its (k / 4)-th full memory of 5-minute readings, times following
// on from the previous one of the same station.
QByteArray Respaldo(int k) {
    const int equipo = 10 + k % Estaciones;
    const qint64 minutos = qint64(k / Estaciones) * Lecturas_Por_Respaldo * 5;
    const QDateTime inicio = QDateTime(QDate(2000, 1, 1), QTime(0, 0)).addSecs(minutos * 60 - 300);
    QList<int> valores;
    valores.reserve(Lecturas_Por_Respaldo);
    for (int i = 0; i < Lecturas_Por_Respaldo; ++i) valores << (i * 7 + k) % 4096;
    const QDate d = inicio.date();
    return aq::Respaldo_Prueba(aq::Bloque_Prueba(0, equipo, 0, d.day(), d.month(), d.year() % 100,
                                                 inicio.time().hour(), inicio.time().minute(),
                                                 valores));
}

// Wall time decides; processor time is shown beside it, as a loaded machine stretches the
// first and not the second.
void Informe(const char* que, double peor, double cpu, double objetivo) {
    std::printf("%-26s peor %8.3f s (CPU %7.3f s)   objetivo %7.3f s   %s\n", que, peor, cpu,
                objetivo, peor <= objetivo ? "cumplido" : "NO CUMPLIDO");
}

double Cpu() {
    return double(std::clock()) / CLOCKS_PER_SEC;
}

void Informe_Ancla(const char* que, double programa, double ancla, double objetivo) {
    const double razon = programa / std::max(1e-9, ancla);
    std::printf("%-26s %8.3f s, sqlite3 solo %8.3f s: %.2fx   objetivo %.2fx   %s\n", que, programa,
                ancla, razon, objetivo, razon <= objetivo ? "cumplido" : "NO CUMPLIDO");
}

// The anchor: a second database with the archive's table of readings, its unique index and
// the archive's settings, written with one prepared INSERT, one transaction per backup.
struct Ancla {
    sqlite3* db = nullptr;
    sqlite3_stmt* insertar = nullptr;
    sqlite3_stmt* leer = nullptr;

    bool Abrir(const QString& ruta, const QString& archivo) {
        const char* esquema =
            "PRAGMA journal_mode=WAL; PRAGMA synchronous=NORMAL;"
            "CREATE TABLE lecturas (equipo INTEGER NOT NULL, minuto INTEGER NOT NULL, "
            "valor INTEGER NOT NULL, alcance INTEGER NOT NULL, bloque INTEGER NOT NULL, "
            "descarga INTEGER NOT NULL, UNIQUE (equipo, minuto, valor))";
        return sqlite3_open(ruta.toUtf8().constData(), &db) == SQLITE_OK &&
               sqlite3_exec(db, esquema, nullptr, nullptr, nullptr) == SQLITE_OK &&
               sqlite3_prepare_v2(db, "INSERT INTO lecturas VALUES (?,?,?,?,?,?)", -1, &insertar,
                                  nullptr) == SQLITE_OK &&
               sqlite3_exec(db, ("ATTACH '" + archivo.toUtf8() + "' AS programa").constData(),
                            nullptr, nullptr, nullptr) == SQLITE_OK &&
               sqlite3_prepare_v2(db,
                                  "SELECT equipo, minuto, valor, alcance, bloque, descarga, rowid "
                                  "FROM programa.lecturas WHERE rowid > ? ORDER BY rowid",
                                  -1, &leer, nullptr) == SQLITE_OK;
    }
    ~Ancla() {
        sqlite3_finalize(insertar);
        sqlite3_finalize(leer);
        sqlite3_close(db);
    }
    sqlite3_int64 leidas = 0;
    // The rows the program stored since the last call.
    std::vector<sqlite3_int64> Filas() {
        std::vector<sqlite3_int64> filas;
        sqlite3_bind_int64(leer, 1, leidas);
        while (sqlite3_step(leer) == SQLITE_ROW) {
            for (int c = 0; c < 6; ++c) filas.push_back(sqlite3_column_int64(leer, c));
            leidas = sqlite3_column_int64(leer, 6);
        }
        sqlite3_reset(leer);
        return filas;
    }
    bool Insertar(const std::vector<sqlite3_int64>& filas) {
        bool bien = sqlite3_exec(db, "BEGIN IMMEDIATE", nullptr, nullptr, nullptr) == SQLITE_OK;
        for (size_t i = 0; bien && i < filas.size(); i += 6) {
            for (int c = 0; c < 6; ++c) sqlite3_bind_int64(insertar, c + 1, filas[i + size_t(c)]);
            bien = sqlite3_step(insertar) == SQLITE_DONE;
            sqlite3_reset(insertar);
        }
        return bien && sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr) == SQLITE_OK;
    }
    // The station's rows, in the export's order, one line each, to a file that is on disk when
    // this returns, as the program's exports are.
    bool Exportar(int equipo, const QString& ruta) {
        sqlite3_stmt* q = nullptr;
        if (sqlite3_prepare_v2(db,
                               "SELECT minuto, valor, alcance FROM programa.lecturas WHERE "
                               "equipo = ? ORDER BY minuto, valor",
                               -1, &q, nullptr) != SQLITE_OK)
            return false;
        sqlite3_bind_int(q, 1, equipo);
        QSaveFile f(ruta);
        bool bien = f.open(QIODevice::WriteOnly | QIODevice::Unbuffered);
        QByteArray texto;
        texto.reserve(1 << 21);
        char linea[64];
        while (bien && sqlite3_step(q) == SQLITE_ROW) {
            const int n =
                std::snprintf(linea, sizeof linea, "%lld;%d;%d\r\n", sqlite3_column_int64(q, 0),
                              sqlite3_column_int(q, 1), sqlite3_column_int(q, 2));
            texto.append(linea, n);
            if (texto.size() > (1 << 20)) {
                bien = f.write(texto) == texto.size();
                texto.resize(0);
            }
        }
        sqlite3_finalize(q);
        return bien && f.write(texto) == texto.size() && f.commit();
    }
};

}  // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const int cantidad = std::max(Estaciones, argc > 1 ? QByteArray(argv[1]).toInt() : 100);
    const double escala = cantidad / 1000.0;  // targets are for 1000 backups

    QTemporaryDir tmp;
    QStringList rutas;
    for (int k = 0; k < cantidad; ++k) {
        rutas << tmp.filePath(QStringLiteral("R%1.$%c").arg(k, 5, 10, QChar('0')));
        if (!aq::Escribir_Prueba(rutas.back(), Respaldo(k))) {
            std::fputs("no se pudo escribir un resguardo\n", stderr);
            return 1;
        }
    }

    aq::Archivo_Historico archivo;
    aq::Destino_Archivo destino;
    destino.ruta = tmp.filePath(QStringLiteral("ARCHIVO.db"));
    if (!archivo.Abrir(destino)) return 1;
    Ancla ancla;
    if (!ancla.Abrir(tmp.filePath(QStringLiteral("ANCLA.db")), destino.ruta)) {
        std::fprintf(stderr, "sqlite3: %s\n", sqlite3_errmsg(ancla.db));
        return 1;
    }
    QElapsedTimer t;
    double importacion = 0, cpu_importacion = 0, importacion_ancla = 0;
    double peor_uno = 0;
    qint64 lecturas = 0;
    for (const QString& ruta : rutas) {
        t.restart();
        double cpu = Cpu();
        const aq::Resultado_Archivo r = aq::Importar_Respaldo(archivo, ruta);
        if (!r) {
            std::fprintf(stderr, "%s: %s\n", qPrintable(ruta), qPrintable(aq::Mensaje_Archivo(r)));
            return 1;
        }
        const double uno = t.nsecsElapsed() / 1e9;
        importacion += uno;
        cpu_importacion += Cpu() - cpu;
        lecturas += r.nuevas;
        peor_uno = std::max(peor_uno, uno);

        const std::vector<sqlite3_int64> filas = ancla.Filas();
        if (filas.size() != size_t(r.nuevas) * 6) return 1;
        t.restart();
        if (!ancla.Insertar(filas)) return 1;
        importacion_ancla += t.nsecsElapsed() / 1e9;
    }
    std::printf("%d resguardos, %lld lecturas importadas en %.2f s (peor resguardo %.1f ms)\n",
                cantidad, lecturas, importacion, peor_uno * 1000);
    Informe("importar (todos)", importacion, cpu_importacion, 60.0 * escala);
    Informe_Ancla("importar, ante sqlite3", importacion, importacion_ancla, 1.3);

    const int equipo = 10;
    const qint64 de_uno = qint64((cantidad + Estaciones - 1) / Estaciones) * Lecturas_Por_Respaldo;
    double peor = 0, peor_cpu = 0, exportacion = 0, exportacion_ancla = 0;
    for (int r = 0; r < 3; ++r) {
        t.restart();
        const double cpu = Cpu();
        const aq::Resultado_Archivo e =
            archivo.Exportar(equipo, QDate(), QDate(), tmp.filePath("serie.csv"), false);
        if (!e || e.lecturas != de_uno) return 1;
        const double una = t.nsecsElapsed() / 1e9;
        exportacion += una;
        peor = std::max(peor, una);
        peor_cpu = std::max(peor_cpu, Cpu() - cpu);
        t.restart();
        if (!ancla.Exportar(equipo, tmp.filePath("ancla.csv"))) return 1;
        exportacion_ancla += t.nsecsElapsed() / 1e9;
    }
    std::printf("exportación: %lld lecturas del equipo %d\n", de_uno, equipo);
    if (de_uno < 1000000)
        std::printf("(objetivos en proporción: 60 s por 1000 resguardos, 2 s y 1 s por millón)\n");
    Informe("exportar una estación", peor, peor_cpu, 2.0 * de_uno / 1e6);
    Informe_Ancla("exportar, ante sqlite3", exportacion / 3, exportacion_ancla / 3, 1.3);

    // Levels: two manual readings and a reference, the whole station computed and exported.
    {
        const std::vector<aq::Punto_Serie> serie = archivo.Serie(equipo);
        archivo.Fijar_Referencia(equipo, 512.25);
        archivo.Guardar_Manual(equipo, {serie[serie.size() / 4].minuto, 3.5, QString()});
        archivo.Guardar_Manual(equipo, {serie[serie.size() * 3 / 4].minuto, 3.6, QString()});
        peor = peor_cpu = 0;
        for (int r = 0; r < 3; ++r) {
            t.restart();
            const double cpu = Cpu();
            const aq::Niveles n = aq::Calcular_Niveles(serie, archivo.Manuales(equipo), 512.25);
            const double calculo = t.nsecsElapsed() / 1e9;
            if (n.profundidad_m.size() != serie.size()) return 1;
            const aq::Resultado_Archivo e =
                archivo.Exportar(equipo, QDate(), QDate(), tmp.filePath("niveles.csv"), false,
                                 aq::Forma_Exportacion::Niveles);
            if (!e || e.lecturas != de_uno) return 1;
            peor = std::max(peor, t.nsecsElapsed() / 1e9);
            peor_cpu = std::max(peor_cpu, Cpu() - cpu);
            if (r == 0)
                std::printf("niveles: cálculo de %zu lecturas %.3f s\n", serie.size(), calculo);
        }
        Informe("niveles: calcular+exportar", peor, peor_cpu, 1.0 * de_uno / 1e6);
    }

    aq::Banco b;
    b.estado.Directorio_Raiz = tmp.path();
    aq::Archivo_Ventana w(b.ctx);
    w.resize(1200, 800);
    w.show();
    peor = peor_cpu = 0;
    for (int r = 0; r < 3; ++r) {
        w.Tabla_Estaciones->clearSelection();
        w.Tabla_Estaciones->setCurrentCell(-1, -1);
        t.restart();
        const double cpu = Cpu();
        w.Tabla_Estaciones->selectRow(0);
        w.Grafico_Serie->Vista->grab();  // drawn, not merely queued
        peor = std::max(peor, t.nsecsElapsed() / 1e9);
        peor_cpu = std::max(peor_cpu, Cpu() - cpu);
    }
    std::printf("serie en pantalla: %zu lecturas, %d puntos dibujados\n", w.Serie().size(),
                w.Grafico_Serie->Grafico()->Puntos_Dibujados());
    Informe("dibujar la serie", peor, peor_cpu, 1.0 * de_uno / 1e6);
    return 0;
}
