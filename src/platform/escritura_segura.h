#pragma once
#include <QByteArray>
#include <QFile>
#include <QString>
#include <QStringList>

#include "platform/falla_archivo.h"

namespace aq {

// The one way a program of this tree writes a file it keeps (backups, DUMP.$$$, data files,
// settings, exports, pictures, expanded text). The new content is written beside the target
// and renamed over it once whole and on disk, so any failure leaves the earlier file as it was,
// its protection included.
//
// Refused without being opened or removed: a target that is, or whose link leads to, a device,
// pipe, socket or folder (No_Regular); a target that is the same file (device and inode) as one
// of `entradas`, the files the operation reads (Es_Entrada). A link at the target is replaced
// by the new file, never written through. Writes are unbuffered, so a full disk is seen at the
// write that meets it. The new file keeps the earlier one's permissions.
//
// Dropped unfinished (no Terminar), nothing is put in place.
class Escritura_Segura {
  public:
    explicit Escritura_Segura(const QString& ruta, const QStringList& entradas = {});
    ~Escritura_Segura();
    Escritura_Segura(const Escritura_Segura&) = delete;
    Escritura_Segura& operator=(const Escritura_Segura&) = delete;

    // Checks the target and makes the file beside it. False on failure (see Falla).
    bool Abrir();
    // Appends `datos`; false on failure, which is kept and stops every later call.
    bool Escribir(const QByteArray& datos);
    // Puts the file in place. False on failure; the earlier file then stays.
    bool Terminar();
    // Gives up: the file beside is removed, the target untouched.
    void Cancelar();

    const Falla_En_Archivo& Falla() const { return falla_; }
    const QString& Ruta() const { return ruta_; }

  private:
    bool Fallar(Falla_Archivo tipo, int numero_error, Operacion_Archivo operacion);

    QString ruta_;
    QStringList entradas_;
    QString temporal_;
    int fd_ = -1;
    Falla_En_Archivo falla_;
};

// Writes `contenido` to `ruta` in one go through Escritura_Segura.
Falla_En_Archivo Reemplazar_Archivo(const QString& ruta, const QByteArray& contenido,
                                    const QStringList& entradas = {});

// Opens a scratch file the operation writes and reads back (decoder and paging work files),
// emptied. A link there is removed first and the file is made anew; a device, pipe, socket or
// folder is refused untouched. `archivo` is opened on the descriptor, read and write, unbuffered.
Falla_Archivo Abrir_Trabajo(QFile& archivo, const QString& ruta);

// True when the two paths name the same existing file (device and inode, links followed).
bool Mismo_Archivo(const QString& a, const QString& b);

}  // namespace aq
