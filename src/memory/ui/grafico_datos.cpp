#include "memory/ui/grafico_datos.h"

#include <QFileInfo>

#include "core/estado.h"
#include "memory/serie_datos.h"

namespace aq {

Hidrograma* Abrir_Hidrograma(const QString& ruta, QWidget* junto_a, Dialogos& dialogos) {
    const Datos_Exportados datos = Leer_Datos_Exportados(ruta);
    if (!datos.Valido()) {
        dialogos.MsgBox(QFileInfo(ruta).fileName() + QStringLiteral(":\n") + datos.error,
                        Icono::Informacion, Botones::Aceptar, Titulo_Aplicacion);
        return nullptr;
    }
    auto* ventana = new Hidrograma(Serie_De_Datos(datos), dialogos);
    Mostrar_Junto_A(ventana, junto_a);
    return ventana;
}

}  // namespace aq
