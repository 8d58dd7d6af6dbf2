#pragma once
#include <QString>

namespace aq {

// The profile file (win.ini): sections of keys with text values.
class Perfil {
  public:
    virtual ~Perfil() = default;
    // The value, or `defecto` when the key is absent.
    virtual QString GetProfileString(const QString& seccion, const QString& clave,
                                     const QString& defecto) = 0;
    // The leading integer of the value, `defecto` when absent, 0 when it is no number.
    virtual int GetProfileInt(const QString& seccion, const QString& clave, int defecto) = 0;
    // False when the file could not be written.
    virtual bool WriteProfileString(const QString& seccion, const QString& clave,
                                    const QString& valor) = 0;
    virtual bool Borrar_Seccion(const QString& seccion) = 0;
    // Where the settings are kept, for the user's information.
    virtual QString Ubicacion() const { return QString(); }
};

}  // namespace aq
