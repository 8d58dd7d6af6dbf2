#include <QDateTime>
#include <QDir>
#include <QFileInfo>

#include "archivo/archivo_historico.h"
#include "link/enlace.h"
#include "link/saludo.h"
#include "memory/operacion_borrado.h"
#include "memory/operacion_descarga.h"

#include "comandos.h"

namespace cli {

namespace {

// Progress on standard error: a bar redrawn in place on a terminal, otherwise one line for
// every tenth of the way, so that a log stays short.
class Progreso {
  public:
    explicit Progreso(Sesion& s) : s_(s), terminal_(s.consola.Errores_Es_Terminal()) {}
    ~Progreso() { Cerrar_Barra(); }

    void Etapa(const QString& texto) {
        Cerrar_Barra();
        etapa_ = texto;
        ultimo_ = -1;
        // On a terminal the bar is drawn on the stage's own line.
        s_.consola.Errores(terminal_ ? texto : texto + QLatin1Char('\n'));
        barra_ = terminal_;
    }

    void Avance(int valor, int maximo) {
        if (maximo <= 0 || valor <= 0) return;
        const int por_ciento = static_cast<int>(qMin<qint64>(100, qint64(valor) * 100 / maximo));
        if (terminal_) {
            if (por_ciento == ultimo_ || !barra_) return;
            ultimo_ = por_ciento;
            const int llenos = por_ciento * Ancho / 100;
            s_.consola.Errores(QStringLiteral("\r%1 [%2%3] %4 %")
                                   .arg(etapa_)
                                   .arg(QString(llenos, QLatin1Char('#')))
                                   .arg(QString(Ancho - llenos, QLatin1Char('.')))
                                   .arg(por_ciento, 3));
        } else {
            if (ultimo_ < 0) ultimo_ = 0;
            while (ultimo_ / 10 < por_ciento / 10) {
                ultimo_ += 10;
                s_.consola.Errores(QStringLiteral("%1 %2 %\n").arg(etapa_).arg(ultimo_));
            }
        }
    }

    void Cerrar_Barra() {
        if (barra_) s_.consola.Errores(QStringLiteral("\n"));
        barra_ = false;
    }

