#pragma once
#include <QString>
#include <QTemporaryDir>
#include <memory>

namespace aq {

// A throw-away PostgreSQL server on 127.0.0.1 and a free port, with trust authentication and
// one empty database. Run as an unprivileged user when the tests run as root.
class Servidor_PostgreSQL {
  public:
    ~Servidor_PostgreSQL();
    // False with the reason (what is missing) in `motivo`.
    bool Iniciar(QString& motivo);
    // postgresql://aqtide@127.0.0.1:PORT/`base`, created empty on the first call.
    QString Url(const QString& base, QString* motivo = nullptr);

  private:
    bool Ejecutar(const QString& programa, const QStringList& args, QString& salida);
    std::unique_ptr<QTemporaryDir> dir_;
    QString usuario_;  // empty: as ourselves
    int puerto_ = 0;
    bool en_marcha_ = false;
};

}  // namespace aq
