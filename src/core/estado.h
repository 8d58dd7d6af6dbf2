#pragma once
#include <QByteArray>
#include <QString>
#include <QStringList>
#include <array>
#include <vector>

namespace aq {

inline const QString Titulo_Aplicacion = QStringLiteral("Brisna Ingeniería - AQ-TIDE 1.0");
constexpr int Revision_Programa = 17;

constexpr int Palabras_Memoria = 4096;
constexpr int Elementos_Imagen = 4099;

// The program-wide variables: one copy each, owned by the application for the whole run.
struct Estado {
    QString Seccion_Ini = QStringLiteral("BRISNA AQ-TIDE 1.0");
    bool Instalando = false;
    int Puerto_Com = 0;
    QString Directorio_Raiz;
    QString Directorio_Datos;
    QString Directorio_Bak;
    bool Memoria_Leida = false;

    // The text after the program name on the command line ("/ADMINISTRADOR" for maintenance).
    QString Linea_Comandos;

    // Last successful status poll.
    QString Dia_Equipo, Mes_Equipo, Anio_Equipo, Hora_Equipo, Minuto_Equipo;
    int Intervalo_Equipo = -1;  // -1 until an interval text is recognised
    QString Modo_Equipo;
    QString Registros_Ocupados;

    std::array<QString, 13> Nombres_Meses;
    std::array<int, 13> Dias_Mes{};

    // Elements 0..4095 memory words ("AA55 "), 4096 checksum word, 4097 closing characters.
    // Bytes as received (single-byte characters).
    std::vector<QByteArray> Imagen_Memoria = std::vector<QByteArray>(Elementos_Imagen);
    qint16 Cantidad_Bloques = 0;
    qint16 Total_Lecturas = 0;
    qint16 Lugares_Vacios = 0;

    // Identity reply of a logger with another firmware version (left by Enviar_Comando).
    QByteArray Version_Firmware;
};

}  // namespace aq
