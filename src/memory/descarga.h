#pragma once
#include <QByteArray>
#include <QString>
#include <functional>
#include <vector>

#include "link/sondeo.h"
#include "memory/archivos.h"
#include "platform/puerto.h"
#include "platform/reloj.h"

namespace aq {

// The dump: 4096 words of 5 characters, the checksum word and two closing characters.
constexpr int Largo_Volcado = 20487;
constexpr int Caracteres_Memoria = 20480;
constexpr int Elementos_Respaldo = 4098;
constexpr int Buffer_Descarga = 21000;
constexpr int Buffer_Normal = 1024;
constexpr double Limite_Recepcion = 45.0;
constexpr char Caracter_Relleno = '*';

inline const QByteArray Comando_Volcado = QByteArrayLiteral("DDD");
inline const QString Filtro_Datos = QStringLiteral(
    "CSV (delimitado por comas) (*.csv)|*.csv|"
    "Texto (delimitado por tabulaciones) (*.txt)|*.txt|");
inline const QString Archivo_Copia_Volcado = QStringLiteral("DUMP.$$$");
inline const QString Archivo_Visualizacion = QStringLiteral("temp.tmp");
// What a download that was short or failed its checksum says of the station archive.
inline const QString Texto_Descarga_No_Archivada = QStringLiteral(
    "No se actualizó el archivo histórico: la descarga no fue completa o su verificación falló.");

// --- The chosen file name ---

// "*.*.*": two or more full stops anywhere in the path, folders included.
bool Tiene_Dos_Puntos(const QString& ruta);
// Executables, archives and the help text may never be overwritten, in any letter case.
bool Es_Nombre_Prohibido(const QString& ruta);
// ";" for a .csv name in any letter case, tab otherwise.
QByteArray Separador_Para(const QString& ruta);
// Backup path in `directorio_bak` for the chosen path: ".$%c" / ".$%t" replace a lower-case
// ".csv" / ".txt"; any other name keeps its whole name and gets ".$%&".
QString Ruta_Respaldo(const QString& elegido, const QString& directorio_bak);

// --- The line ---

struct Recepcion {
    QByteArray texto;          // everything that was waiting, as received
    int recibidos = 0;         // the count of waiting characters when the wait ended
    bool linea_caida = false;  // the port closed under us
    bool Corta() const { return linea_caida || recibidos < Largo_Volcado; }
};

// Lets the dump accumulate in the port's buffer until exactly `Largo_Volcado` characters are
// waiting or `limite` seconds have passed, then takes it in one read. Window events run on
// every pass; `avance` gets the waiting count. Sleeps on the port between passes.
Recepcion Recibir_Volcado(Puerto_Serie& puerto, Reloj& reloj,
                          const std::function<void(int)>& avance = {},
                          double limite = Limite_Recepcion);

// --- The image ---

// Pads a short text with '*' up to `Largo_Volcado`.
QByteArray Completar_Volcado(QByteArray texto);
// Groups of 5 characters into elements 0..4097 (the last one holds what is left).
void Dividir_Volcado(const QByteArray& texto, std::vector<QByteArray>& imagen);
// Sum of the memory characters, mod 65536, mod 10000.
int Valor_Verificacion(const QByteArray& texto);
// The checksum word as sent: blanks skipped, then decimal digits; 0 when none.
int Valor_Recibido(const QByteArray& palabra);
bool Checksum_Correcto(const QByteArray& texto, const QByteArray& palabra_checksum);

// --- The backup ---

using Falla_Respaldo = Falla_En_Archivo;

// Replaces the backup at `ruta` (even a read-only one) with elements 0..4097 of `imagen`, one
// per CR LF line, then `directorio_raiz`/DUMP.$$$ with the same, and leaves the backup
// read-only. Each file is put in place only once written whole: after a failure the earlier
// one is as it was. `avance` gets the index of each element.
Falla_Respaldo Guardar_Respaldo(const std::vector<QByteArray>& imagen, const QString& ruta,
                                const QString& directorio_raiz,
                                const std::function<void(int)>& avance = {});

// --- Closing ---

}  // namespace aq
