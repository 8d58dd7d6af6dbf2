#pragma once
#include <QString>

// Box texts of the monitor, the mode switches and the programming dialogs.
namespace aq::Mensajes_Monitor {

inline const QString Titulo_Link = QStringLiteral("Error en el link");
inline const QString Titulo_Advertencia = QStringLiteral("Advertencia !!!");

inline const QString No_Reconocido = QStringLiteral("Comando no Reconocido");
inline const QString No_Reconocido_Reintente =
    QStringLiteral("Comando no Reconocido. Reintente la operación. ");

// "Error NNN, el equipo no responde." with its advice line.
inline QString No_Responde(const char* numero, bool salga) {
    return QStringLiteral("Error %1, el equipo no responde.\n").arg(QLatin1String(numero)) +
           (salga ? QStringLiteral(
                        "Salga del programa, verifique el enlace y reinicie el procedimiento")
                  : QStringLiteral("Verifique el enlace y reinicie el procedimiento"));
}

// The unknown-answer box; without a number it starts at "El equipo".
inline QString Desconocida(const char* numero, bool salga) {
    QString t = QStringLiteral(
        "El equipo retorna una RESPUESTA DESCONOCIDA.\n"
        "posiblemente ocasionada por INTERFERENCIAS.\n");
    if (numero) t.prepend(QStringLiteral("Error %1, ").arg(QLatin1String(numero)));
    return t + (salga ? QStringLiteral(
                            "Salga del programa, verifique el enlace y reinicie el procedimiento")
                      : QStringLiteral("Verifique el enlace y reinicie el procedimiento"));
}

inline const QString Confirmar_Ajuste = QStringLiteral(
    "Se dispone a pasar al Modo AJUSTE.\n"
    "\n"
    "Se interrumpirá la secuencia de registro\n"
    "de lecturas del bloque en curso");

inline const QString Confirmar_Registro = QStringLiteral(
    "Se dispone a pasar al Modo REGISTRO.\n"
    "\n"
    "Se creará un nuevo bloque de datos\n"
    "en la memoria.");

inline const QString Memoria_Inconsistente = QStringLiteral(
    "La memoria del equipo contiene inconsistencias !!!\n"
    "\n"
    "Podrían perderse datos. Se recomienda\n"
    "salir del Modo REGISTRO, leer los datos\n"
    "a un archivo de disco, borrar la memoria\n"
    "y finalmente reintentar esta operación.");

inline const QString Poco_Espacio = QStringLiteral(
    "La memoria del equipo contiene poco espacio libre.\n"
    "\n"
    "El equipo NO pasará a Modo REGISTRO\n"
    "Vuelque la memoria en un archivo de disco\n"
    "bórrela y vuelva a intentar");

inline QString Fecha_Invalida(const QString& dia_asumido) {
    return QStringLiteral("La fecha selectada no es válida.\nSe asumirá el día:\n") + dia_asumido;
}

}  // namespace aq::Mensajes_Monitor
