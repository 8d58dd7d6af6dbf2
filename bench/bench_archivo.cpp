// The station archive on SQLite: importing full backups, exporting one station, and the
// window's series for that station. Argument: number of backups; 1000 (about 4 million
// readings, a quarter of them for the station that is exported and drawn) is the case the
// targets name; `make bench` runs 100 and scales the targets.
#include <QApplication>
#include <QChartView>
#include <QDir>
#include <QElapsedTimer>
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
    QElapsedTimer t;
    t.start();
    double cpu = Cpu();
    double peor_uno = 0;
    qint64 lecturas = 0;
    for (const QString& ruta : rutas) {
        QElapsedTimer uno;
        uno.start();
        const aq::Resultado_Archivo r = aq::Importar_Respaldo(archivo, ruta);
        if (!r) {
            std::fprintf(stderr, "%s: %s\n", qPrintable(ruta), qPrintable(aq::Mensaje_Archivo(r)));
            return 1;
        }
        lecturas += r.nuevas;
        peor_uno = std::max(peor_uno, uno.nsecsElapsed() / 1e9);
    }
    const double importacion = t.nsecsElapsed() / 1e9;
    const double cpu_importacion = Cpu() - cpu;
    std::printf("%d resguardos, %lld lecturas importadas en %.2f s (peor resguardo %.1f ms)\n",
                cantidad, lecturas, importacion, peor_uno * 1000);
    Informe("importar (todos)", importacion, cpu_importacion, 60.0 * escala);

    const int equipo = 10;
    const qint64 de_uno = qint64((cantidad + Estaciones - 1) / Estaciones) * Lecturas_Por_Respaldo;
    double peor = 0, peor_cpu = 0;
    for (int r = 0; r < 3; ++r) {
        t.restart();
        cpu = Cpu();
        const aq::Resultado_Archivo e =
            archivo.Exportar(equipo, QDate(), QDate(), tmp.filePath("serie.csv"), false);
        if (!e || e.lecturas != de_uno) return 1;
        peor = std::max(peor, t.nsecsElapsed() / 1e9);
        peor_cpu = std::max(peor_cpu, Cpu() - cpu);
    }
    std::printf("exportación: %lld lecturas del equipo %d\n", de_uno, equipo);
    if (de_uno < 1000000)
        std::printf("(objetivos en proporción: 60 s por 1000 resguardos, 2 s y 1 s por millón)\n");
    Informe("exportar una estación", peor, peor_cpu, 2.0 * de_uno / 1e6);

    // Levels: two manual readings and a reference, the whole station computed and exported.
    {
        const std::vector<aq::Punto_Serie> serie = archivo.Serie(equipo);
        archivo.Fijar_Referencia(equipo, 512.25);
        archivo.Guardar_Manual(equipo, {serie[serie.size() / 4].minuto, 3.5, QString()});
        archivo.Guardar_Manual(equipo, {serie[serie.size() * 3 / 4].minuto, 3.6, QString()});
        peor = peor_cpu = 0;
        for (int r = 0; r < 3; ++r) {
            t.restart();
            cpu = Cpu();
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
        cpu = Cpu();
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
