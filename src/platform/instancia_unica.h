#pragma once
#include <QLockFile>
#include <QString>

namespace aq {

// Tells whether another copy of the program runs, by a lock file held for the whole run. A
// lock left behind by a copy that crashed does not count.
class Instancia_Unica {
  public:
    explicit Instancia_Unica(const QString& archivo = Ruta_Predeterminada());

    // aqtide.lock in the user's runtime folder (the temporary folder when there is none).
    static QString Ruta_Predeterminada();

    // Takes the lock on the first call; true when another copy holds it.
    bool Otra_Copia_En_Marcha();

  private:
    QLockFile bloqueo_;
    bool tomado_ = false;
};

}  // namespace aq
