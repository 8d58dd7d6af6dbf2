#include "memory/serie_datos.h"

#include <QDir>
#include <QFileInfo>

#include "core/fecha_equipo.h"

namespace aq {

namespace {

QString Nombre_Bloque(const Bloque_Exportado& b) {
    QString n = QStringLiteral("Bloque ") + QString::number(b.numero);
    if (b.equipo >= 0) n += QString::fromUtf8(" - Equipo Nº ") + QString::number(b.equipo);
    return n;
}

QString Texto_Resumen(const Datos_Exportados& datos) {
    const int bloques = static_cast<int>(datos.bloques.size());
    const int lecturas = datos.Total_Lecturas();
    if (lecturas == 0 && datos.lecturas_sin_fecha == 0)
        return QStringLiteral("El archivo no tiene lecturas.");
    QString t = QString::number(bloques) +
                (bloques == 1 ? QStringLiteral(" bloque, ") : QStringLiteral(" bloques, ")) +
                QString::number(lecturas) +
                (lecturas == 1 ? QStringLiteral(" lectura") : QStringLiteral(" lecturas"));
    if (datos.lecturas_sin_fecha)
        t += QStringLiteral("; ") + QString::number(datos.lecturas_sin_fecha) +
             QString::fromUtf8(" sin fecha válida, no graficadas");
    return t + QLatin1Char('.');
}

}  // namespace

Serie_Grafica Serie_De_Datos(const Datos_Exportados& datos) {
    Serie_Grafica s;
    const QString nombre = QFileInfo(datos.ruta).fileName();
    s.nombre_ventana = QStringLiteral("Hidrograma - ") + nombre;
    s.titulo = nombre;
    QList<int> equipos;
    for (const Bloque_Exportado& b : datos.bloques)
        if (b.equipo >= 0 && !equipos.contains(b.equipo)) equipos << b.equipo;
    if (equipos.size() == 1)
        s.titulo = QString::fromUtf8("Equipo Nº ") + QString::number(equipos[0]) +
                   QStringLiteral(" - ") + nombre;
    if (datos.memoria_inconsistente) s.titulo += QStringLiteral(" (memoria con inconsistencias)");
    s.resumen = Texto_Resumen(datos);
    s.sin_fecha = datos.lecturas_sin_fecha;
    s.carpeta = QFileInfo(datos.ruta).absolutePath();
    for (const Bloque_Exportado& b : datos.bloques) {
        if (b.lecturas.empty()) continue;
        Tramo_Grafico t;
        t.nombre = Nombre_Bloque(b);
        t.puntos.reserve(b.lecturas.size());
        for (const Lectura_Exportada& l : b.lecturas)
            t.puntos.push_back(
                Punto_Grafico{double(Minuto_De_Momento(l.momento)), double(l.milimetros)});
        s.tramos.push_back(std::move(t));
    }
    s.leyenda = s.tramos.size() > 1 && s.tramos.size() <= 10;
    return s;
}

}  // namespace aq
