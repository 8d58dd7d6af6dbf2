#pragma once
#include <QStringList>
#include <memory>

#include "core/contexto.h"
#include "platform/consola.h"
#include "platform/perfil_ini.h"
#include "platform/reloj_real.h"

// Each returns the process exit status; `args` are the words after the command name.
int Comando_Expandir(const QStringList& args);
int Comando_Verificar(const QStringList& args);

// Runs before any application object exists: it makes its own, with a platform for pictures.
int Comando_Grafico(int argc, char** argv);
int Comando_Archivo_Grafico(int argc, char** argv);
int Comando_Archivo(const QStringList& args);
namespace cli {

// Exit statuses.
enum Salida : int {
    Exito = 0,
    Rechazo = 1,  // the logger refused, did not answer, or the transfer was bad
    Uso = 2,      // bad usage or value
    Archivo = 3,  // file failure
};

// Checks the --puerto argument: a number 1 to 4, a device path, or tcp://HOST:PUERTO.
bool Puerto_Cli_Valido(const QString& argumento, QString* error);

// The serial line an order talks through: port `argumento` as Puerto_Cli_Valido accepts it,
// or, when empty, the configured port number `configurado` (the profile's [Puertos] maps
// numbers to devices, as for the windows). Opened; null with the reason in `error` when it
// could not be opened.
std::unique_ptr<aq::Puerto_Serie> Abrir_Puerto_Cli(const QString& argumento, aq::Perfil& perfil,
                                                   aq::Reloj& reloj, int configurado,
                                                   QString* error);

// Message boxes of the lower layers, gathered for the terminal.
class Dialogos_Consola : public aq::Dialogos {
  public:
    QStringList textos;
    aq::Respuesta MsgBox(const QString& texto, aq::Icono, aq::Botones, const QString&) override {
        textos << texto;
        return aq::Respuesta::Aceptar;
    }
    QString Guardar_Archivo(const QString&, const QString&) override { return {}; }
    QString Abrir_Archivo(const QString&, const QString&) override { return {}; }
};

class Ayuda_Nula : public aq::Ayuda {
  public:
    bool Mostrar(const QString&, QString*) override { return false; }
};

// One run's program state, settings and port.
class Sesion {
  public:
    Sesion(aq::Consola& consola, const QString& puerto) : consola(consola), puerto_(puerto) {}
    // Reads the settings (its warnings go to the terminal; those about the folders only when
    // `carpetas`) and opens the port; false with the message shown when it could not be opened.
    bool Abrir(bool carpetas = false);
    aq::Contexto& ctx() { return *ctx_; }
    aq::Estado& estado() { return estado_; }

    // A message for the user: the windows' texts with their line breaks made plain.
    void Aviso(const QString& texto);
    void Datos(const QString& texto) { consola.Salida(texto + QLatin1Char('\n')); }
    // Asks a yes/no question on the terminal; false unless answered yes.
    bool Preguntar(const QString& texto);

    aq::Consola& consola;

  private:
    QString puerto_;
    aq::Estado estado_;
    aq::Reloj_Real reloj_;
    aq::Perfil_Ini perfil_;
    Dialogos_Consola dialogos_;
    Ayuda_Nula ayuda_;
    std::unique_ptr<aq::Puerto_Serie> serie_;
    std::unique_ptr<aq::Contexto> ctx_;
};

// The orders that talk to the logger.
int Orden_Estado(Sesion& s, const QStringList& args);
int Orden_Modo(Sesion& s, const QStringList& args);
int Orden_Fecha(Sesion& s, const QStringList& args);
int Orden_Hora(Sesion& s, const QStringList& args);
int Orden_Intervalo(Sesion& s, const QStringList& args);
int Orden_Reloj(Sesion& s, const QStringList& args);
int Orden_Descargar(Sesion& s, const QStringList& args);
int Orden_Borrar(Sesion& s, const QStringList& args);

// Usage line of an order, printed on stderr with exit status Uso.
int Uso_De(Sesion& s, const char* orden);

}  // namespace cli
