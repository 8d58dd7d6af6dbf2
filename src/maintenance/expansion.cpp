#include "maintenance/expansion.h"

#include <QFileInfo>

#include "memory/decodificador.h"
#include "memory/resguardo.h"

namespace aq {

Resultado_Expansion Expandir_Resguardo(Estado& estado, const QString& resguardo,
                                       const QString& salida, const QByteArray& separador,
                                       const Seguimiento_Expansion& s) {
    Resultado_Expansion r;
    std::vector<QByteArray> imagen(Elementos_Imagen);
    if (!Leer_Resguardo(resguardo, imagen, &r.error)) {
        r.fin = Fin_Expansion::Resguardo_Ilegible;
        return r;
    }
    if (s.leido) s.leido();
    estado.Memoria_Leida = false;
    if (estado.Imagen_Memoria.size() < imagen.size()) estado.Imagen_Memoria.resize(imagen.size());
    for (int i = 0; i < Palabras_Memoria; ++i) {
        estado.Imagen_Memoria[static_cast<size_t>(i)] = imagen[static_cast<size_t>(i)];
        if (s.avance) s.avance(i);
    }
    if (s.expandiendo) s.expandiendo();
    r.falla =
        Analizar_Memoria(estado, salida, separador, QFileInfo(salida).absolutePath(), {resguardo});
    if (r.falla) r.fin = Fin_Expansion::Falla_Salida;
    return r;
}

QString Mensaje_Expansion(const Resultado_Expansion& r) {
    switch (r.fin) {
        case Fin_Expansion::Expandida:
            return {};
        case Fin_Expansion::Resguardo_Ilegible:
            return r.error.isEmpty()
                       ? QStringLiteral("El archivo seleccionado no es un resguardo completo.")
                       : r.error;
        case Fin_Expansion::Falla_Salida:
            break;
    }
    return Mensaje_Error_Archivo(r.falla.tipo);
}

}  // namespace aq
