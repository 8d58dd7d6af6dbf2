#pragma once
#include <QByteArray>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QString>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

// A folder of its own for the files a target writes (the decoder's work files go into the
// current one), in memory when the system offers it; removed when the process exits.
inline QString Carpeta_Fuzz() {
    static const QString carpeta = [] {
        const QString base = QDir(QStringLiteral("/dev/shm")).exists() ? QStringLiteral("/dev/shm")
                                                                       : QDir::tempPath();
        const QString d = base + QStringLiteral("/aqtide-fuzz-") +
                          QString::number(QCoreApplication::applicationPid());
        QDir().mkpath(d);
        QDir::setCurrent(d);
        // Gone with the run, so that runs do not pile up in memory. The path outlives the
        // static destructors, which run before this handler.
        static const QString* const para_borrar = new QString(d);
        std::atexit([] {
            QDir::setCurrent(QDir::tempPath());
            QDir(*para_borrar).removeRecursively();
        });
        return d;
    }();
    return carpeta;
}

inline QByteArray Bytes(const uint8_t* datos, size_t largo) {
    return QByteArray(reinterpret_cast<const char*>(datos), static_cast<qsizetype>(largo));
}

// A broken property of the code under test: stop the run with the input kept.
#define AQ_AFIRMAR(condicion)                                                                  \
    do {                                                                                       \
        if (!(condicion)) {                                                                    \
            std::fprintf(stderr, "%s:%d: no se cumple: %s\n", __FILE__, __LINE__, #condicion); \
            std::abort();                                                                      \
        }                                                                                      \
    } while (0)

// The input as the whole content of `ruta`, for targets that read a file.
#define AQ_ESCRIBIR_ENTRADA(ruta, bytes)                                              \
    do {                                                                              \
        QFile archivo_entrada(ruta);                                                  \
        AQ_AFIRMAR(archivo_entrada.open(QIODevice::WriteOnly | QIODevice::Truncate)); \
        AQ_AFIRMAR(archivo_entrada.write(bytes) == (bytes).size());                   \
    } while (0)
