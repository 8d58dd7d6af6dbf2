#pragma once
#include <QString>

namespace aq {

// The terminal of a command-line run: data on standard output, messages on standard error,
// answers read from standard input. Text goes out in the terminal's encoding (UTF-8).
class Consola {
  public:
    virtual ~Consola() = default;
    virtual bool Entrada_Es_Terminal() const = 0;
    virtual bool Errores_Es_Terminal() const = 0;
    virtual void Salida(const QString& texto) = 0;
    virtual void Errores(const QString& texto) = 0;
    // One line of standard input without its end; empty at the end of the input.
    virtual QString Leer_Linea() = 0;
};

class Consola_Real : public Consola {
  public:
    bool Entrada_Es_Terminal() const override;
    bool Errores_Es_Terminal() const override;
    void Salida(const QString& texto) override;
    void Errores(const QString& texto) override;
    QString Leer_Linea() override;
};

}  // namespace aq
