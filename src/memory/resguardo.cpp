#include "memory/resguardo.h"

#include <QFile>
#include <QFileInfo>
#include <cerrno>

#include "core/estado.h"
#include "memory/archivos.h"
#include "platform/archivo_regular.h"

namespace aq {

namespace {

// A memory word is 5 characters; anything this long is no word and is cut, which keeps a file
// that is no backup at all from filling the memory with one huge line.
constexpr qint64 Largo_Maximo_Linea = 4096;

}  // namespace

bool Leer_Resguardo(const QString& ruta, std::vector<QByteArray>& imagen, QString* error) {
    auto fallar = [&](const QString& texto) {
        if (error) *error = texto;
        return false;
    };
    const QFileInfo info(ruta);
    if (!info.exists()) return fallar(QStringLiteral("El archivo seleccionado no existe"));

    QFile archivo(ruta);
    switch (Abrir_Lectura_Regular(archivo)) {
        case Apertura::Abierto:
            break;
        case Apertura::Especial:
            return fallar(Texto_No_Regular);
        case Apertura::Fallo:
            return fallar(Mensaje_Error_Archivo(Clasificar_Falla_Archivo(
                ruta, Operacion_Archivo::Abrir_Lectura, QFileDevice::OpenError, errno)));
    }

    std::vector<QByteArray> lineas;
    lineas.reserve(Palabras_Memoria);
    while (static_cast<int>(lineas.size()) < Palabras_Memoria && !archivo.atEnd()) {
        QByteArray linea = archivo.readLine(Largo_Maximo_Linea + 1);
        if (linea.isEmpty() && archivo.error() != QFileDevice::NoError) break;
        bool completa = linea.endsWith('\n');
        // Drop the rest of an overlong line.
        while (!completa && !archivo.atEnd()) {
            const QByteArray resto = archivo.readLine(Largo_Maximo_Linea + 1);
            if (resto.isEmpty()) break;
            completa = resto.endsWith('\n');
        }
        if (linea.endsWith('\n')) linea.chop(1);
        if (linea.endsWith('\r')) linea.chop(1);
        if (linea.size() > Largo_Maximo_Linea) linea.truncate(Largo_Maximo_Linea);
        lineas.push_back(linea);
    }
    if (archivo.error() != QFileDevice::NoError)
        return fallar(Mensaje_Error_Archivo(archivo, Operacion_Archivo::Leer));
    if (static_cast<int>(lineas.size()) < Palabras_Memoria)
        return fallar(QStringLiteral("El archivo seleccionado no es un resguardo completo.\n"
                                     "Tiene %1 líneas y debe tener al menos %2.")
                          .arg(lineas.size())
                          .arg(Palabras_Memoria));

    if (static_cast<int>(imagen.size()) < Palabras_Memoria) imagen.resize(Palabras_Memoria);
    for (int i = 0; i < Palabras_Memoria; ++i)
        imagen[static_cast<size_t>(i)] = std::move(lineas[static_cast<size_t>(i)]);
    return true;
}

}  // namespace aq
