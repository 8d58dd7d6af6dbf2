#include "link/sondeo.h"
#include "memory/descarga.h"
#include "platform/dispositivo.h"
#include "platform/perfil_ini.h"
#include "platform/puerto_conmutado.h"

#include "comandos.h"

namespace cli {

namespace {

bool Es_Numero(const QString& t, int* n) {
    bool ok = false;
    *n = t.toInt(&ok);
    return ok;
}

// The port keeps the profile and clock it was made with.
class Puerto_Cli : public aq::Puerto_Conmutado {
  public:
    using Puerto_Conmutado::Puerto_Conmutado;
};

}  // namespace

bool Puerto_Cli_Valido(const QString& argumento, QString* error) {
    int n = 0;
    if (argumento.trimmed().isEmpty()) {
        *error = QStringLiteral("Falta el puerto.");
        return false;
    }
    if (Es_Numero(argumento, &n)) {
        if (n >= 1 && n <= 4) return true;
        *error = QStringLiteral(
            "El puerto debe ser 1, 2, 3 o 4, el nombre de un dispositivo o tcp://HOST:PUERTO.");
        return false;
    }
    if (aq::Es_Dispositivo_Tcp(argumento) && !aq::Analizar_Tcp(argumento).Valido()) {
        *error = QStringLiteral("Dirección de red incompleta: use tcp://HOST:PUERTO.");
        return false;
    }
    // Only the form is checked here; the settings are read when the port is opened.
    aq::Perfil_Ini sin_uso;
    const aq::Dispositivo_Elegido elegido = aq::Resolver_Dispositivo(sin_uso, argumento);
    if (!elegido) *error = elegido.error;
    return bool(elegido);
}

std::unique_ptr<aq::Puerto_Serie> Abrir_Puerto_Cli(const QString& argumento, aq::Perfil& perfil,
                                                   aq::Reloj& reloj, int configurado,
                                                   QString* error) {
    auto puerto = std::make_unique<Puerto_Cli>(perfil, reloj);
    int numero = configurado;
    if (!argumento.isEmpty() && !Es_Numero(argumento, &numero)) {
        const aq::Dispositivo_Elegido elegido = aq::Resolver_Dispositivo(perfil, argumento);
        if (!elegido) {
            *error = elegido.error;
            return nullptr;
        }
        puerto->Fijar_Dispositivo(elegido.dispositivo);
        numero = 1;  // the fixed device stands for whatever number
    }
    if (!aq::Reabrir_Puerto(*puerto, aq::Buffer_Normal, numero)) {
        *error = puerto->Ultimo_Error().isEmpty()
                     ? QStringLiteral("No se pudo abrir el puerto %1 (%2).")
                           .arg(numero)
                           .arg(puerto->Dispositivo())
                     : puerto->Ultimo_Error();
        return nullptr;
    }
    return puerto;
}

}  // namespace cli
