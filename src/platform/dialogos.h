#pragma once
#include <QString>

namespace aq {

enum class Icono { Ninguno, Exclamacion, Critico, Informacion, Pregunta };
enum class Botones { Aceptar, Aceptar_Cancelar };
enum class Respuesta { Aceptar, Cancelar };

// Message boxes and file dialogs. Texts are passed exactly as the program words them
// (line feeds and carriage returns included); the implementation decides how to render them.
class Dialogos {
  public:
    virtual ~Dialogos() = default;
    virtual Respuesta MsgBox(const QString& texto, Icono icono, Botones botones,
                             const QString& titulo) = 0;
    // `filtro` uses the "description|pattern|description|pattern|" form.
    // Both return the chosen path, or an empty string when cancelled.
    virtual QString Guardar_Archivo(const QString& filtro, const QString& directorio_inicial) = 0;
    virtual QString Abrir_Archivo(const QString& filtro, const QString& directorio_inicial) = 0;
};

}  // namespace aq
