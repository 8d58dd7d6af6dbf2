#pragma once
#include <QString>

namespace aq {

class Ayuda {
  public:
    virtual ~Ayuda() = default;
    // Opens the user manual at `archivo`. On failure returns false and a description.
    virtual bool Mostrar(const QString& archivo, QString* error) = 0;
};

}  // namespace aq
