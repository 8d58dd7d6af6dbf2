#include "platform/consola.h"

#include <cstdio>
#include <string>

#ifdef Q_OS_WIN
#include <io.h>
#define AQ_ISATTY _isatty
#define AQ_FILENO _fileno
#else
#include <unistd.h>
#define AQ_ISATTY isatty
#define AQ_FILENO fileno
#endif

namespace aq {

namespace {

void Escribir(std::FILE* flujo, const QString& texto) {
    const QByteArray b = texto.toUtf8();
    std::fwrite(b.constData(), 1, static_cast<size_t>(b.size()), flujo);
    std::fflush(flujo);
}

}  // namespace

bool Consola_Real::Entrada_Es_Terminal() const {
    return AQ_ISATTY(AQ_FILENO(stdin)) != 0;
}

bool Consola_Real::Errores_Es_Terminal() const {
    return AQ_ISATTY(AQ_FILENO(stderr)) != 0;
}

void Consola_Real::Salida(const QString& texto) {
    Escribir(stdout, texto);
}

void Consola_Real::Errores(const QString& texto) {
    Escribir(stderr, texto);
}

QString Consola_Real::Leer_Linea() {
    std::string linea;
    for (int c; (c = std::fgetc(stdin)) != EOF && c != '\n';) linea.push_back(static_cast<char>(c));
    while (!linea.empty() && linea.back() == '\r') linea.pop_back();
    return QString::fromUtf8(linea.data(), static_cast<qsizetype>(linea.size()));
}

}  // namespace aq
