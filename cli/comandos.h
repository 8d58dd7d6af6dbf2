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

// Exit statuses, the same for every order; Texto_Salidas tells them to the user.
enum Salida : int {
    Exito = 0,
    Rechazo = 1,        // the logger or the operation failed
    Uso = 2,            // bad usage or value
    Archivo = 3,        // a file could not be read or written
    Sin_Archivar = 4,   // downloaded and saved, but the station archive was not updated
    Por_Sigint = 130,   // stopped by Ctrl-C
    Por_Sigterm = 143,  // stopped by SIGTERM
};
extern const char* const Texto_Salidas;

// Prints the usage of `orden`, after `motivo` when given, on standard error; returns Uso.
int Uso_De(const char* orden, const QString& motivo = {});

// Thrown from the clock's reading once SIGINT or SIGTERM arrived: every wait reads the clock, so
// the order stops where it waits; the run ends with Salida_De_Senal.
struct Interrupcion {
    int senal;
};
int Salida_De_Senal(int senal);

// Checks the --puerto argument: a number 1 to 4, a device path, or tcp://HOST:PUERTO.
bool Puerto_Cli_Valido(const QString& argumento, QString* error);

// The serial line an order talks through: port `argumento` as Puerto_Cli_Valido accepts it,
// or, when empty, the configured port number `configurado` (the profile's [Puertos] maps
// numbers to devices, as for the windows). Opened; null with the reason in `error` when it
// could not be opened.
std::unique_ptr<aq::Puerto_Serie> Abrir_Puerto_Cli(const QString& argumento, aq::Perfil& perfil,
                                                   aq::Reloj& reloj, int configurado,
                                                   QString* error);

// The PC's clock that stops the order once a signal arrived (see Interrupcion).
class Reloj_Interrumpible : public aq::Reloj_Real {
  public:
    double Segundos() const override;
    bool armado = true;
};

// One run's program state, settings and port.
class Sesion {
  public:
    Sesion(aq::Consola& consola, const QString& puerto) : consola(consola), puerto_(puerto) {}
    // Reads the settings (its warnings go to the terminal; those about the folders only when
    // `carpetas`), opens the port and greets the logger as the program does at start: link
    // check, then its firmware. False with the message shown when any of it failed; nothing
    // more then goes on the line.
    bool Abrir(bool carpetas = false);
    // Only the settings, once, for what must be checked before the line is touched.
    void Ajustes(bool carpetas);
    // The logger answered the greeting: its mode may be restored after an interruption.
    bool Saludado() const { return saludado_; }
    // After an interruption: the clock no longer stops, and a second signal ends the run at
    // once.
    void Desarmar();
    aq::Contexto& ctx() { return *ctx_; }
    aq::Estado& estado() { return estado_; }
    aq::Perfil& perfil() { return perfil_; }

    // A message for the user: the windows' texts with their line breaks made plain.
    void Aviso(const QString& texto);
    void Datos(const QString& texto) { consola.Salida(texto + QLatin1Char('\n')); }
    // Asks a yes/no question on the terminal; false unless answered yes.
    bool Preguntar(const QString& texto);

    aq::Consola& consola;

  private:
    QString puerto_;
    aq::Estado estado_;
    Reloj_Interrumpible reloj_;
    bool saludado_ = false;
    bool ajustes_ = false;
    aq::Perfil_Ini perfil_;
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

}  // namespace cli
