#pragma once
#include <QString>

namespace aq {

// A folder that is a file system of its own: a small tmpfs mounted over it, which a test may
// fill up or make read-only. Mounting needs root; elsewhere Listo() is false and the test
// should skip, saying so. Unmounted (lazily) on destruction.
class Disco_Chico {
  public:
    explicit Disco_Chico(const QString& carpeta, int kib = 64);
    ~Disco_Chico();
    Disco_Chico(const Disco_Chico&) = delete;
    Disco_Chico& operator=(const Disco_Chico&) = delete;

    bool Listo() const { return montado_; }
    const QString& Carpeta() const { return carpeta_; }
    // Takes every byte left with the file "relleno"; Vaciar() gives them back.
    void Llenar();
    void Vaciar();
    bool Solo_Lectura();

  private:
    QString carpeta_;
    bool montado_ = false;
};

}  // namespace aq
