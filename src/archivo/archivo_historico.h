#pragma once
#include <QByteArray>
#include <QDate>
#include <QDateTime>
#include <QString>
#include <QStringList>
#include <memory>
#include <optional>
#include <vector>

#include "archivo/destino.h"
#include "archivo/niveles.h"
#include "core/fecha_equipo.h"
#include "memory/operacion_descarga.h"

QT_FORWARD_DECLARE_CLASS(QSqlQuery)

namespace aq {

// The schema this program writes; an archive of a later one is refused and left untouched.
constexpr int Version_Esquema = 2;

enum class Fin_Archivo {
    Bien,
    Ya_Archivado,        // that backup (same SHA-256) is in the archive already
    Sin_Conexion,        // server not reachable, or the file cannot be opened
    Sin_Controlador,     // this installation lacks the database driver
    Esquema_Nuevo,       // written by a newer version; refused, not touched
    No_Es_Archivo,       // the file holds some other database
    Falla_Base,          // a statement failed; its transaction was undone
    Respaldo_Ilegible,   // backup missing, unreadable or not a whole memory
    Respaldo_Invalido,   // backup or download whose checksum disagrees
    Falla_Salida,        // the export file could not be written
    Equipo_Desconocido,  // no station with that number
    Sin_Lectura_Manual,  // no manual reading at that time
};

struct Resultado_Archivo {
    Fin_Archivo fin = Fin_Archivo::Bien;
    QString detalle;      // the driver's or the file system's words, when there are any
    int lecturas = 0;     // readings of the memory, or written to the export
    int nuevas = 0;       // readings the archive did not hold yet
    int descartadas = 0;  // readings with a date that no calendar has (day 0, 31 April...)
    explicit operator bool() const { return fin == Fin_Archivo::Bien; }
};

// The outcome's reason in Spanish (without the "No se actualizó ..." lead-in).
QString Mensaje_Archivo(const Resultado_Archivo& resultado);
// What a download reports when its archiving failed: "No se actualizó el archivo histórico: "
// and the reason. Empty when the download is in the archive (new or already there).
QString Aviso_Descarga(const Resultado_Archivo& resultado);

struct Resumen_Estacion {
    int equipo = 0;
    QString nombre, nota;
    qint64 lecturas = 0;
    QDateTime primera, ultima;  // first and last reading (logger's clock)
    QDateTime ultima_descarga;
    qint64 conflictos = 0;  // times that hold more than one value
    int descargas = 0;
    std::optional<double> referencia;  // elevation of the well's reference point [m]
};

struct Descarga_Archivada {
    qint64 id = 0;
    QDateTime momento;
    QString ruta;
    QString sha256;
    int lecturas = 0;  // of this station in that download
    int nuevas = 0;    // of the whole download, new when it was archived
};

// What an export writes: the series as stored, the series with depth to water and elevation,
// or one row per calendar day.
enum class Forma_Exportacion { Serie, Niveles, Diario };

// The archive of readings, stations and downloads, through Qt SQL. Every write is an upsert
// and every download one transaction, so several programs may write to one PostgreSQL archive
// at once.
class Archivo_Historico {
  public:
    Archivo_Historico();
    ~Archivo_Historico();
    Archivo_Historico(const Archivo_Historico&) = delete;
    Archivo_Historico& operator=(const Archivo_Historico&) = delete;

    // Connects, and brings an older schema up to date. A newer schema is refused untouched.
    Resultado_Archivo Abrir(const Destino_Archivo& destino);
    void Cerrar();
    bool Abierto() const { return abierto_; }
    const Destino_Archivo& Destino() const { return destino_; }
    // Gets the next Archivar ready: its statements prepared, the write-ahead log folded in, so
    // that the download's commit carries no checkpoint.
    void Preparar();

    // One download in one transaction: its readings, stations and record. `sha256` (hex) names
    // the raw backup, `ruta_respaldo` is empty when none was written. Every download is a
    // record of its own, even of a memory archived before; with `solo_nuevo` (an old backup
    // imported) a known SHA-256 gives Ya_Archivado and changes nothing.
    Resultado_Archivo Archivar(const std::vector<QByteArray>& imagen, const QString& sha256,
                               const QString& ruta_respaldo, const QDateTime& momento,
                               bool solo_nuevo = false);

    std::vector<Resumen_Estacion> Estaciones(Resultado_Archivo* resultado = nullptr);
    std::vector<Descarga_Archivada> Descargas(int equipo, Resultado_Archivo* resultado = nullptr);
    // The station's readings in time order, duplicates of one time (conflicts) included; null
    // dates leave that end open.
    std::vector<Punto_Serie> Serie(int equipo, const QDate& desde = QDate(),
                                   const QDate& hasta = QDate(),
                                   Resultado_Archivo* resultado = nullptr);

    // Name and, when given, note of a station (created when it is not known yet).
    Resultado_Archivo Nombrar(int equipo, const QString& nombre,
                              const std::optional<QString>& nota = std::nullopt);