  private:
    static constexpr int Ancho = 40;
    Sesion& s_;
    bool terminal_;
    QString etapa_;
    int ultimo_ = -1;
    bool barra_ = false;
};

// Confirmation of an erase: --si, or a yes on a terminal.
enum class Confirmacion { Dada, Pedir, Imposible };

Confirmacion Confirmacion_Borrado(Sesion& s, bool si) {
    if (si) return Confirmacion::Dada;
    return s.consola.Entrada_Es_Terminal() ? Confirmacion::Pedir : Confirmacion::Imposible;
}

int Borrar(Sesion& s, Confirmacion confirmacion) {
    Progreso progreso(s);
    aq::Seguimiento_Borrado seguimiento;
    if (confirmacion == Confirmacion::Pedir)
        seguimiento.confirmar = [&] { return s.Preguntar(aq::Texto_Confirmar_Borrado); };
    bool empezado = false;
    seguimiento.avance = [&](int valor, int maximo) {
        if (!empezado) progreso.Etapa(QStringLiteral("Borrando ..."));
        empezado = true;
        progreso.Avance(valor, maximo);
    };
    const aq::Resultado_Borrado r = aq::Borrar_Memoria_Equipo(s.ctx(), seguimiento);
    progreso.Cerrar_Barra();
    if (r.fin == aq::Fin_Borrado_Equipo::Cancelado) {
        s.Aviso(QStringLiteral("Borrado cancelado."));
        return Rechazo;
    }
    s.Aviso(aq::Mensaje_Resultado_Borrado(r.fin));
    return r.fin == aq::Fin_Borrado_Equipo::Borrada ? Exito : Rechazo;
}

// Two names of one place, whether or not a file is there yet (folders' links resolved).
bool Misma_Ruta(const QString& a, const QString& b) {
    auto real = [](const QString& ruta) {
        const QFileInfo f(ruta);
        const QString carpeta = QDir(f.absolutePath()).canonicalPath();
        return carpeta.isEmpty() ? f.absoluteFilePath() : carpeta + QLatin1Char('/') + f.fileName();
    };
    return real(a) == real(b);
}

int Terminar(Sesion& s, int salida) {
    // The logger is left in the mode it was found in, as the windows leave it.
    aq::Reponer_Modo(s.ctx());
    return salida;
}

}  // namespace

int Orden_Descargar(Sesion& s, const QStringList& args) {
    QString salida;
    bool sobrescribir = false, y_borrar = false, si = false;
    for (const QString& a : args) {
        if (a == QLatin1String("--sobrescribir"))
            sobrescribir = true;
        else if (a == QLatin1String("--y-borrar"))
            y_borrar = true;
        else if (a == QLatin1String("--si"))
            si = true;
        else if (a.startsWith(QLatin1String("--")) || !salida.isEmpty())
            return Uso_De("descargar");
        else
            salida = a;
    }
    if (salida.isEmpty()) return Uso_De("descargar");
    const Confirmacion confirmacion = Confirmacion_Borrado(s, si);
    if (y_borrar && confirmacion == Confirmacion::Imposible) {
        s.Aviso(QStringLiteral("--y-borrar sin terminal para confirmar exige --si."));
        return Uso;
    }

    const QString ruta = QFileInfo(salida).absoluteFilePath();
    switch (aq::Revisar_Destino(ruta, aq::Alcance_Nombre::Archivo)) {
        case aq::Fin_Destino::Extension_Incorrecta:
            s.Aviso(aq::Texto_Extension_Incorrecta);
            return Uso;
        case aq::Fin_Destino::Permiso_Denegado:
            s.Aviso(aq::Texto_Permiso_Denegado);
            return Archivo;
        case aq::Fin_Destino::Existente:
            if (!sobrescribir) {
                s.Aviso(aq::Texto_Sobrescribir.section(QLatin1Char('\n'), 0, 0) +
                        QStringLiteral(": ") + QDir::toNativeSeparators(ruta) +
                        QStringLiteral("\nPara reemplazarlo, use --sobrescribir."));
                return Archivo;
            }
            break;
        case aq::Fin_Destino::Libre:
            break;
    }
    s.Ajustes(true);
    const aq::Estado& e = s.estado();
    aq::Archivador_Descarga archivador(s.perfil(), e.Directorio_Raiz);
    const QStringList propios =
        QStringList{aq::Ruta_Respaldo(ruta, e.Directorio_Bak),
                    QDir(e.Directorio_Raiz).filePath(aq::Archivo_Copia_Volcado),
                    QDir(e.Directorio_Bak).filePath(aq::Archivo_Visualizacion)} +
        archivador.Archivos();
    for (const QString& otro : propios) {
        if (Misma_Ruta(ruta, otro)) {
            s.Aviso(QDir::toNativeSeparators(ruta) +
                    QString::fromUtf8(": la descarga escribe allí su resguardo, DUMP.$$$, "
                                      "temp.tmp o el archivo histórico; elija otro archivo."));
            return Archivo;
        }
    }
    if (const aq::Falla_En_Archivo falla = aq::Preparar_Destino(ruta)) {
        s.Aviso(aq::Mensaje_Error_Archivo(falla.tipo));
        return Archivo;
    }
    if (!s.Abrir(true)) return Rechazo;

    Progreso progreso(s);
    aq::Seguimiento_Descarga seguimiento;
    seguimiento.etapa = [&](const QString& t) { progreso.Etapa(t); };
    seguimiento.avance = [&](int valor, int maximo) { progreso.Avance(valor, maximo); };
    seguimiento.aviso = [&](const QString& texto, const QString&) {
        progreso.Cerrar_Barra();
        s.Aviso(texto);
    };
    seguimiento.registro = &archivador;
    const aq::Resultado_Descarga r = aq::Descargar_Memoria(s.ctx(), ruta, seguimiento);
    progreso.Cerrar_Barra();
    if (!r.enlace) {
        s.Aviso(aq::Texto_Error_016);
        return Terminar(s, Rechazo);
    }

    bool fallo_archivo = false, sin_archivar = false;
    if (r.falla_respaldo) {
        s.Aviso(aq::Mensaje_Respaldo_Fallido(r.falla_respaldo));
        fallo_archivo = true;
    }
    for (const aq::Falla_En_Archivo& f : {r.falla_datos, r.falla_visualizacion}) {
        if (!f) continue;
        s.Aviso(QDir::toNativeSeparators(f.ruta) + QStringLiteral(":\n") +
                aq::Mensaje_Error_Archivo(f.tipo));
        fallo_archivo = true;
    }
    if (!r.falla_datos) s.Datos(QStringLiteral("Datos en: ") + QDir::toNativeSeparators(ruta));
    if (!r.falla_respaldo)
        s.Datos(QStringLiteral("Resguardo en: ") + QDir::toNativeSeparators(r.respaldo));

    const bool transferencia_mala = r.corta || !r.checksum_bueno;
    if (transferencia_mala) {
        s.Aviso(
            QStringLiteral("La memoria no llegó completa y verificada: los archivos se "
                           "escribieron igualmente,\npero sus datos no son confiables."));
        s.Aviso(aq::Texto_Descarga_No_Archivada);
    } else {
        sin_archivar = archivador.Fallo();
        if (sin_archivar)
            s.Aviso(r.registro);
        else
            s.Datos(r.registro);
    }
    if (transferencia_mala) return Terminar(s, Rechazo);
    if (fallo_archivo) return Terminar(s, Archivo);
    // The data are safe in the files: the archive's failure does not hold back the erase, but
    // it keeps a status of its own when nothing else failed.
    const int bien = sin_archivar ? Sin_Archivar : Exito;
    if (!y_borrar) return Terminar(s, bien);
    if (!s.estado().Memoria_Leida) {
        s.Aviso(aq::Texto_Borrar_Sin_Lectura);
        return Terminar(s, Rechazo);
    }
    const int borrado = Borrar(s, confirmacion);
    return Terminar(s, borrado == Exito ? bien : borrado);
}

int Orden_Borrar(Sesion& s, const QStringList& args) {
    bool si = false, sin_descarga = false;
    for (const QString& a : args) {
        if (a == QLatin1String("--si"))
            si = true;
        else if (a == QLatin1String("--sin-descarga-previa"))
            sin_descarga = true;
        else
            return Uso_De("borrar");
    }
    // Only a memory saved in this same run may be erased, unless the user says plainly that
    // it need not be.
    if (!sin_descarga || !si) {
        s.Aviso(aq::Texto_Borrar_Sin_Lectura +
                QStringLiteral("Use «descargar SALIDA --y-borrar», o «borrar "
                               "--sin-descarga-previa --si» para borrar sin guardarla."));
        return Uso;
    }
    if (!s.Abrir()) return Rechazo;
    return Terminar(s, Borrar(s, Confirmacion::Dada));
}

}  // namespace cli
