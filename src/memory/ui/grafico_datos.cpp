#include "memory/ui/grafico_datos.h"

#include <QFileInfo>

#include "core/estado.h"
#include "memory/archivos.h"
#include "memory/operacion_descarga.h"
#include "memory/serie_datos.h"
#include "platform/escritura_segura.h"
#include "platform/ui/ventanas.h"

namespace aq {

Hidrograma::Guardar_Imagen Guardar_Imagen_Con(Dialogos& dialogos) {
    return [&dialogos](const QString& ruta, const QByteArray& png) {
        if (QFileInfo::exists(ruta) &&
            dialogos.MsgBox(Texto_Sobrescribir, Icono::Pregunta, Botones::Aceptar_Cancelar,
                            Titulo_Advertencia_Archivo) == Respuesta::Cancelar)
            return false;
        const Falla_Archivo falla =
            png.isEmpty() ? Falla_Archivo::Otra : Reemplazar_Archivo(ruta, png).tipo;
        if (falla == Falla_Archivo::Ninguna) return true;
        dialogos.MsgBox(Mensaje_Error_Archivo(falla), Icono::Critico, Botones::Aceptar,
                        Titulo_Error_Archivo);
        return false;
    };
}

Hidrograma* Abrir_Hidrograma(const QString& ruta, QWidget* junto_a, Dialogos& dialogos) {
    const Datos_Exportados datos = Leer_Datos_Exportados(ruta);
    if (!datos.Valido()) {
        dialogos.MsgBox(QFileInfo(ruta).fileName() + QStringLiteral(":\n") + datos.error,
                        Icono::Informacion, Botones::Aceptar, Titulo_Aplicacion);
        return nullptr;
    }
    auto* ventana = new Hidrograma(Serie_De_Datos(datos), dialogos, Guardar_Imagen_Con(dialogos));
    Mostrar_Junto_A(junto_a, ventana);
    Cerrar_Con_Escape(ventana);
    return ventana;
}

}  // namespace aq
