#pragma once
#include <QByteArray>
#include <QString>
#include <functional>

#include "core/contexto.h"

namespace aq {

inline const QString Titulo_Error_Link = QStringLiteral("Error en el link");
inline const QString Titulo_Error_Enlace = QStringLiteral("Error en el enlace");

// The link check: 32 letters "U", which a logger that hears them answers "OK" CR LF.
// Returns the reply as the exchange gave it.
QByteArray Verificar_Enlace(Contexto& ctx);

// The link check of the main menu before a window that talks to the logger (critical icon,
// title "Error en el enlace"); `numero` is the error number of the item ("017", "018").
QString Mensaje_Sin_Enlace(const char* numero);

enum class Fin_Saludo {
    Establecido,
    Sin_Respuesta,          // link check unanswered: Error 001
    Lazo_No_Establecido,    // link check answered otherwise: Error 002
    Version_Sin_Respuesta,  // "V" unanswered: Error 007
    Otra_Version,           // another firmware identified itself
    Respuesta_Desconocida,  // "V" answered otherwise
};

struct Resultado_Saludo {
    Fin_Saludo fin = Fin_Saludo::Establecido;
    QByteArray version;  // the other firmware's identity, cut to 11 characters
};

// The greeting: link check, then "V" with the firmware check. `verificando_version` runs
// once the link answered, before the half-second pause that precedes "V".
Resultado_Saludo Saludar_Equipo(Contexto& ctx,
                                const std::function<void()>& verificando_version = {});

// The box of each outcome but success; the title is Titulo_Saludo's. Error 001 takes the
// critical icon, the others none.
QString Mensaje_Saludo(const Resultado_Saludo& r);
QString Titulo_Saludo(Fin_Saludo fin);

}  // namespace aq
