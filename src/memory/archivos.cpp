#include "memory/archivos.h"

#include "platform/archivo_regular.h"

namespace aq {

QString Mensaje_Error_Archivo(Falla_Archivo falla) {
    switch (falla) {
        case Falla_Archivo::Ruta_Inexistente:
            return QStringLiteral(
                "No existe el directorio solicitado.\nCréelo y vuelva a intentar");
        case Falla_Archivo::Archivo_Abierto:
            return QStringLiteral(
                "El archivo solicitado ya está\nabierto. Ciérrelo y vuelva a\nintentar.");
        case Falla_Archivo::Nombre_Incorrecto:
            return QStringLiteral(
                "El nombre solicitado es incorrecto.\nVerifique que tenga 8 letras\n"
                "de nombre y 3 de extensión");
        case Falla_Archivo::Permiso_Denegado:
            return QStringLiteral("Permiso denegado.");
        case Falla_Archivo::Disco_No_Lista:
            return QStringLiteral("La unidad de disco no está lista.");
        case Falla_Archivo::Disco_Lleno:
            return QStringLiteral(
                "El disco está lleno y por esta razón \nNO SE HAN PODIDO GUARDAR LOS DATOS !!!\n");
        case Falla_Archivo::No_Regular:
            return Texto_No_Regular;
        case Falla_Archivo::Es_Entrada:
            return QStringLiteral("Es uno de los archivos que se están leyendo.");
        case Falla_Archivo::Ninguna:
        case Falla_Archivo::Otra:
            break;
    }
    return QStringLiteral(
        "No se pudo usar el archivo solicitado.\nVerifique el disco y vuelva a\n"
        "intentar.");
}

QString Mensaje_Error_Archivo(const QFileDevice& archivo, Operacion_Archivo operacion) {
    return Mensaje_Error_Archivo(Clasificar_Falla_Archivo(archivo, operacion));
}

}  // namespace aq
