#pragma once
#include <QPointer>
#include <QStringList>
#include <QWidget>

#include "platform/dialogos.h"

namespace aq {

// Message boxes and file dialogs of the Qt toolkit, in Spanish.
class Dialogos_Qt : public Dialogos {
  public:
    explicit Dialogos_Qt(QWidget* padre = nullptr) : padre_(padre) {}
    void Fijar_Padre(QWidget* padre) { padre_ = padre; }
    // Title of the boxes that have none of their own.
    void Fijar_Titulo(const QString& titulo) { titulo_ = titulo; }

    Respuesta MsgBox(const QString& texto, Icono icono, Botones botones,
                     const QString& titulo) override;
    // Both leave the current directory at the chosen file's folder.
    QString Guardar_Archivo(const QString& filtro, const QString& directorio_inicial) override;
    QString Abrir_Archivo(const QString& filtro, const QString& directorio_inicial) override;

  private:
    QString Archivo(bool guardar, const QString& filtro, const QString& directorio_inicial);
    QPointer<QWidget> padre_;
    QString titulo_;
};

// "description|pattern|description|pattern|" as Qt name filters, "description (patterns)".
QStringList Filtros_Qt(const QString& filtro);

// A message's line breaks (CR LF, lone CR or LF) as plain line feeds, trailing ones dropped.
QString Texto_De_Mensaje(const QString& texto);

}  // namespace aq
