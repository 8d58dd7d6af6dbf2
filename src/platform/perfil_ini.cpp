#include "platform/perfil_ini.h"

#include <SimpleIni.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>
#include <climits>
#include <string>

#include "platform/archivo_regular.h"
#include "platform/escritura_segura.h"

namespace aq {

namespace {

// A missing file is an empty profile; false only when an existing file cannot be read (it
// must then not be overwritten).
bool Cargar(CSimpleIniA& ini, const QString& archivo) {
    ini.SetSpaces(false);
    QFile f(archivo);
    switch (Abrir_Lectura_Regular(f)) {
        case Apertura::Abierto:
            break;
        case Apertura::Especial:
            return false;
        case Apertura::Fallo:
            return !QFileInfo::exists(archivo);
    }
    const QByteArray datos = f.readAll();
    return ini.LoadData(datos.constData(), static_cast<size_t>(datos.size())) >= 0;
}

bool Grabar(CSimpleIniA& ini, const QString& archivo) {
    std::string texto;
    if (ini.Save(texto) < 0) return false;
    QByteArray datos = QByteArray::fromStdString(texto);
    datos.replace("\r\n", "\n");
    datos.replace("\n", "\r\n");

    const QFileInfo info(archivo);
    if (info.exists() && !info.isWritable()) return false;
    if (!QDir().mkpath(info.absolutePath())) return false;
    // A full disk must not leave an empty file in the settings' place.
    return !Reemplazar_Archivo(archivo, datos);
}

QByteArray B(const QString& s) {
    return s.toLatin1();
}

}  // namespace

int Entero_De_Perfil(const QByteArray& valor) {
    int i = 0;
    const int n = valor.size();
    while (i < n && (valor[i] == ' ' || valor[i] == '\t')) ++i;
    bool negativo = false;
    if (i < n && (valor[i] == '-' || valor[i] == '+')) negativo = valor[i++] == '-';
    long long r = 0;
    for (; i < n && valor[i] >= '0' && valor[i] <= '9'; ++i) {
        r = r * 10 + (valor[i] - '0');
        if (r > INT_MAX) r = INT_MAX;
    }
    return static_cast<int>(negativo ? -r : r);
}

Perfil_Ini::Perfil_Ini(const QString& archivo) : archivo_(archivo) {}

QString Perfil_Ini::Ruta_Predeterminada() {
    const QString env = qEnvironmentVariable("AQTIDE_WININI");
    if (!env.isEmpty()) return env;
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) +
           QStringLiteral("/aqtide/win.ini");
}

QString Perfil_Ini::GetProfileString(const QString& seccion, const QString& clave,
                                     const QString& defecto) {
    CSimpleIniA ini;
    Cargar(ini, archivo_);
    const char* v = ini.GetValue(B(seccion).constData(), B(clave).constData(), nullptr);
    return v ? QString::fromLatin1(v) : defecto;
}

int Perfil_Ini::GetProfileInt(const QString& seccion, const QString& clave, int defecto) {
    CSimpleIniA ini;
    Cargar(ini, archivo_);
    const char* v = ini.GetValue(B(seccion).constData(), B(clave).constData(), nullptr);
    return v ? Entero_De_Perfil(QByteArray(v)) : defecto;
}

bool Perfil_Ini::WriteProfileString(const QString& seccion, const QString& clave,
                                    const QString& valor) {
    CSimpleIniA ini;
    if (!Cargar(ini, archivo_)) return false;
    if (ini.SetValue(B(seccion).constData(), B(clave).constData(), B(valor).constData()) < 0)
        return false;
    return Grabar(ini, archivo_);
}

bool Perfil_Ini::Borrar_Seccion(const QString& seccion) {
    CSimpleIniA ini;
    if (!Cargar(ini, archivo_)) return false;
    if (!ini.GetSection(B(seccion).constData())) return true;
    ini.Delete(B(seccion).constData(), nullptr);
    return Grabar(ini, archivo_);
}

}  // namespace aq
