#include "memory/descarga.h"

#include <QFile>
#include <QFileInfo>
#include <algorithm>
#include <cerrno>

#include "link/enlace.h"

namespace aq {

namespace {

const QFileDevice::Permissions Solo_Lectura = QFileDevice::ReadOwner | QFileDevice::ReadUser |
                                              QFileDevice::ReadGroup | QFileDevice::ReadOther;

Falla_Respaldo Falla(const QString& ruta, Falla_Archivo tipo) {
    return {tipo, ruta};
}

}  // namespace

bool Tiene_Dos_Puntos(const QString& ruta) {
    return ruta.count(QLatin1Char('.')) >= 2;
}

bool Es_Nombre_Prohibido(const QString& ruta) {
    static const char* const Finales[] = {".EXE", "AYUDA.TXT", ".COM", ".BAT", ".PIF",
                                          ".OVL", ".DLL",      ".ZIP", ".ARJ"};
    const QString mayusculas = ruta.toUpper();
    return std::any_of(std::begin(Finales), std::end(Finales),
                       [&](const char* f) { return mayusculas.endsWith(QLatin1String(f)); });
}

QByteArray Separador_Para(const QString& ruta) {
    return ruta.toLower().endsWith(QLatin1String(".csv")) ? QByteArrayLiteral(";")
                                                          : QByteArrayLiteral("\t");
}

QString Ruta_Respaldo(const QString& elegido, const QString& directorio_bak) {
    QString nombre;
    if (elegido.endsWith(QLatin1String(".csv")))
        nombre = elegido.left(elegido.size() - 4) + QStringLiteral(".$%c");
    else if (elegido.endsWith(QLatin1String(".txt")))
        nombre = elegido.left(elegido.size() - 4) + QStringLiteral(".$%t");
    else
        nombre = elegido + QStringLiteral(".$%&");
    // Either separator may come in a chosen path; the backup takes the platform's own.
    const int ultimo =
        std::max(nombre.lastIndexOf(QLatin1Char('/')), nombre.lastIndexOf(QLatin1Char('\\')));
    return directorio_bak + QLatin1Char('/') + nombre.mid(ultimo + 1);
}

Recepcion Recibir_Volcado(Puerto_Serie& puerto, Reloj& reloj,
                          const std::function<void(int)>& avance, double limite) {
    Sondear_Puerto(puerto, reloj, reloj.Segundos(), limite, [&](double) {
        const int esperando = puerto.InBufferCount();
        if (esperando <= Largo_Volcado && avance) avance(esperando);
        return esperando == Largo_Volcado;
    });
    Recepcion r;
    r.linea_caida = !puerto.PortOpen();
    r.recibidos = puerto.InBufferCount();
    puerto.setInputLen(0);
    r.texto = puerto.Input();
    return r;
}

QByteArray Completar_Volcado(QByteArray texto) {
    if (texto.size() < Largo_Volcado) texto.append(Largo_Volcado - texto.size(), Caracter_Relleno);
    return texto;
}

void Dividir_Volcado(const QByteArray& texto, std::vector<QByteArray>& imagen) {
    if (imagen.size() < static_cast<size_t>(Elementos_Respaldo)) imagen.resize(Elementos_Respaldo);
    for (int k = 0; k < Elementos_Respaldo; ++k) imagen[k] = texto.mid(5 * k, 5);
}

int Valor_Verificacion(const QByteArray& texto) {
    qint64 suma = 0;
    const int n = std::min<int>(texto.size(), Caracteres_Memoria);
    for (int i = 0; i < n; ++i) suma += static_cast<unsigned char>(texto[i]);
    return static_cast<int>(suma % 65536 % 10000);
}

int Valor_Recibido(const QByteArray& palabra) {
    int i = 0;
    while (i < palabra.size() && (palabra[i] == ' ' || palabra[i] == '\t')) ++i;
    qint64 valor = 0;
    for (; i < palabra.size() && palabra[i] >= '0' && palabra[i] <= '9'; ++i) {
        valor = valor * 10 + (palabra[i] - '0');
        if (valor > 1000000) break;  // no checksum is that long
    }
    return static_cast<int>(valor);
}

bool Checksum_Correcto(const QByteArray& texto, const QByteArray& palabra_checksum) {
    return Valor_Verificacion(texto) == Valor_Recibido(palabra_checksum);
}

Falla_Respaldo Guardar_Respaldo(const std::vector<QByteArray>& imagen, const QString& ruta,
                                const QString& directorio_raiz,
                                const std::function<void(int)>& avance) {
    QByteArray contenido;
    contenido.reserve(Largo_Volcado + 2 * Elementos_Respaldo + 8);
    for (int k = 0; k < Elementos_Respaldo; ++k) {
        if (k < static_cast<int>(imagen.size())) contenido += imagen[k];
        contenido += "\r\n";
        if (avance) avance(k);
    }
    if (Falla_Respaldo f = Reemplazar_Archivo(ruta, contenido)) return f;
    // Protected at once: the backup is good even if its copy fails.
    const bool protegido = QFile::setPermissions(ruta, Solo_Lectura);
    if (Falla_Respaldo f = Reemplazar_Archivo(
            directorio_raiz + QLatin1Char('/') + Archivo_Copia_Volcado, contenido))
        return f;
    if (!protegido) return Falla(ruta, Falla_Archivo::Permiso_Denegado);
    return {};
}

}  // namespace aq
