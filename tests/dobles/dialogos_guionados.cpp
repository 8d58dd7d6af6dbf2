#include "dobles/dialogos_guionados.h"

#include "link/texto.h"

namespace aq {

Respuesta Dialogos_Guionados::MsgBox(const QString& texto, Icono icono, Botones botones,
                                     const QString& titulo) {
    cajas.append({texto, icono, botones, titulo});
    if (al_mostrar) al_mostrar(cajas.last());
    if (!respuestas.isEmpty()) return respuestas.takeFirst();
    return Respuesta::Aceptar;
}

QString Dialogos_Guionados::Guardar_Archivo(const QString& filtro, const QString& dir) {
    archivos.append({true, filtro, dir});
    return rutas.isEmpty() ? QString() : rutas.takeFirst();
}

QString Dialogos_Guionados::Abrir_Archivo(const QString& filtro, const QString& dir) {
    archivos.append({false, filtro, dir});
    return rutas.isEmpty() ? QString() : rutas.takeFirst();
}

QStringList Dialogos_Guionados::Textos() const {
    QStringList r;
    for (const auto& c : cajas) r << c.texto;
    return r;
}

QString Perfil_Memoria::GetProfileString(const QString& s, const QString& c, const QString& d) {
    return secciones.value(s).value(c, d);
}

int Perfil_Memoria::GetProfileInt(const QString& s, const QString& c, int d) {
    if (!secciones.contains(s) || !secciones[s].contains(c)) return d;
    return static_cast<int>(Valor_Numerico(secciones[s][c].toLatin1()));
}

bool Perfil_Memoria::WriteProfileString(const QString& s, const QString& c, const QString& v) {
    if (falla_escritura) return false;
    secciones[s][c] = v;
    return true;
}

bool Perfil_Memoria::Borrar_Seccion(const QString& s) {
    if (falla_escritura) return false;
    secciones.remove(s);
    return true;
}

bool Ayuda_Registro::Mostrar(const QString& archivo, QString* error) {
    abiertos << archivo;
    if (!falla.isEmpty()) {
        if (error) *error = falla;
        return false;
    }
    return true;
}

}  // namespace aq
