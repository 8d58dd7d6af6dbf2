#pragma once
#include <QList>
#include <QMap>
#include <QStringList>
#include <functional>

#include "platform/ayuda.h"
#include "platform/dialogos.h"
#include "platform/perfil.h"

namespace aq {

// Records every box and dialog; answers from a script (OK / cancel when the script is empty).
class Dialogos_Guionados : public Dialogos {
  public:
    struct Caja {
        QString texto;
        Icono icono;
        Botones botones;
        QString titulo;
    };
    struct Archivo {
        bool guardar;
        QString filtro;
        QString directorio;
    };

    Respuesta MsgBox(const QString& texto, Icono icono, Botones botones,
                     const QString& titulo) override;
    QString Guardar_Archivo(const QString& filtro, const QString& directorio_inicial) override;
    QString Abrir_Archivo(const QString& filtro, const QString& directorio_inicial) override;

    QList<Caja> cajas;
    QList<Archivo> archivos;
    QList<Respuesta> respuestas;                  // consumed in order
    QStringList rutas;                            // answers of the file dialogs, consumed in order
    std::function<void(const Caja&)> al_mostrar;  // runs while a box is "open"

    QStringList Textos() const;
};

class Perfil_Memoria : public Perfil {
  public:
    QString GetProfileString(const QString& seccion, const QString& clave,
                             const QString& defecto) override;
    int GetProfileInt(const QString& seccion, const QString& clave, int defecto) override;
    bool WriteProfileString(const QString& seccion, const QString& clave,
                            const QString& valor) override;
    bool Borrar_Seccion(const QString& seccion) override;

    QMap<QString, QMap<QString, QString>> secciones;
    bool falla_escritura = false;
};

// A profile whose "Comm 1" is the device `dispositivo` (a pseudo-terminal, in practice).
inline Perfil_Memoria Perfil_Con_Com1(const QString& dispositivo) {
    Perfil_Memoria p;
    p.secciones[QStringLiteral("Puertos")][QStringLiteral("COM1")] = dispositivo;
    return p;
}

class Ayuda_Registro : public Ayuda {
  public:
    bool Mostrar(const QString& archivo, QString* error) override;
    QStringList abiertos;
    QString falla;  // when not empty, opening fails with this description
};

}  // namespace aq