    // The elevation of the station's reference point; none clears it.
    Resultado_Archivo Fijar_Referencia(int equipo, std::optional<double> cota_m);
    // A manual reading, replacing one at the same time.
    Resultado_Archivo Guardar_Manual(int equipo, const Lectura_Manual& lectura);
    Resultado_Archivo Borrar_Manual(int equipo, qint64 minuto);
    // In time order.
    std::vector<Lectura_Manual> Manuales(int equipo, Resultado_Archivo* resultado = nullptr);

    // Readings of one station from `desde` to `hasta` inclusive (null: open) to a CSV file
    // with ";", ISO 8601 times, CR LF; Latin-1 unless `utf8`. Levels take every manual reading
    // of the station, also those outside the period. `lecturas` of the result counts rows.
    Resultado_Archivo Exportar(int equipo, const QDate& desde, const QDate& hasta,
                               const QString& ruta, bool utf8,
                               Forma_Exportacion forma = Forma_Exportacion::Serie);

    QString Conexion() const { return conexion_; }

  private:
    struct Fila_Lectura {
        qint64 minuto;
        int valor, alcance;
    };
    struct SQLite_Directo;

    Resultado_Archivo Migrar();
    Resultado_Archivo Falla(Fin_Archivo fin, const QString& detalle);
    // Runs `sql` with the station number bound; false with the failure in `resultado` (when
    // given) if the archive is closed or the query fails.
    bool Consultar_Equipo(QSqlQuery& q, const char* sql, int equipo, Resultado_Archivo* resultado);
    // The station's readings in [desde, hasta] in time order (then by value).
    Resultado_Archivo Leer_Lecturas(int equipo, const QDate& desde, const QDate& hasta,
                                    std::vector<Fila_Lectura>& filas);

    // SQLite's own calls on this connection for the bulk of the rows, when the driver runs on
    // the library this program is linked with; null otherwise (and for PostgreSQL).
    std::unique_ptr<SQLite_Directo> directo_;
    Destino_Archivo destino_;
    QString conexion_;
    bool abierto_ = false;
};

// An export's name typed without an extension for a file that is not there yet gets ".csv".
QString Ruta_Exportacion(const QString& ruta);
// What an export wrote: "1 lectura", "N lecturas", or days for the daily export.
QString Texto_Exportadas(int filas, Forma_Exportacion forma);

// The archive the settings name (Destino_Configurado), opened; `destino` gets which one. A
// --base or profile text of the wrong form is Sin_Conexion with the reason as detail.
Resultado_Archivo Abrir_Archivo_Configurado(Archivo_Historico& archivo, Perfil& perfil,
                                            const QString& directorio_raiz,
                                            const QString& base_linea = QString(),
                                            Destino_Archivo* destino = nullptr);

// Used after a good download: its image (elements 0..4097) goes into the archive under the
// SHA-256 of its backup text. A download whose checksum disagrees is refused.
Resultado_Archivo Archivar_Descarga(Archivo_Historico& archivo,
                                    const std::vector<QByteArray>& imagen,
                                    const QString& ruta_respaldo, const QDateTime& momento);

// An old raw backup; its download time is the file's modification time. A backup with a
// checksum line that disagrees is refused.
Resultado_Archivo Importar_Respaldo(Archivo_Historico& archivo, const QString& ruta);

// ".$%c", ".$%t" or ".$%&".
bool Es_Nombre_Respaldo(const QString& ruta);
// The backups in `carpeta` (and below it when `recursivo`), sorted by path.
QStringList Respaldos_En(const QString& carpeta, bool recursivo);

// The backup text of an image (elements 0..4097, CR LF each), as the download writes it.
QByteArray Texto_Respaldo(const std::vector<QByteArray>& imagen);

// A good download into the archive the settings name. Preparar returns at once: a thread of
// its own connects and prepares while the dump arrives (a server slow to answer never holds
// up the reception), and writes the download Entregar hands over, its backup on disk, while
// the data files are written (never waiting inside a transaction); Registrar waits for it.
// Its line is "Archivo histórico: N lecturas nuevas de M." or "No se actualizó el archivo
// histórico: ..." (the files are written already, whatever this says).
class Archivador_Descarga : public Registro_Descarga {
  public:
    Archivador_Descarga(Perfil& perfil, const QString& directorio_raiz,
                        const QString& base_linea = QString());
    ~Archivador_Descarga() override;
    void Preparar() override;
    void Entregar(const std::vector<QByteArray>& imagen, const QString& ruta_respaldo) override;
    QString Registrar() override;
    QStringList Archivos() const override;
    // The last Registrar left the download out of the archive.
    bool Fallo() const { return fallo_; }

  private:
    struct Trabajo;
    std::unique_ptr<Trabajo> trabajo_;
    bool fallo_ = false;
};

}  // namespace aq
