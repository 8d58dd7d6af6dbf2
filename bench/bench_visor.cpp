// Opens a data file of a million lines in the viewer and reports time and peak memory.
#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <cstdio>

#include "dobles/fondo_falso.h"
#include "maintenance/datos_visor.h"
#include "maintenance/ui/visor.h"

#ifdef __unix__
#include <sys/resource.h>
static long Pico_Kib() {
    rusage r{};
    getrusage(RUSAGE_SELF, &r);
    return r.ru_maxrss;
}
#else
static long Pico_Kib() {
    return 0;
}
#endif

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const int lineas = argc > 1 ? QByteArray(argv[1]).toInt() : 1000000;

    QTemporaryDir tmp;
    const QString ruta = tmp.filePath("GRANDE.CSV");
    {
        QFile f(ruta);
        if (!f.open(QIODevice::WriteOnly)) return 1;
        QByteArray bloque;
        for (int i = 0; i < lineas; ++i) {
            bloque += QString::asprintf("%02d/%02d/02  ;%02d:%02d;%d;Equipo 7\r\n", i % 28 + 1,
                                        i % 12 + 1, i % 24, i % 60, i % 4096)
                          .toLatin1();
            if (bloque.size() > (1 << 20)) {
                f.write(bloque);
                bloque.clear();
            }
        }
        f.write(bloque);
    }
    const qint64 tamano = QFile(ruta).size();
    const long base = Pico_Kib();

    aq::Banco b;
    b.estado.Directorio_Datos = tmp.path();
    b.dialogos.rutas << ruta;
    QElapsedTimer t;
    t.start();
    const bool ok = aq::Verificar_Archivo(ruta) == aq::Texto_Ok;
    const qint64 t_revision = t.elapsed();
    if (aq::Visor* nuevo = aq::Abrir_Visor(b.ctx, nullptr)) {
        b.fondo.Mostrar_Hija(nuevo);
        nuevo->Mostrar_Pendiente();
    }
    aq::Visor* v = b.fondo.Ultima<aq::Visor>();
    if (!ok || !v || v->List1->model()->rowCount() != lineas) {
        std::fprintf(stderr, "the viewer did not open the file\n");
        return 1;
    }
    app.processEvents();
    const qint64 t_abierto = t.elapsed() - t_revision;

    // Jumps across the file, each followed by a full repaint of the list.
    QElapsedTimer s;
    s.start();
    const int saltos = 50;
    for (int k = 0; k < saltos; ++k) {
        v->List1->scrollTo(v->List1->model()->index(int(qint64(k) * lineas / saltos), 0));
        v->List1->viewport()->repaint();
    }
    const double t_salto = s.elapsed() / double(saltos);

    const long pico = Pico_Kib();
    std::printf("archivo: %d lineas, %.1f MB\n", lineas, tamano / 1048576.0);
    std::printf("revision de contenido (sola): %lld ms\n", (long long)t_revision);
    std::printf("visualizar (revision + carga + ventana): %lld ms\n", (long long)t_abierto);
    std::printf("salto y repintado: %.2f ms\n", t_salto);
    std::printf("pico RSS: %.1f MB (%.2f x archivo); antes de abrir: %.1f MB; aumento %.2f x\n",
                pico / 1024.0, pico * 1024.0 / tamano, base / 1024.0,
                (pico - base) * 1024.0 / tamano);
    return 0;
}
