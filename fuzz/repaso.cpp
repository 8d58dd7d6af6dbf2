// Runs a fuzz target once over every file of the folders or files given (its seed corpus, and
// any input that once broke it): the normal build keeps the targets compiling and every saved
// input passing, under the sanitizers too.
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <cstdint>
#include <cstdio>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* datos, size_t largo);

int main(int argc, char** argv) {
    int entradas = 0;
    for (int i = 1; i < argc; ++i) {
        const QString ruta = QString::fromLocal8Bit(argv[i]);
        QStringList archivos;
        if (QFileInfo(ruta).isDir()) {
            for (const QString& n : QDir(ruta).entryList(QDir::Files, QDir::Name))
                archivos << QDir(ruta).filePath(n);
        } else {
            archivos << ruta;
        }
        for (const QString& a : archivos) {
            QFile f(a);
            if (!f.open(QIODevice::ReadOnly)) {
                std::fprintf(stderr, "no se pudo leer %s\n", qPrintable(a));
                return 1;
            }
            const QByteArray datos = f.readAll();
            LLVMFuzzerTestOneInput(reinterpret_cast<const uint8_t*>(datos.constData()),
                                   static_cast<size_t>(datos.size()));
            ++entradas;
        }
    }
    std::printf("%d entradas\n", entradas);
    return entradas > 0 ? 0 : 1;
}
