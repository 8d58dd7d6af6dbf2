#pragma once
#include <QByteArray>

#include "core/modo_equipo.h"
#include "platform/puerto.h"
#include "platform/reloj.h"

namespace aq {

struct Contexto;

inline const QByteArray CRLF = QByteArrayLiteral("\r\n");
inline const QByteArray Cadena_Enlace = QByteArray(32, 'U');
inline const QByteArray Resp_OK = QByteArrayLiteral("OK\r\n");
inline const QByteArray Resp_KO = QByteArrayLiteral("KO\r\n");
inline const QByteArray Resp_NC = QByteArrayLiteral("NC\r\n");
inline const QByteArray Resp_DESCONOCIDO = QByteArrayLiteral("??\r\n");
inline const QByteArray Resp_MI = QByteArrayLiteral("MI\r\n");
inline const QByteArray Resp_PE = QByteArrayLiteral("PE\r\n");
inline const QByteArray Resp_VERSION = QByteArrayLiteral("AQ-TIDE 1.0\r\n");
inline const QByteArray Resp_INCOMPATIBLE = QByteArrayLiteral("incompatible");

constexpr int Largo_Estado = 49;

// Pause of a little more than half a second, without running window events.
void Esperar_Medio_Segundo(Reloj& reloj);

// Waits, without running window events, until more than `segundos` have passed since `t0`.
void Esperar_Desde(Reloj& reloj, double t0, double segundos);

// One command/reply exchange with the logger: writes `comando`, waits for a reply of exactly
// `largo` characters, checks it, resynchronises and retries. Returns the reply as received,
// or "NC" CR LF (no answer), "KO" CR LF (gave up) or "incompatible" (another firmware; its
// identity is left in `version_firmware`). Never runs window events.
QByteArray Enviar_Comando(Puerto_Serie& puerto, Reloj& reloj, const QByteArray& comando, int largo,
                          QByteArray* version_firmware = nullptr);

// The same exchange on the program's port, keeping a foreign firmware identity in the state.
QByteArray Enviar_Comando(Contexto& ctx, const QByteArray& comando, int largo);

// Sends the command of `modo` ("AAA", "RRR") and returns the reply; sends nothing and returns
// an empty reply for Desconocido.
QByteArray Enviar_Modo(Contexto& ctx, Modo_Del_Equipo modo);

// Asks the logger its status and sends again the command of the mode it reports, so that it
// is left as it was found. Returns the mode code ("AJ", "RE", or whatever came).
QByteArray Reponer_Modo(Contexto& ctx);

// Characters 37 and 38 of a status reply (the mode code), empty when the reply is shorter.
QByteArray Modo_De_Estado(const QByteArray& respuesta);

}  // namespace aq
