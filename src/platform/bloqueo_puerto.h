#pragma once
#include <QString>
#include <memory>

class QLockFile;

namespace aq {

// Keeps two programs (the supervisor, the command-line tool) off the same device at once: a lock
// file per device in the user's runtime folder. A lock left by a program that died is taken
// over.
class Bloqueo_Puerto {
  public:
    // `directorio` empty: the user's runtime folder.
    explicit Bloqueo_Puerto(const QString& directorio = {});
    ~Bloqueo_Puerto();
    Bloqueo_Puerto(const Bloqueo_Puerto&) = delete;
    Bloqueo_Puerto& operator=(const Bloqueo_Puerto&) = delete;

    // Locks `clave` (see Clave_Bloqueo), letting go of any other it held. False only when
    // another live holder has it; a folder where no lock can be written does not keep anyone
    // off the line.
    bool Tomar(const QString& clave);
    void Soltar();
    bool Tomado() const { return archivo_ != nullptr; }

    // The lock file of `clave` in `directorio`.
    static QString Ruta(const QString& directorio, const QString& clave);
    static QString Directorio_Predeterminado();

  private:
    QString directorio_;
    std::unique_ptr<QLockFile> archivo_;
};

}  // namespace aq
