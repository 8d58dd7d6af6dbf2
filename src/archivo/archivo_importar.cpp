#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <cerrno>

#include "archivo/archivo_historico.h"
#include "archivo/archivo_interno.h"
#include "core/estado.h"
#include "memory/archivos.h"
#include "memory/descarga.h"
#include "memory/resguardo.h"

namespace aq {

using namespace archivo_interno;

Resultado_Archivo Importar_Respaldo(Archivo_Historico& archivo, const QString& ruta) {
    Resultado_Archivo r;
    r.fin = Fin_Archivo::Respaldo_Ilegible;
    std::vector<QByteArray> imagen(Elementos_Imagen);
    if (!Leer_Resguardo(ruta, imagen, &r.detalle)) return r;
    QFile f(ruta);
    errno = 0;
    if (!f.open(QIODevice::ReadOnly)) {
        r.detalle = Mensaje_Error_Archivo(f, Operacion_Archivo::Abrir_Lectura);
        return r;
    }
    const QByteArray contenido = f.readAll();
    if (f.error() != QFileDevice::NoError) {
        r.detalle = Mensaje_Error_Archivo(f, Operacion_Archivo::Leer);
        return r;
    }
    f.close();

    // The checksum word is the line after the memory; a backup without it cannot be trusted.
    int desde = 0;
    for (int k = 0; k < Palabras_Memoria && desde >= 0; ++k) {
        desde = contenido.indexOf('\n', desde);
        if (desde >= 0) ++desde;
    }
    QByteArray palabra;
    if (desde >= 0 && desde < contenido.size()) {
        const int fin = contenido.indexOf('\n', desde);
        palabra = contenido.mid(desde, fin < 0 ? -1 : fin - desde);
        if (palabra.endsWith('\r')) palabra.chop(1);
    }
    if (palabra.isEmpty() || !Checksum_Correcto(Texto_Memoria(imagen), palabra)) {
        r.fin = Fin_Archivo::Respaldo_Invalido;
        r.detalle.clear();
        return r;
    }
    return archivo.Archivar(imagen, Sha256(contenido), ruta, QFileInfo(ruta).lastModified(), true);
}

bool Es_Nombre_Respaldo(const QString& ruta) {
    return ruta.endsWith(QLatin1String(".$%c")) || ruta.endsWith(QLatin1String(".$%t")) ||
           ruta.endsWith(QLatin1String(".$%&"));
}

QStringList Respaldos_En(const QString& carpeta, bool recursivo) {
    QStringList rutas;
    QDirIterator it(carpeta, QDir::Files | QDir::Hidden | QDir::System,
                    recursivo ? QDirIterator::Subdirectories : QDirIterator::NoIteratorFlags);
    while (it.hasNext()) {
        const QString ruta = it.next();
        if (Es_Nombre_Respaldo(ruta)) rutas << ruta;
    }
    rutas.sort();
    return rutas;
}

}  // namespace aq
