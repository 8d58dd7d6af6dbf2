#pragma once
#include <QAbstractListModel>
#include <QByteArray>
#include <vector>

namespace aq {

// The lines of a data file, one row each, with ";" shown as a tab. The file's bytes are held
// once and rows are made only when a view asks for them, so a file of any length opens quickly.
class Modelo_Lineas : public QAbstractListModel {
    Q_OBJECT
  public:
    explicit Modelo_Lineas(QObject* parent = nullptr);

    // Files up to 4 GiB: line offsets are kept in 32 bits.
    static constexpr qint64 Tamano_Maximo = 0xFFFFFFFFLL;

    // Reads the whole file and indexes its lines (CR LF, LF or CR ended). On failure the model
    // is left empty and `error` says why.
    bool Cargar(const QString& ruta, QString* error = nullptr);
    // Same, from bytes already in memory.
    void Asignar(QByteArray datos);

    // Row `fila` as shown: Latin-1 text, each ";" turned into a tab.
    QString Linea(int fila) const;
    int Cantidad() const { return static_cast<int>(inicios_.size()); }

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;

  private:
    void Indexar();

    QByteArray datos_;
    std::vector<quint32> inicios_;  // offset of each line in datos_
};

}  // namespace aq
