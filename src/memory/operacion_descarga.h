#pragma once
#include <QByteArray>
#include <QString>
#include <QStringList>
#include <functional>
#include <vector>

#include "core/contexto.h"
#include "memory/archivos.h"
#include "memory/descarga.h"

namespace aq {

inline const QString Titulo_Advertencia_Archivo = QStringLiteral("Advertencia !!!!");
inline const QString Titulo_Error_Archivo = QStringLiteral("Error de archivo");
inline const QString Titulo_Checksum = QStringLiteral("Checksum wrong");

inline const QString Texto_Extension_Incorrecta = QStringLiteral("extención incorrecta");
inline const QString Texto_Permiso_Denegado =
    Mensaje_Error_Archivo(Falla_Archivo::Permiso_Denegado);
inline const QString Texto_Sobrescribir =
    QStringLiteral("El archivo seleccionado ya existe\ndesea sobreescribirlo ?");
inline const QString Texto_Error_016 = QStringLiteral(
    "Error 016, El equipo no responde de manera adecuada.\n"
    "posiblemente a causa de INTERFERENCIAS.\n"
    "Vuelva a intentar el procedimiento.");
inline const QString Texto_Error_005 =
    QStringLiteral("Error 005, el lazo de comunicación se ha interrumpido.\n");
inline const QString Texto_Error_006 =
    QStringLiteral("Error 006 hubo un error durante la recepción");
inline const QString Texto_Disco_Lleno_Lista = QStringLiteral(
    "El disco está lleno y por esta razón \n"
    "NO PODRÁ VISUALIZAR LOS DATOS RECOGIDOS.\n"
    "Sin embargo los mismos AÚN ESTÁN GUARDADOS\n"
    "en el archivo que Usted ha solicitado.\n");
inline const QString Titulo_Disco_Lleno_Lista = QStringLiteral("Advertencia !!!");

// --- The chosen file ---

enum class Fin_Destino {
    Libre,                 // may be written
    Existente,             // a plain file is there: ask before overwriting it
    Extension_Incorrecta,  // two full stops in the path: choose again
    Permiso_Denegado,      // forbidden name, or something that is not a plain writable file
};

// The name checks of the save dialog, in its order, on the whole path (the dialog's rule) or
// on the file's own name only (the command line's, where a folder may have full stops). Hidden
// files are not looked for.
enum class Alcance_Nombre { Ruta, Archivo };
Fin_Destino Revisar_Destino(const QString& ruta, Alcance_Nombre alcance = Alcance_Nombre::Ruta);

// Checks that the chosen file can be written, leaving it as it is: its folder takes a new file,
// and it is no device, pipe, socket or folder, nor a read-only file.
Falla_En_Archivo Preparar_Destino(const QString& ruta);

// --- The download ---

// What keeps a good download beyond its files (the station archive). It gets ready while the
// dump arrives, so that once the last character is in only the writing is left.
class Registro_Descarga {
  public:
    virtual ~Registro_Descarga() = default;
    // Right after "DDD" leaves: connect, prepare, tidy up.
    virtual void Preparar() = 0;
    // A whole, verified memory (elements 0..4097) and the path its backup should have, once
    // the backup is written and before the data files are.
    virtual void Entregar(const std::vector<QByteArray>& imagen, const QString& ruta_respaldo) = 0;
    // After the data files: the line the download shows.
    virtual QString Registrar() = 0;
    // The files it keeps, which the download's data files may never replace.
    virtual QStringList Archivos() const { return {}; }
};

// Steps that the windows follow; every member may be left empty.
struct Seguimiento_Descarga {
    std::function<void()> verificando_enlace;   // before the link check
    std::function<void()> enlace_verificado;    // after it and its pause
    std::function<void(const QString&)> etapa;  // "Recibiendo ...", ..., "Guardado."
    // Each bar (reception, backup) starts with a 0 that carries its maximum.
    std::function<void(int valor, int maximo)> avance;
    // Error 005 and Error 006 when they are found; the download goes on.
    std::function<void(const QString& texto, const QString& titulo)> aviso;
    // File failures as they happen (the result keeps them too): the backup, before
    // "Guardando ...", then the chosen file and "temp.tmp", before "Guardado.".
    std::function<void(const Falla_En_Archivo&)> falla_respaldo;
    std::function<void(const Falla_En_Archivo&)> falla_archivo;
    // Given a good download after its backup, asked for its line after the data files.
    Registro_Descarga* registro = nullptr;
};

struct Resultado_Descarga {
    bool enlace = false;  // the link check was answered "OK"; nothing else ran otherwise
    int recibidos = 0;    // characters waiting when the reception ended
    bool corta = false;   // fewer than 20487 characters (or the line dropped)
    bool checksum_bueno = false;
    QString respaldo;                      // backup path
    QString visualizacion;                 // "temp.tmp" in the backup folder, once written
    Falla_En_Archivo falla_respaldo;       // backup or its copy DUMP.$$$ not written
    Falla_En_Archivo falla_datos;          // the chosen file
    Falla_En_Archivo falla_visualizacion;  // "temp.tmp"
    QString registro;                      // the line of Registro_Descarga; empty when none ran

    // Received whole, verified and backed up: the logger's memory may be erased.
    bool Memoria_Segura() const { return enlace && !corta && checksum_bueno && !falla_respaldo; }
};

// The whole download into `ruta` (already checked and prepared): receive buffer enlarged, link
// check, "DDD", reception, image, checksum, backup in Directorio_Bak and its copy DUMP.$$$,
// decoding into `ruta` and "temp.tmp" (both with their work files in Directorio_Bak, or in a
// temporary folder when it cannot be written), receive buffer restored. A relative `ruta` is
// taken from the process's folder. The decoding runs whenever the image is complete in memory,
// even when its backup could not be written. Memoria_Leida is false from the start and true at
// the end only when the memory is safe (Memoria_Segura).
Resultado_Descarga Descargar_Memoria(Contexto& ctx, const QString& ruta,
                                     const Seguimiento_Descarga& seguimiento = {});

// The backup that could not be written (error box, critical icon, title "Error de archivo"):
// the file failure, then what it means for the readings and the erase.
QString Mensaje_Respaldo_Fallido(const Falla_En_Archivo& falla);

}  // namespace aq
