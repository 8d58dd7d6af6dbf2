#include "memory/operacion_borrado.h"

#include "link/enlace.h"
#include "link/saludo.h"

namespace aq {

namespace {

Fin_Borrado_Equipo Desde(Fin_Borrado fin) {
    switch (fin) {
        case Fin_Borrado::Borrada:
            return Fin_Borrado_Equipo::Borrada;
        case Fin_Borrado::Fallida:
            return Fin_Borrado_Equipo::Fallida;
        case Fin_Borrado::No_Reconocido:
            return Fin_Borrado_Equipo::No_Reconocido;
        case Fin_Borrado::Anormal:
            return Fin_Borrado_Equipo::Anormal;
        case Fin_Borrado::Sin_Respuesta:
            break;
    }
    return Fin_Borrado_Equipo::Sin_Respuesta;
}

}  // namespace

Resultado_Borrado Borrar_Memoria_Equipo(Contexto& ctx, const Seguimiento_Borrado& s) {
    Resultado_Borrado r;
    if (s.confirmar && !s.confirmar()) return r;

    // A silent logger shows itself through the status request that follows.
    Verificar_Enlace(ctx);
    const QByteArray estado = Enviar_Comando(ctx, "L", Largo_Estado);
    Esperar_Medio_Segundo(ctx.reloj);
    r.modo = Modo_De_Estado(estado);
    if (r.modo != "AJ") {
        ctx.estado.Memoria_Leida = false;
        r.fin = Fin_Borrado_Equipo::Modo_Registro;
        return r;
    }

    ctx.puerto.setInputLen(0);
    ctx.puerto.Input();
    r.tiempo_ms = Tiempo_Borrado(ctx.estado.Lugares_Vacios);
    const int maximo = static_cast<int>(r.tiempo_ms - 1000);
    const double t0 = ctx.reloj.Segundos();
    ctx.puerto.Output(Comando_Borrado);
    r.respuesta =
        Esperar_Respuesta_Borrado(ctx.puerto, ctx.reloj, t0, r.tiempo_ms, [&](double transcurrido) {
            if (s.avance && transcurrido < maximo) s.avance(static_cast<int>(transcurrido), maximo);
        });
    r.fin = Desde(Clasificar_Respuesta_Borrado(r.respuesta));
    if (s.avance) s.avance(r.fin == Fin_Borrado_Equipo::Borrada ? maximo : 0, maximo);
    return r;
}

QString Mensaje_Resultado_Borrado(Fin_Borrado_Equipo fin) {
    switch (fin) {
        case Fin_Borrado_Equipo::Modo_Registro:
            return Texto_Modo_Registro;
        case Fin_Borrado_Equipo::Borrada:
            return Texto_Borrado_Exitoso;
        case Fin_Borrado_Equipo::Fallida:
            return Mensaje_Borrado(Fin_Borrado::Fallida);
        case Fin_Borrado_Equipo::No_Reconocido:
            return Mensaje_Borrado(Fin_Borrado::No_Reconocido);
        case Fin_Borrado_Equipo::Anormal:
            return Mensaje_Borrado(Fin_Borrado::Anormal);
        case Fin_Borrado_Equipo::Sin_Respuesta:
            return Mensaje_Borrado(Fin_Borrado::Sin_Respuesta);
        case Fin_Borrado_Equipo::Cancelado:
            break;
    }
    return {};
}

}  // namespace aq
