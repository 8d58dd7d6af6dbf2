#include "link/sondeo.h"
#include "memory/descarga.h"
#include "platform/puerto_qt.h"

#include "comandos.h"

namespace cli {

namespace {

constexpr int Puerto_Directo = 1;

// The profile as it is, except that port 1 names the device given on the command line.
class Perfil_Con_Dispositivo : public aq::Perfil {
  public:
    Perfil_Con_Dispositivo(aq::Perfil& base, const QString& dispositivo)
        : base_(base), dispositivo_(dispositivo) {}
    QString GetProfileString(const QString& seccion, const QString& clave,
                             const QString& defecto) override {
        if (seccion == QLatin1String("Puertos") &&
            clave == QStringLiteral("COM%1").arg(Puerto_Directo))
            return dispositivo_;
        return base_.GetProfileString(seccion, clave, defecto);
    }
    int GetProfileInt(const QString& seccion, const QString& clave, int defecto) override {
        return base_.GetProfileInt(seccion, clave, defecto);
    }
    bool WriteProfileString(const QString&, const QString&, const QString&) override {
        return false;
    }
    bool Borrar_Seccion(const QString&) override { return false; }

  private:
    aq::Perfil& base_;
    QString dispositivo_;
};

// The port keeps the profile it reads devices from.
class Puerto_Directo_Qt : public aq::Puerto_Qt {
  public:
    Puerto_Directo_Qt(std::unique_ptr<aq::Perfil> perfil, aq::Reloj& reloj)
        : Puerto_Qt(*perfil, reloj), perfil_(std::move(perfil)) {}

  private:
    std::unique_ptr<aq::Perfil> perfil_;
};

bool Es_Numero(const QString& t, int* n) {
    bool ok = false;
    *n = t.toInt(&ok);
    return ok;
}

}  // namespace

bool Puerto_Cli_Valido(const QString& argumento, QString* error) {
    int n = 0;
    if (argumento.startsWith(QLatin1String("tcp://"))) {
        *error = QStringLiteral("Las conexiones tcp:// todavía no están disponibles.");
        return false;
    }
    if (Es_Numero(argumento, &n) && (n < 1 || n > 4)) {
        *error = QStringLiteral("El puerto debe ser 1, 2, 3 o 4, o el nombre de un dispositivo.");
        return false;
    }
    if (argumento.trimmed().isEmpty()) {
        *error = QStringLiteral("Falta el puerto.");
        return false;
    }
    return true;
}

std::unique_ptr<aq::Puerto_Serie> Abrir_Puerto_Cli(const QString& argumento, aq::Perfil& perfil,
                                                   aq::Reloj& reloj, int configurado,
                                                   QString* error) {
    std::unique_ptr<aq::Puerto_Qt> puerto;
    int numero = configurado;
    if (argumento.isEmpty() || Es_Numero(argumento, &numero)) {
        puerto = std::make_unique<aq::Puerto_Qt>(perfil, reloj);
    } else {
        numero = Puerto_Directo;
        puerto = std::make_unique<Puerto_Directo_Qt>(
            std::make_unique<Perfil_Con_Dispositivo>(perfil, argumento), reloj);
    }
    if (!aq::Reabrir_Puerto(*puerto, aq::Buffer_Normal, numero)) {
        *error = QStringLiteral("No se pudo abrir el puerto %1 (%2).")
                     .arg(numero)
                     .arg(puerto->Dispositivo(numero));
        return nullptr;
    }
    return puerto;
}

}  // namespace cli
