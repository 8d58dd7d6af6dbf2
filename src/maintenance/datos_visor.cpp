#include "maintenance/datos_visor.h"

#include <cerrno>

#include <QFile>

#include "memory/archivos.h"
#include "platform/archivo_regular.h"

namespace aq {

namespace {

std::array<bool, 256> Construir_Tabla() {
    std::array<bool, 256> t{};
    const QByteArray letras =
        QStringLiteral(
            " /º.:áóúíéñÑÉÁabcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ1234567890;")
            .toLatin1();
    for (char c : letras) t[static_cast<unsigned char>(c)] = true;
    t['\r'] = t['\n'] = t['\t'] = true;
    return t;
}

constexpr qint64 Tamano_Bloque = 64 * 1024;

}  // namespace

const std::array<bool, 256>& Caracteres_Permitidos() {
    static const std::array<bool, 256> tabla = Construir_Tabla();
    return tabla;
}

bool Extension_Valida(const QString& ruta) {
    const QString r = ruta.toLower();
    return r.endsWith(QLatin1String(".txt")) || r.endsWith(QLatin1String(".csv"));
}

Revision_Contenido Revisar_Contenido(const QString& ruta) {
    Revision_Contenido r;
    QFile archivo(ruta);
    if (Abrir_Lectura_Regular(archivo, &r.error) != Apertura::Abierto) {
        const int numero = errno;
        r.legible = r.valido = false;
        // In the program's words: the system's are not the user's language.
        if (numero == ENOENT)
            r.error = QStringLiteral("El archivo no existe.");
        else if (r.error != Texto_No_Regular)
            r.error = Mensaje_Error_Archivo(
                          Clasificar_Falla_Archivo(ruta, Operacion_Archivo::Abrir_Lectura,
                                                   QFileDevice::OpenError, numero))
                          .simplified();
        return r;
    }
    const auto& permitido = Caracteres_Permitidos();
    QByteArray bloque(Tamano_Bloque, Qt::Uninitialized);
    qint64 linea = 1, columna = 1;
    for (;;) {
        const qint64 n = archivo.read(bloque.data(), Tamano_Bloque);
        if (n < 0) {
            r.legible = r.valido = false;
            r.error = archivo.errorString();
            return r;
        }
        if (n == 0) break;
        for (qint64 i = 0; i < n; ++i) {
            const auto c = static_cast<unsigned char>(bloque[i]);
            if (!permitido[c]) {
                r.valido = false;
                r.linea = linea;
                r.columna = columna;
                r.byte = c;
                return r;
            }
            if (c == '\n') {
                ++linea;
                columna = 1;
            } else {
                ++columna;
            }
        }
    }
    return r;
}

QString Verificar_Archivo(const QString& ruta) {
    return Revisar_Contenido(ruta).valido ? Texto_Ok : Texto_No_Ok;
}

Disposicion_Visor Calcular_Disposicion_Visor(double ancho, double alto, double ancho_boton,
                                             double alto_texto) {
    Disposicion_Visor d;
    d.ancho_lista = ancho * 3 / 5;
    d.alto_lista = alto * 4 / 5;
    d.izquierda_lista = (ancho - d.ancho_lista - ancho_boton) / 3;
    d.arriba_lista = (alto - d.alto_lista) / 2;
    d.izquierda_boton = d.izquierda_lista + d.ancho_lista +
                        (ancho - (d.izquierda_lista + d.ancho_lista + ancho_boton)) / 2;
    d.arriba_boton = d.arriba_lista;
    d.izquierda_texto = d.izquierda_lista;
    d.ancho_texto = d.ancho_lista;
    d.arriba_texto = (d.arriba_lista - alto_texto) / 2;
    return d;
}

QString Expandir_Tabulaciones(const QString& texto, int paso) {
    if (!texto.contains(QLatin1Char('\t'))) return texto;
    QString r;
    r.reserve(texto.size() + 4 * paso);
    for (QChar c : texto) {
        if (c == QLatin1Char('\t'))
            r.append(QString(paso - r.size() % paso, QLatin1Char(' ')));
        else
            r.append(c);
    }
    return r;
}

}  // namespace aq
