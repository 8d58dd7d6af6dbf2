#include "core/configuracion.h"

#include <QCoreApplication>

#include <QDir>
#include <QFileInfo>

namespace aq {

void Preparar_Aplicacion() {
    QCoreApplication::setApplicationName(QStringLiteral("aqtide"));
    QCoreApplication::setApplicationVersion(QStringLiteral("1.0.0.%1").arg(Revision_Programa));
}

namespace {

const QString Atencion = QStringLiteral("Atención !!!");

void Advertir(QList<Aviso_Ajustes>& avisos, const QStringList& lineas) {
    avisos.append({lineas.join('\n') + '\n', Icono::Exclamacion, Atencion});
}

QString Subdirectorio(const QString& base, const char* nombre) {
    return QDir::toNativeSeparators(QDir(base).filePath(QString::fromLatin1(nombre)));
}

void Primera_Vez(Contexto& ctx, const QString& inicio) {
    Estado& e = ctx.estado;
    e.Instalando = true;
    ctx.perfil.Borrar_Seccion(e.Seccion_Ini);
    const QDateTime ahora = ctx.reloj.Ahora();
    const QDate d = ahora.date();
    const QTime t = ahora.time();
    ctx.perfil.WriteProfileString(e.Seccion_Ini, "INSTALADO",
                                  QStringLiteral("%1/%2/%3    %4:%5:%6")
                                      .arg(d.day())
                                      .arg(d.month())
                                      .arg(d.year())
                                      .arg(t.hour())
                                      .arg(t.minute())
                                      .arg(t.second()));
    ctx.perfil.WriteProfileString(e.Seccion_Ini, "MSComm1_PORT", "1");
    const QString actual = QDir::toNativeSeparators(inicio);
    e.Directorio_Raiz = actual;
    e.Directorio_Datos = Subdirectorio(actual, "DATOS");
    e.Directorio_Bak = Subdirectorio(actual, "BAK");
    ctx.perfil.WriteProfileString(e.Seccion_Ini, "RAIZ", e.Directorio_Raiz);
    // Failures here are deliberately ignored: an existing directory is no error.
    QDir().mkdir(e.Directorio_Datos);
    ctx.perfil.WriteProfileString(e.Seccion_Ini, "DATOS", e.Directorio_Datos);
    QDir().mkdir(e.Directorio_Bak);
    ctx.perfil.WriteProfileString(e.Seccion_Ini, "BAK", e.Directorio_Bak);
    QFile::remove(QDir(inicio).filePath(QStringLiteral("inicial.txt")));
}

QString Leer_Directorio(const Estado& e, Perfil& perfil, QList<Aviso_Ajustes>& avisos,
                        const char* clave, const QStringList& aviso, const QString& inicio) {
    const QString valor =
        perfil.GetProfileString(e.Seccion_Ini, QString::fromLatin1(clave), "NADA");
    if (valor.isEmpty() || valor == "NADA" || !Existe_Directorio(valor)) {
        Advertir(avisos, aviso);
        return QDir::toNativeSeparators(inicio);
    }
    return valor;
}

}  // namespace

QList<Aviso_Ajustes> Leer_Ajustes(Estado& e, Perfil& perfil, const QString& inicio) {
    QList<Aviso_Ajustes> avisos;
    e.Instalando = false;
    const QString reinstalar = QStringLiteral("Recomendamos la reinstalación de este programa.");
    const QString corriente = QStringLiteral("Los datos se salvarán en el directorio corriente.");
    e.Directorio_Raiz =
        Leer_Directorio(e, perfil, avisos, "RAIZ",
                        {QStringLiteral("El directorio inicial del programa que se"),
                         QStringLiteral("halla especificado en WIN.INI no existe."), reinstalar},
                        inicio);
    e.Directorio_Datos = Leer_Directorio(
        e, perfil, avisos, "DATOS",
        {QStringLiteral("El directorio por defecto para guardar los datos"),
         QStringLiteral("que se halla especificado en WIN.INI no existe."), corriente, reinstalar},
        inicio);
    e.Directorio_Bak = Leer_Directorio(
        e, perfil, avisos, "BAK",
        {QStringLiteral("El directorio por defecto para resguardo de información"),
         QStringLiteral("compactada que se halla especificado en WIN.INI no existe."), corriente,
         reinstalar},
        inicio);

    const int puerto = perfil.GetProfileInt(e.Seccion_Ini, "MSComm1_PORT", -1);
    const QString asumiremos = QStringLiteral("Asumiremos COM1. Si lo desea cámbielo en Opciones.");
    if (puerto == -1 || puerto == 0) {
        e.Puerto_Com = 1;
        Advertir(avisos, {QStringLiteral("El puerto de comunicaciones serial no figura en WIN.INI"),
                          asumiremos, reinstalar});
    } else if (puerto < 1 || puerto > 4) {
        e.Puerto_Com = 1;
        Advertir(avisos,
                 {QStringLiteral("El puerto de comunicaciones serial que figura en WIN.INI"),
                  QStringLiteral("no está adecuadamente especificado."), asumiremos, reinstalar});
    } else {
        e.Puerto_Com = puerto;
    }
    return avisos;
}

bool Existe_Archivo(const QString& ruta) {
    return QFileInfo(ruta).isFile();
}

bool Existe_Directorio(const QString& ruta) {
    return !ruta.isEmpty() && QFileInfo::exists(ruta);
}

bool Leer_Configuracion(Contexto& ctx, const QString& inicio, QList<Aviso_Ajustes>* avisos) {
    avisos->clear();
    ctx.estado.Memoria_Leida = false;
    ctx.estado.Seccion_Ini = QStringLiteral("BRISNA AQ-TIDE 1.0");
    if (Existe_Archivo(QDir(inicio).filePath(QStringLiteral("inicial.txt")))) {
        Primera_Vez(ctx, inicio);
        return true;
    }
    *avisos = Leer_Ajustes(ctx.estado, ctx.perfil, inicio);
    return false;
}

}  // namespace aq
