#include "link/enlace.h"

#include "core/contexto.h"
#include "link/sondeo.h"
#include "link/texto.h"
#include "platform/espera_atenta.h"

#include <algorithm>

namespace aq {

namespace {

// A margin past each limit so that "more than N seconds" holds on a clock that jumps exactly.
constexpr double Margen = 0.001;

// Waits until exactly `cantidad` characters are waiting, or more than `limite` seconds have
// passed since `t0`, or the port is gone. Blocks on the port instead of spinning, waking now
// and then for the windows.
void Esperar_Cantidad(Puerto_Serie& puerto, Reloj& reloj, int cantidad, double t0, double limite) {
    while (puerto.PortOpen() && puerto.InBufferCount() != cantidad &&
           reloj.Segundos() - t0 <= limite) {
        puerto.Esperar_Datos(
            std::min(t0 + limite + Margen, reloj.Segundos() + Espera_Atenta::Paso));
        Espera_Atenta::Atender();
    }
}

// Only one exchange at a time: the windows that run during a wait could otherwise start another.
int intercambios_en_curso = 0;

bool Es_Palabra_Conocida(const QByteArray& r) {
    return r == Resp_OK || r == Resp_KO || r == Resp_DESCONOCIDO || r == Resp_MI || r == Resp_PE ||
           r == Resp_VERSION;
}

bool Es_Otra_Version(const QByteArray& r) {
    return r.size() == 13 && r.startsWith("AQ-TIDE ") && r[9] == '.' && r.endsWith(CRLF);
}

bool Suma_Correcta(const QByteArray& r, int largo) {
    if (r.size() < largo || largo < 6) return false;
    long suma = 0;
    for (int i = 0; i < largo - 6; ++i) suma += static_cast<unsigned char>(r[i]);
    return Valor_Numerico(r.mid(largo - 6, 4)) == suma;
}

}  // namespace

void Esperar_Desde(Reloj& reloj, double t0, double segundos) {
    Espera_Atenta atenta;
    double falta;
    while ((falta = t0 + segundos - reloj.Segundos()) >= 0) {
        reloj.Dormir(std::min(falta + Margen, Espera_Atenta::Paso));
        Espera_Atenta::Atender();
    }
}

void Esperar_Medio_Segundo(Reloj& reloj) {
    Esperar_Desde(reloj, reloj.Segundos(), 0.5);
}

QByteArray Enviar_Comando(Puerto_Serie& puerto, Reloj& reloj, const QByteArray& comando, int largo,
                          QByteArray* version_firmware) {
    // A second exchange could only come from something run during this one's waits; it must not
    // reach the line in the middle of a reply.
    if (intercambios_en_curso > 0) return Resp_NC;
    Espera_Atenta atenta;
    ++intercambios_en_curso;
    const int largo_lectura = puerto.InputLen();
    puerto.setInputLen(0);
    auto devolver = [&](const QByteArray& r) {
        puerto.setInputLen(largo_lectura);
        --intercambios_en_curso;
        return r;
    };

    // A port that could not be opened, or that failed, is a logger that does not answer.
    if (!puerto.PortOpen()) return devolver(Resp_NC);

    for (int intento = 1;; ++intento) {
        Esperar_Medio_Segundo(reloj);
        puerto.Input();
        puerto.Output(comando);
        double t0 = reloj.Segundos();
        Esperar_Cantidad(puerto, reloj, largo, t0, 2.0);
        if (!puerto.PortOpen()) return devolver(Resp_NC);

        if (puerto.InBufferCount() == largo) {
            const QByteArray respuesta = puerto.Input();
            if (comando == "L" && Suma_Correcta(respuesta, largo)) return devolver(respuesta);
            if (Es_Palabra_Conocida(respuesta)) return devolver(respuesta);
            if (Es_Otra_Version(respuesta)) {
                if (version_firmware) *version_firmware = respuesta;
                return devolver(Resp_INCOMPATIBLE);
            }
        } else {
            // Too few or too many characters: make sure the logger still hears us.
            Esperar_Desde(reloj, reloj.Segundos(), 1.0);
            puerto.Input();
            puerto.Output(Cadena_Enlace);
            t0 = reloj.Segundos();
            Esperar_Cantidad(puerto, reloj, 4, t0, 2.0);
            if (!puerto.PortOpen() || puerto.InBufferCount() == 0) return devolver(Resp_NC);
            if (puerto.Input() != Resp_OK) return devolver(Resp_KO);
        }

        if (intento == 3) {
            puerto.Input();
            return devolver(Resp_KO);
        }
    }
}

QByteArray Enviar_Comando(Contexto& ctx, const QByteArray& comando, int largo) {
    Espera_Atenta atenta;
    // An adapter pulled out and plugged in again is the same port: try it before giving up.
    if (!ctx.puerto.PortOpen() && !ctx.estado.Instalando)
        Reabrir_Puerto(ctx.puerto, 0, ctx.estado.Puerto_Com);
    return Enviar_Comando(ctx.puerto, ctx.reloj, comando, largo, &ctx.estado.Version_Firmware);
}

QByteArray Enviar_Modo(Contexto& ctx, Modo_Del_Equipo modo) {
    const QByteArray comando = Comando_Modo(modo);
    return comando.isEmpty() ? QByteArray() : Enviar_Comando(ctx, comando, 4);
}

QByteArray Reponer_Modo(Contexto& ctx) {
    const QByteArray modo = Modo_De_Estado(Enviar_Comando(ctx, "L", Largo_Estado));
    Enviar_Modo(ctx, Modo_De_Codigo(modo));
    return modo;
}

QByteArray Modo_De_Estado(const QByteArray& respuesta) {
    return respuesta.mid(36, 2);
}

}  // namespace aq
