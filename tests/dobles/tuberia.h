#pragma once
#include <QString>
#include <atomic>
#include <condition_variable>
#include <mutex>
#include <thread>

namespace aq {

// A named pipe made with mkfifo(1); false when it could not be made.
bool Crear_Tuberia(const QString& ruta);

// Watches a piece of code that must not wait on the pipe `tuberia`. Should it still be running
// after `segundos`, a writer is attached to the pipe, which frees a reader stuck in it, and
// Disparado() turns true: the test fails instead of hanging.
class Vigia_Tuberia {
  public:
    explicit Vigia_Tuberia(const QString& tuberia, double segundos = 5);
    ~Vigia_Tuberia();
    // Stops watching; true when the watched code had to be freed.
    bool Disparado();

  private:
    QString tuberia_;
    std::mutex m_;
    std::condition_variable cv_;
    bool fin_ = false;
    std::atomic<bool> disparado_{false};
    std::thread hilo_;
};

}  // namespace aq
