#include "memory/operacion_descarga.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include "link/enlace.h"
#include "link/saludo.h"
#include "link/sondeo.h"
#include "memory/decodificador.h"

namespace aq {

Fin_Destino Revisar_Destino(const QString& ruta, Alcance_Nombre alcance) {
    const QFileInfo info(ruta);
    const QString nombre = alcance == Alcance_Nombre::Archivo ? info.fileName() : ruta;
    if (Tiene_Dos_Puntos(nombre)) return Fin_Destino::Extension_Incorrecta;
    if (Es_Nombre_Prohibido(nombre)) return Fin_Destino::Permiso_Denegado;
    if (info.fileName().startsWith(QLatin1Char('.')) || !(info.exists() || info.isSymLink()))
        return Fin_Destino::Libre;
    // The owner's write bit stands for the read-only attribute (root may write anyway).
    if (!info.isFile() || !info.isWritable() || !(info.permissions() & QFileDevice::WriteOwner))
        return Fin_Destino::Permiso_Denegado;
    return Fin_Destino::Existente;
}

Falla_En_Archivo Preparar_Destino(const QString& ruta) {
    // A trial of the writer the decoding will use, dropped at once: it makes its file beside
    // the target, so a folder that cannot take it or a target that is no plain file shows now,
    // and nothing at the target is opened, created or touched.
    Escritura_Segura prueba(ruta);
    if (!prueba.Abrir()) return prueba.Falla();
    const QFileInfo info(ruta);
    if (info.exists() && !info.isWritable()) return {Falla_Archivo::Permiso_Denegado, ruta};
    return {};
}

Resultado_Descarga Descargar_Memoria(Contexto& ctx, const QString& ruta_elegida,
                                     const Seguimiento_Descarga& s) {
    auto etapa = [&](const char* texto) {
        if (s.etapa) s.etapa(QString::fromUtf8(texto));
    };
    auto avance = [&](int valor, int maximo) {
        if (s.avance) s.avance(valor, maximo);
    };
    auto aviso = [&](const QString& texto, const QString& titulo) {
        if (s.aviso) s.aviso(texto, titulo);
    };
    Estado& e = ctx.estado;
    Puerto_Serie& puerto = ctx.puerto;
    const QString ruta = QFileInfo(ruta_elegida).absoluteFilePath();
    Resultado_Descarga r;

    Reabrir_Puerto(puerto, Buffer_Descarga);
    puerto.setInputLen(0);
    e.Memoria_Leida = false;

    if (s.verificando_enlace) s.verificando_enlace();
    r.enlace = Verificar_Enlace(ctx) == Resp_OK;
    Esperar_Medio_Segundo(ctx.reloj);
    if (s.enlace_verificado) s.enlace_verificado();
    if (!r.enlace) {
        Reabrir_Puerto(puerto, Buffer_Normal);
        return r;
    }

    puerto.Output(Comando_Volcado);
    // The logger takes longer to answer than this takes; what arrives meanwhile waits.
    if (s.registro) s.registro->Preparar();
    avance(0, Largo_Volcado);
    etapa("Recibiendo ...");
    const Recepcion recepcion =
        Recibir_Volcado(puerto, ctx.reloj, [&](int n) { avance(n, Largo_Volcado); });
    r.recibidos = recepcion.recibidos;
    r.corta = recepcion.Corta();
    const QByteArray texto = Completar_Volcado(recepcion.texto);
    if (r.corta) aviso(Texto_Error_005, Titulo_Error_Link);

    auto& imagen = e.Imagen_Memoria;
    Dividir_Volcado(texto, imagen);

    // A missing backup folder shows up as a file failure when the backup is written.
    avance(0, Elementos_Respaldo - 1);
    etapa("Verificando ...");
    r.checksum_bueno = Checksum_Correcto(texto, imagen[Palabras_Memoria]);
    if (!r.checksum_bueno) aviso(Texto_Error_006, Titulo_Checksum);

    etapa("Procesando ...");
    r.respaldo = Ruta_Respaldo(ruta, e.Directorio_Bak);
    r.falla_respaldo = Guardar_Respaldo(imagen, r.respaldo, e.Directorio_Raiz,
                                        [&](int k) { avance(k, Elementos_Respaldo - 1); });
    if (r.falla_respaldo && s.falla_respaldo) s.falla_respaldo(r.falla_respaldo);
    Registro_Descarga* const registro = !r.corta && r.checksum_bueno ? s.registro : nullptr;
    if (registro) registro->Entregar(imagen, r.respaldo);

    // The image is whole in memory whatever became of its backup: the readings are saved.
    etapa("Guardando ...");
    r.visualizacion = QDir(e.Directorio_Bak).absoluteFilePath(Archivo_Visualizacion);
    const QStringList ajenos = s.registro ? s.registro->Archivos() : QStringList();
    for (auto [falla, destino, separador] :
         {std::tuple{&r.falla_datos, ruta, Separador_Para(ruta)},
          std::tuple{&r.falla_visualizacion, r.visualizacion, QByteArrayLiteral("\t")}}) {
        *falla = Analizar_Memoria(e, destino, separador, e.Directorio_Bak, ajenos);
        if (*falla && s.falla_archivo) s.falla_archivo(*falla);
    }
    if (registro) r.registro = registro->Registrar();
    // Reopening the port takes a while on some adapters: the files come first.
    Reabrir_Puerto(puerto, Buffer_Normal);

    etapa("Guardado.");
    avance(0, Elementos_Respaldo - 1);
    // Only a whole, verified memory with its backup on disk may later be erased.
    e.Memoria_Leida = r.Memoria_Segura();
    return r;
}

QString Mensaje_Respaldo_Fallido(const Falla_En_Archivo& falla) {
    return Mensaje_Error_Archivo(falla.tipo) +
           QStringLiteral(
               "\nNo se pudo guardar el resguardo %1.\n"
               "Los datos se guardan igualmente en el archivo elegido;\n"
               "no podrá borrar la memoria hasta una lectura con resguardo.")
               .arg(QDir::toNativeSeparators(falla.ruta));
}

}  // namespace aq
