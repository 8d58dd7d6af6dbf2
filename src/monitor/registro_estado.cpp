#include "monitor/registro_estado.h"

#include "link/enlace.h"
#include "link/texto.h"
#include "monitor/programacion.h"

namespace aq {

bool Decodificar_Estado(const QByteArray& respuesta, Registro_Estado* r) {
    if (respuesta.size() != Largo_Estado) return false;
    auto campo = [&](int desde, int largo) {
        return QString::fromLatin1(respuesta.mid(desde - 1, largo));
    };
    r->Equipo = campo(1, 3);
    r->Alcance = campo(5, 2);
    r->Lectura = Lectura_Milimetros(r->Alcance, campo(8, 4));
    r->Fecha = campo(13, 8);
    r->Hora = campo(22, 5);
    r->Intervalo = campo(28, 8);
    r->Modo = campo(37, 2);
    r->Registros = campo(40, 4);
    return true;
}

QString Lectura_Milimetros(const QString& alcance, const QString& lectura) {
    const double escala = Valor_Numerico(alcance) / 4;
    return Numero_Simple(Valor_Numerico(lectura) * escala);
}

int Codigo_Intervalo(const QString& texto) {
    const int i = Textos_Intervalo_Estado.indexOf(texto);
    return i;
}

QString Texto_Registros_Disponibles(const QString& ocupados) {
    // Only a count made of digits can be subtracted from the capacity; anything else is as
    // much a sign of a damaged memory as a count beyond it.
    const QString t = ocupados.trimmed();
    bool es_numero = !t.isEmpty();
    for (QChar c : t)
        if (c < QLatin1Char('0') || c > QLatin1Char('9')) es_numero = false;
    const double valor = Valor_Numerico(ocupados);
    if (!es_numero || valor > Capacidad_Memoria)
        return QStringLiteral("Memoria con Inconsistencias");
    return Numero_Simple(Capacidad_Memoria - valor) + QStringLiteral(" Registros Disponibles");
}

void Guardar_Estado(Estado& estado, const Registro_Estado& r) {
    estado.Dia_Equipo = r.Fecha.left(2);
    estado.Mes_Equipo = r.Fecha.mid(3, 2);
    estado.Anio_Equipo = r.Fecha.right(2);
    estado.Hora_Equipo = r.Hora.left(2);
    estado.Minuto_Equipo = r.Hora.right(2);
    const int codigo = Codigo_Intervalo(r.Intervalo);
    if (codigo >= 0) estado.Intervalo_Equipo = codigo;
    estado.Modo_Equipo = r.Modo;
    if (Modo_De_Codigo(r.Modo) == Modo_Del_Equipo::Registro) estado.Memoria_Leida = false;
    estado.Registros_Ocupados = r.Registros;
}

}  // namespace aq
