#pragma once
#include <QString>

#include "platform/perfil.h"

namespace aq {

// The profile file as an INI file on disk, stored in Latin-1 with CR LF. It is read again on
// every call, so that edits by the user or by another program are seen at once; every write
// keeps the other sections, keys and comments.
class Perfil_Ini : public Perfil {
  public:
    explicit Perfil_Ini(const QString& archivo = Ruta_Predeterminada());

    // AQTIDE_WININI when set; else win.ini in the user's configuration folder
    // ($XDG_CONFIG_HOME/aqtide/win.ini on Linux).
    static QString Ruta_Predeterminada();
    const QString& Archivo() const { return archivo_; }

    QString GetProfileString(const QString& seccion, const QString& clave,
                             const QString& defecto) override;
    int GetProfileInt(const QString& seccion, const QString& clave, int defecto) override;
    bool WriteProfileString(const QString& seccion, const QString& clave,
                            const QString& valor) override;
    bool Borrar_Seccion(const QString& seccion) override;
    QString Ubicacion() const override { return archivo_; }

  private:
    QString archivo_;
};

// The leading integer of a profile value: blanks skipped, a sign allowed, 0 when the value
// does not begin with a number.
int Entero_De_Perfil(const QByteArray& valor);

}  // namespace aq
