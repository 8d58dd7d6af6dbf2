#include "link/saludo.h"

#include "link/enlace.h"

namespace aq {

namespace {

const QString Aviso_Puerto = QStringLiteral(
    "Verifique el puerto de comunicaciones seleccionado en Menú->Opciones. Si el puerto esta "
    "siendo usado por otra aplicación , cierre la aplicación que este usando el puerto, o "
    "cambie de puerto.\r\nAdemás, verifique el enlace.\r");

QString Mensaje_Version(const QByteArray& version) {
    return QStringLiteral("Este software no es compatible\ncon la versión ") +
           QString::fromLatin1(version) + QStringLiteral(" de firmware");
}

}  // namespace

QByteArray Verificar_Enlace(Contexto& ctx) {
    return Enviar_Comando(ctx, Cadena_Enlace, 4);
}

QString Mensaje_Sin_Enlace(const char* numero) {
    return QStringLiteral("Error %1, El equipo no responde.\n").arg(QLatin1String(numero)) +
           Aviso_Puerto;
}

Resultado_Saludo Saludar_Equipo(Contexto& ctx, const std::function<void()>& verificando_version) {
    const QByteArray r = Verificar_Enlace(ctx);
    if (r == Resp_NC) return {Fin_Saludo::Sin_Respuesta, {}};
    if (r != Resp_OK) return {Fin_Saludo::Lazo_No_Establecido, {}};
    if (verificando_version) verificando_version();
    Esperar_Medio_Segundo(ctx.reloj);
    const QByteArray v = Enviar_Comando(ctx, "V", 13);
    if (v == Resp_VERSION) return {Fin_Saludo::Establecido, {}};
    if (v == Resp_NC) return {Fin_Saludo::Version_Sin_Respuesta, {}};
    if (v == Resp_INCOMPATIBLE)
        return {Fin_Saludo::Otra_Version, ctx.estado.Version_Firmware.left(11)};
    return {Fin_Saludo::Respuesta_Desconocida, {}};
}

QString Mensaje_Saludo(const Resultado_Saludo& r) {
    switch (r.fin) {
        case Fin_Saludo::Sin_Respuesta:
            return QStringLiteral("Error 001, el equipo no responde.\n") + Aviso_Puerto;
        case Fin_Saludo::Lazo_No_Establecido:
            return QStringLiteral(
                "Error 002, el lazo de comunicación no se ha establecido.\n"
                "Verifique el puerto de comunicaciones seleccionado en Menú->Opciones,\r"
                "además, verifique el enlace.\r");
        case Fin_Saludo::Version_Sin_Respuesta:
            return QStringLiteral(
                "Error 007, el equipo no responde.\n"
                "Salga del programa, verifique el enlace y reinicie el procedimiento");
        case Fin_Saludo::Otra_Version:
            return Mensaje_Version(r.version);
        case Fin_Saludo::Respuesta_Desconocida:
            return Mensaje_Version({});
        case Fin_Saludo::Establecido:
            break;
    }
    return {};
}

QString Titulo_Saludo(Fin_Saludo fin) {
    return fin == Fin_Saludo::Sin_Respuesta ? Titulo_Error_Enlace : Titulo_Error_Link;
}

}  // namespace aq
