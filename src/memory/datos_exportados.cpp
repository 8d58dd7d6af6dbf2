#include "memory/datos_exportados.h"

#include <QFile>
#include <QFileInfo>
#include <QStringDecoder>
#include <cerrno>

#include "core/fecha_equipo.h"

namespace aq {

namespace {

// Lines of the file whose start names what they hold (the decoder's own wording).
const QString Inicio_Resumen = QString::fromUtf8("Información resumida de los datos");
const QString Inicio_Resumen_2 = QStringLiteral("registrados en la memoria.");
const QString Linea_Memoria_Inconsistente = QStringLiteral("Memoria con inconsistencias");
const QString Linea_Bloque = QStringLiteral("Bloque de datos N");  // "Nº:" follows
const QString Linea_Datos_Bloque = QStringLiteral("Datos Del Bloque:");
const QString Linea_Bloque_Inconsistente = QStringLiteral("Bloque con inconsistencias");
const QString Linea_Dato_Inconsistente = QStringLiteral("Dato inconsistente");
const QString Linea_Alcance = QStringLiteral("Alcance:");
const QString Linea_Equipo = QStringLiteral("Equipo N");  // "Nº:" follows
const QString Linea_Intervalo = QStringLiteral("Intervalo entre lecturas:");
const QString Linea_Inicio = QStringLiteral("Inicio del bloque:");
const QString Linea_Encabezado_Inconsistente =
    QStringLiteral("Encabezador de bloque inconsistente");
const QString Linea_Inconsistencia = QStringLiteral("Inconsistencia en la memoria");

QString Texto_Foraneo() {
    return QString::fromUtf8(
        "El archivo no contiene datos del limnígrafo-freatígrafo: no comienza con el resumen "
        "de la memoria que escribe el programa.");
}

QString Texto_Demasiado_Grande() {
    return QString::fromUtf8(
        "El archivo es demasiado grande para ser un archivo de datos del "
        "limnígrafo-freatígrafo.");
}

// Latin-1 as the program writes it; a file an editor turned into UTF-8 is read as such.
QString Decodificar_Texto(QByteArray bytes) {
    if (bytes.startsWith("\xEF\xBB\xBF")) bytes.remove(0, 3);
    bool ascii = true;
    for (char c : bytes)
        if (static_cast<unsigned char>(c) >= 0x80) {
            ascii = false;
            break;
        }
    if (!ascii) {
        QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
        QString texto = utf8.decode(bytes);
        if (!utf8.hasError()) return texto;
    }
    return QString::fromLatin1(bytes);
}

bool Digito(QChar c) {
    return c >= QLatin1Char('0') && c <= QLatin1Char('9');
}

// Two digits at `p` of `t`, or -1.
int Dos(QStringView t, int p) {
    if (p + 1 >= t.size() || !Digito(t[p]) || !Digito(t[p + 1])) return -1;
    return (t[p].unicode() - '0') * 10 + (t[p + 1].unicode() - '0');
}

// "dd/mm/yy" exactly.
bool Leer_Fecha(QStringView t, int& dia, int& mes, int& anio) {
    if (t.size() != 8 || t[2] != QLatin1Char('/') || t[5] != QLatin1Char('/')) return false;
    dia = Dos(t, 0);
    mes = Dos(t, 3);
    anio = Dos(t, 6);
    return dia >= 0 && mes >= 0 && anio >= 0;
}

// "hh:mm" exactly.
bool Leer_Hora(QStringView t, int& hora, int& minuto) {
    if (t.size() != 5 || t[2] != QLatin1Char(':')) return false;
    hora = Dos(t, 0);
    minuto = Dos(t, 3);
    return hora >= 0 && minuto >= 0;
}

// A whole number of at most nine digits (no sign: the decoder writes none), or -1.
int Leer_Entero(QStringView t) {
    t = t.trimmed();
    if (t.isEmpty() || t.size() > 9) return -1;
    int valor = 0;
    for (QChar c : t) {
        if (!Digito(c)) return -1;
        valor = valor * 10 + (c.unicode() - '0');
    }
    return valor;
}

// The number after the last colon of a report line ("Equipo Nº:  7"), or -1.
int Numero_Tras_Dos_Puntos(QStringView linea) {
    const qsizetype p = linea.lastIndexOf(QLatin1Char(':'));
    return p < 0 ? -1 : Leer_Entero(linea.mid(p + 1));
}

QStringView Resto_Tras_Dos_Puntos(QStringView linea) {
    const qsizetype p = linea.indexOf(QLatin1Char(':'));
    return p < 0 ? QStringView() : linea.mid(p + 1).trimmed();
}

QDateTime Momento(int dia, int mes, int anio, int hora, int minuto) {
    return Momento_Equipo(Hora_Equipo{dia, mes, anio, hora, minuto});
}

enum class Linea_Lectura { No_Es, Sin_Fecha, Valida };

// "dd/mm/yy  ;hh:mm;value" with ";" or a tab (either, so a file a spreadsheet resaved with the
// other one still reads).
Linea_Lectura Leer_Lectura(QStringView linea, Lectura_Exportada& lectura) {
    if (linea.size() < 12 || linea.size() > 64 || !Digito(linea[0])) return Linea_Lectura::No_Es;
    QStringView campos[3];
    int n = 0;
    qsizetype desde = 0;
    for (qsizetype i = 0; i <= linea.size(); ++i) {
        if (i == linea.size() || linea[i] == QLatin1Char(';') || linea[i] == QLatin1Char('\t')) {
            if (n == 3) return Linea_Lectura::No_Es;
            campos[n++] = linea.mid(desde, i - desde).trimmed();
            desde = i + 1;
        }
    }
    int dia, mes, anio, hora, minuto;
    if (n != 3 || !Leer_Fecha(campos[0], dia, mes, anio) || !Leer_Hora(campos[1], hora, minuto))
        return Linea_Lectura::No_Es;
    const int valor = Leer_Entero(campos[2]);
    if (valor < 0) return Linea_Lectura::No_Es;
    lectura.momento = Momento(dia, mes, anio, hora, minuto);
    lectura.milimetros = valor;
    return lectura.momento.isValid() ? Linea_Lectura::Valida : Linea_Lectura::Sin_Fecha;
}

}  // namespace

int Datos_Exportados::Total_Lecturas() const {
    int total = 0;
    for (const Bloque_Exportado& b : bloques) total += static_cast<int>(b.lecturas.size());
    return total;
}

Datos_Exportados Interpretar_Datos_Exportados(const QByteArray& contenido, const QString& ruta) {
    Datos_Exportados datos;
    datos.ruta = ruta;
    if (contenido.isEmpty()) {
        datos.error = QString::fromUtf8("El archivo está vacío: no hay lecturas para graficar.");
        return datos;
    }
    const QString texto = Decodificar_Texto(contenido);

    // Lines end in CR LF; LF alone or CR alone are taken as well.
    const QStringView todo(texto);
    qsizetype posicion = 0;
    auto siguiente = [&](QStringView& linea) {
        if (posicion >= todo.size()) return false;
        qsizetype i = posicion;
        while (i < todo.size() && todo[i] != QLatin1Char('\n') && todo[i] != QLatin1Char('\r')) ++i;
        linea = todo.mid(posicion, i - posicion);
        if (i < todo.size() && todo[i] == QLatin1Char('\r') && i + 1 < todo.size() &&
            todo[i + 1] == QLatin1Char('\n'))
            ++i;
        posicion = i + 1;
        return true;
    };

    QStringView primera, segunda;
    if (!siguiente(primera) || !siguiente(segunda) || primera.trimmed() != Inicio_Resumen ||
        segunda.trimmed() != Inicio_Resumen_2) {
        datos.error = Texto_Foraneo();
        return datos;
    }

    Bloque_Exportado* actual = nullptr;
    auto nuevo_bloque = [&](int numero) {
        datos.bloques.emplace_back();
        actual = &datos.bloques.back();
        actual->numero = numero;
    };

    for (QStringView linea; siguiente(linea);) {
        linea = linea.trimmed();
        if (linea.isEmpty()) continue;
        Lectura_Exportada lectura;
        switch (Leer_Lectura(linea, lectura)) {
            case Linea_Lectura::Valida:
                if (!actual) nuevo_bloque(0);
                actual->lecturas.push_back(lectura);
                continue;
            case Linea_Lectura::Sin_Fecha:
                ++datos.lecturas_sin_fecha;
                continue;
            case Linea_Lectura::No_Es:
                break;
        }
        if (linea.startsWith(Linea_Bloque)) {
            nuevo_bloque(std::max(0, Numero_Tras_Dos_Puntos(linea)));
        } else if (linea.startsWith(Linea_Memoria_Inconsistente) ||
                   linea.startsWith(Linea_Encabezado_Inconsistente) ||
                   linea.startsWith(Linea_Inconsistencia)) {
            datos.memoria_inconsistente = true;
        } else if (!actual) {
            continue;  // summary counts: the blocks themselves are what is plotted
        } else if (linea.startsWith(Linea_Datos_Bloque)) {
            actual->lecturas_declaradas = Numero_Tras_Dos_Puntos(linea);
        } else if (linea.startsWith(Linea_Bloque_Inconsistente) ||
                   linea.startsWith(Linea_Dato_Inconsistente)) {
            actual->inconsistente = true;
            datos.memoria_inconsistente = true;
        } else if (linea.startsWith(Linea_Alcance)) {
            actual->alcance = Resto_Tras_Dos_Puntos(linea).toString();
        } else if (linea.startsWith(Linea_Equipo)) {
            actual->equipo = Numero_Tras_Dos_Puntos(linea);
        } else if (linea.startsWith(Linea_Intervalo)) {
            actual->intervalo = Resto_Tras_Dos_Puntos(linea).toString();
        } else if (linea.startsWith(Linea_Inicio)) {
            const QStringView resto = Resto_Tras_Dos_Puntos(linea);
            int dia, mes, anio, hora, minuto;
            if (resto.size() >= 8 && Leer_Fecha(resto.left(8), dia, mes, anio) &&
                Leer_Hora(resto.mid(8).trimmed(), hora, minuto))
                actual->inicio = Momento(dia, mes, anio, hora, minuto);
        }
    }
    return datos;
}

Datos_Exportados Leer_Datos_Exportados(const QString& ruta) {
    Datos_Exportados datos;
    datos.ruta = ruta;
    const QFileInfo info(ruta);
    if (ruta.isEmpty() || !info.exists()) {
        datos.error = QStringLiteral("El archivo no existe.");
        return datos;
    }
    // Only a regular file: opening a FIFO or a terminal would wait for a writer.
    if (!info.isFile()) {
        datos.error = QString::fromUtf8(
            "No es un archivo común (es una carpeta, un dispositivo o una tubería).");
        return datos;
    }
    if (info.size() > Tamano_Maximo_Datos) {
        datos.error = Texto_Demasiado_Grande();
        return datos;
    }
    QFile archivo(ruta);
    errno = 0;
    if (!archivo.open(QIODevice::ReadOnly)) {
        datos.error = Mensaje_Error_Archivo(archivo, Operacion_Archivo::Abrir_Lectura);
        return datos;
    }
    // Read at most one byte past the limit: a file that grew since it was measured is refused
    // the same way.
    errno = 0;
    const QByteArray contenido = archivo.read(Tamano_Maximo_Datos + 1);
    if (archivo.error() != QFileDevice::NoError) {
        datos.error = Mensaje_Error_Archivo(archivo, Operacion_Archivo::Leer);
        return datos;
    }
    if (contenido.size() > Tamano_Maximo_Datos) {
        datos.error = Texto_Demasiado_Grande();
        return datos;
    }
    return Interpretar_Datos_Exportados(contenido, ruta);
}

}  // namespace aq
