#pragma once
#include <QByteArray>
#include <QString>
#include <QStringView>

namespace aq {

// The logger's two modes, as characters 37-38 of its status record state them ("AJ", "RE").
// Any other code is Desconocido: nothing is sent for it and nothing is enabled by it.
enum class Modo_Del_Equipo { Desconocido, Ajuste, Registro };

inline Modo_Del_Equipo Modo_De_Codigo(QByteArrayView codigo) {
    if (codigo == "AJ") return Modo_Del_Equipo::Ajuste;
    if (codigo == "RE") return Modo_Del_Equipo::Registro;
    return Modo_Del_Equipo::Desconocido;
}

inline Modo_Del_Equipo Modo_De_Codigo(QStringView codigo) {
    return Modo_De_Codigo(QByteArrayView(codigo.toLatin1()));
}

// The command that puts the logger in that mode ("AAA", "RRR"); empty for Desconocido.
inline QByteArray Comando_Modo(Modo_Del_Equipo modo) {
    switch (modo) {
        case Modo_Del_Equipo::Ajuste:
            return QByteArrayLiteral("AAA");
        case Modo_Del_Equipo::Registro:
            return QByteArrayLiteral("RRR");
        case Modo_Del_Equipo::Desconocido:
            break;
    }
    return {};
}

// "AJUSTE", "REGISTRO"; empty for Desconocido.
inline QString Nombre_Modo(Modo_Del_Equipo modo) {
    switch (modo) {
        case Modo_Del_Equipo::Ajuste:
            return QStringLiteral("AJUSTE");
        case Modo_Del_Equipo::Registro:
            return QStringLiteral("REGISTRO");
        case Modo_Del_Equipo::Desconocido:
            break;
    }
    return {};
}

}  // namespace aq
