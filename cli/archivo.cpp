#include <QDate>
#include <QDir>
#include <QFileInfo>
#include <QString>
#include <cmath>
#include <cstdio>
#include <optional>

#include "archivo/archivo_historico.h"
#include "archivo/destino.h"
#include "comandos.h"
#include "core/estado.h"
#include "platform/perfil_ini.h"

namespace {

enum Salida {
    Bien = cli::Exito,
    Fallo = cli::Rechazo,
    Uso_Incorrecto = cli::Uso,
    Falla_Archivo = cli::Archivo
};

const char* const Ayuda =
    "Uso: aqtide-cli archivo importar [-r] RESGUARDO|CARPETA... [--base URL]\n"
    "     aqtide-cli archivo listar [--base URL]\n"
    "     aqtide-cli archivo exportar EQUIPO [--desde AAAA-MM-DD] [--hasta AAAA-MM-DD] [--utf8]\n"
    "                                 [--niveles|--diario] SALIDA.csv [--base URL]\n"
    "     aqtide-cli archivo nombre EQUIPO NOMBRE [--nota TEXTO] [--base URL]\n"
    "     aqtide-cli archivo referencia EQUIPO COTA_M [--base URL]\n"
    "     aqtide-cli archivo manual EQUIPO AAAA-MM-DDThh:mm PROFUNDIDAD_M [--nota TEXTO]\n"
    "     aqtide-cli archivo manual EQUIPO AAAA-MM-DDThh:mm --borrar\n"
    "     aqtide-cli archivo manuales EQUIPO [--base URL]\n"
    "     aqtide-cli archivo grafico EQUIPO SALIDA.png [--desde AAAA-MM-DD] [--hasta AAAA-MM-DD]\n"
    "                                [--magnitud columna|profundidad|cota] [--ancho W] [--alto H]\n"
    "                                [--base URL]\n"
    "\n"
    "  importar  guarda en el archivo histórico los resguardos (.$%c .$%t .$%&); de una\n"
    "            carpeta toma los que tiene (-r: también los de sus subcarpetas).\n"
    "  listar    equipos, lecturas, primera y última lectura, descargas, última descarga,\n"
    "            conflictos.\n"
    "  exportar  la serie de un equipo entre dos fechas (inclusive) a un archivo CSV con \";\";\n"
    "            Latin-1 salvo --utf8; sin extensión, .csv. --niveles agrega la profundidad al\n"
    "            agua y la cota; --diario escribe una fila por día.\n"
    "  nombre    nombre y nota de un equipo.\n"
    "  referencia  cota del punto de referencia del pozo, en metros sobre el plano de\n"
    "            referencia.\n"
    "  manual    una profundidad al agua medida a mano, en metros bajo el punto de\n"
    "            referencia (reemplaza la de ese momento); --borrar la quita.\n"
    "  manuales  las lecturas manuales del equipo, y cuáles no se usan.\n"
    "  grafico   la serie de un equipo en una imagen PNG, sin pantalla: columna de agua\n"
    "            [mm], profundidad al agua [m] o cota [m] (1200 x 600 por omisión).\n"
    "  Los números admiten \",\" o \".\" como separador decimal.\n"
    "\n"
    "  --base URL  postgresql://usuario@servidor[:puerto]/base o un archivo SQLite; sin ella,\n"
    "              [Archivo] Base= del perfil o ARCHIVO.db en la carpeta del programa.\n"
    "\n";

void Linea(std::FILE* f, const QString& texto) {
    std::fputs(texto.toUtf8().constData(), f);
    std::fputc('\n', f);
}

int Uso(const QString& motivo = QString()) {
    if (!motivo.isEmpty()) Linea(stderr, motivo);
    std::fputs(Ayuda, stderr);
    std::fputs(cli::Texto_Salidas, stderr);
    return Uso_Incorrecto;
}

struct Opciones {
    QStringList posicionales;
    QString base;
    bool ayuda = false, recursivo = false, utf8 = false, niveles = false, diario = false,
         borrar = false;
    std::optional<QString> desde, hasta, nota;
    QString error;
};

Opciones Leer_Opciones(const QStringList& args) {
    Opciones o;
    for (int k = 0; k < args.size(); ++k) {
        const QString& a = args[k];
        auto valor = [&](std::optional<QString>& destino) {
            const int igual = a.indexOf('=');
            if (igual > 0) {
                destino = a.mid(igual + 1);
            } else if (k + 1 < args.size()) {
                destino = args[++k];
            } else {
                o.error = QStringLiteral("Falta el valor de %1.").arg(a);
            }
        };
        std::optional<QString> base;
        if (a == "--help" || a == "-h") {
            o.ayuda = true;
        } else if (a == "-r") {
            o.recursivo = true;
        } else if (a == "--utf8") {
            o.utf8 = true;
        } else if (a == "--niveles") {
            o.niveles = true;
        } else if (a == "--diario") {
            o.diario = true;
        } else if (a == "--borrar") {
            o.borrar = true;
        } else if (a == "--base" || a.startsWith("--base=")) {
            valor(base);
            if (base) o.base = *base;
        } else if (a == "--desde" || a.startsWith("--desde=")) {
            valor(o.desde);
        } else if (a == "--hasta" || a.startsWith("--hasta=")) {
            valor(o.hasta);
        } else if (a == "--nota" || a.startsWith("--nota=")) {
            valor(o.nota);
        } else if (a.startsWith("--") || (a.startsWith('-') && a.size() > 1 && !a[1].isDigit())) {
            o.error = QStringLiteral("Opción desconocida: %1").arg(a);
        } else {
            o.posicionales << a;
        }
    }
    return o;
}

// The archive the GUI uses, unless --base names another.
bool Abrir(aq::Archivo_Historico& archivo, const QString& base) {
    aq::Perfil_Ini perfil;
    const QString raiz =
        aq::Directorio_Raiz_De_Perfil(perfil, aq::Estado().Seccion_Ini, QDir::currentPath());
    aq::Destino_Archivo destino;
    const aq::Resultado_Archivo r =
        aq::Abrir_Archivo_Configurado(archivo, perfil, raiz, base, &destino);
    if (!r) {
        const QString donde = destino.Descripcion();
        Linea(stderr, QStringLiteral("Archivo histórico%1: %2")
                          .arg(donde.isEmpty() ? QString() : QLatin1Char(' ') + donde,
                               aq::Mensaje_Archivo(r)));
        return false;
    }
    return true;
}

bool Leer_Equipo(const QString& texto, int& equipo) {
    bool ok = false;
    equipo = texto.toInt(&ok);
    return ok && equipo >= 0 && equipo <= 255;
}

bool Leer_Fecha(const std::optional<QString>& texto, QDate& fecha) {
    if (!texto) return true;
    fecha = QDate::fromString(*texto, Qt::ISODate);
    return fecha.isValid();
}

bool Leer_Numero(const QString& texto, double& valor) {
    const std::optional<double> v = aq::Leer_Decimal(texto);
    if (v) valor = *v;
    return v.has_value();
}

// AAAA-MM-DDThh:mm on the logger's clock, a time the logger can hold.
bool Leer_Momento(const QString& texto, qint64& minuto) {
    const QDate fecha = QDate::fromString(texto.left(10), Qt::ISODate);
    const QTime hora = QTime::fromString(texto.mid(11), QStringLiteral("HH:mm"));
    if (texto.size() != 16 || texto[10] != QLatin1Char('T') || !fecha.isValid() || !hora.isValid())
        return false;
    minuto = aq::Minuto_De_Momento(QDateTime(fecha, hora, Qt::UTC));
    return aq::Hora_De_Minuto(minuto).has_value();
}

QString Fecha_Hora(const QDateTime& t) {
    return t.isValid() ? t.toString(QStringLiteral("yyyy-MM-dd HH:mm")) : QStringLiteral("-");
}

int Importar(aq::Archivo_Historico& archivo, const Opciones& o) {
    QStringList rutas;
    int salida = Bien;
    for (const QString& p : o.posicionales) {
        const QFileInfo info(p);
        if (info.isDir()) {
            const QStringList halladas = aq::Respaldos_En(p, o.recursivo);
            if (halladas.isEmpty()) {
                Linea(stdout, QStringLiteral("%1: no contiene resguardos").arg(p));
                salida = Falla_Archivo;
            }
            rutas << halladas;
        } else {
            rutas << p;
        }
    }
    for (const QString& ruta : rutas) {
        const aq::Resultado_Archivo r = aq::Importar_Respaldo(archivo, ruta);
        switch (r.fin) {
            case aq::Fin_Archivo::Bien:
                Linea(stdout,
                      QStringLiteral("%1: archivado, %2 lecturas (%3 nuevas)%4")
                          .arg(ruta)
                          .arg(r.lecturas)
                          .arg(r.nuevas)
                          .arg(r.descartadas
                                   ? QStringLiteral(", %1 sin fecha válida").arg(r.descartadas)
                                   : QString()));
                break;
            case aq::Fin_Archivo::Ya_Archivado:
                Linea(stdout, QStringLiteral("%1: ya estaba en el archivo histórico").arg(ruta));
                break;
            case aq::Fin_Archivo::Respaldo_Ilegible:
            case aq::Fin_Archivo::Respaldo_Invalido:
                Linea(stdout, ruta + QStringLiteral(": ") + aq::Mensaje_Archivo(r));
                if (salida == Bien) salida = Falla_Archivo;
                break;
            default:
                Linea(stdout, ruta + QStringLiteral(": ") + aq::Mensaje_Archivo(r));
                salida = Fallo;
                break;
        }
    }
    return salida;
}

int Listar(aq::Archivo_Historico& archivo) {
    aq::Resultado_Archivo r;
    const std::vector<aq::Resumen_Estacion> lista = archivo.Estaciones(&r);
    if (!r) {
        Linea(stderr, aq::Mensaje_Archivo(r));
        return Fallo;
    }
    Linea(stdout, QStringLiteral("Equipo\tNombre\tLecturas\tPrimera\tÚltima\tDescargas\t"
                                 "Última descarga\tConflictos\tNota"));
    for (const aq::Resumen_Estacion& e : lista)
        Linea(stdout, QStringLiteral("%1\t%2\t%3\t%4\t%5\t%6\t%7\t%8\t%9")
                          .arg(e.equipo)
                          .arg(e.nombre)
                          .arg(e.lecturas)
                          .arg(Fecha_Hora(e.primera), Fecha_Hora(e.ultima))
                          .arg(e.descargas)
                          .arg(Fecha_Hora(e.ultima_descarga))
                          .arg(e.conflictos)
                          .arg(e.nota));
    return Bien;
}

int Exportar(aq::Archivo_Historico& archivo, const Opciones& o) {
    int equipo = 0;
    QDate desde, hasta;
    if (!Leer_Equipo(o.posicionales[0], equipo))
        return Uso(QStringLiteral("Equipo incorrecto: %1").arg(o.posicionales[0]));
    if (!Leer_Fecha(o.desde, desde) || !Leer_Fecha(o.hasta, hasta))
        return Uso(QStringLiteral("Las fechas se escriben AAAA-MM-DD."));
    if (o.niveles && o.diario) return Uso(QStringLiteral("--niveles o --diario, no ambas."));
    const aq::Forma_Exportacion forma = o.niveles  ? aq::Forma_Exportacion::Niveles
                                        : o.diario ? aq::Forma_Exportacion::Diario
                                                   : aq::Forma_Exportacion::Serie;
    const QString salida = aq::Ruta_Exportacion(o.posicionales[1]);
    const aq::Resultado_Archivo r = archivo.Exportar(equipo, desde, hasta, salida, o.utf8, forma);
    if (!r) {
        Linea(stderr, aq::Mensaje_Archivo(r));
        return r.fin == aq::Fin_Archivo::Falla_Salida ? Falla_Archivo : Fallo;
    }
    Linea(stdout, QStringLiteral("%1: %2 del equipo %3")
                      .arg(salida, aq::Texto_Exportadas(r.lecturas, forma))
                      .arg(equipo));
    return Bien;
}

int Nombrar(aq::Archivo_Historico& archivo, const Opciones& o) {
    int equipo = 0;
    if (!Leer_Equipo(o.posicionales[0], equipo))
        return Uso(QStringLiteral("Equipo incorrecto: %1").arg(o.posicionales[0]));
    const aq::Resultado_Archivo r = archivo.Nombrar(equipo, o.posicionales[1], o.nota);
    if (!r) {
        Linea(stderr, aq::Mensaje_Archivo(r));
        return Fallo;
    }
    return Bien;
}

int Referencia(aq::Archivo_Historico& archivo, const Opciones& o) {
    int equipo = 0;
    double cota = 0;
    if (!Leer_Equipo(o.posicionales[0], equipo))
        return Uso(QStringLiteral("Equipo incorrecto: %1").arg(o.posicionales[0]));
    if (!Leer_Numero(o.posicionales[1], cota))
        return Uso(QStringLiteral("Cota incorrecta: %1").arg(o.posicionales[1]));
    const aq::Resultado_Archivo r = archivo.Fijar_Referencia(equipo, cota);
    if (!r) {
        Linea(stderr, aq::Mensaje_Archivo(r));
        return Fallo;
    }
    return Bien;
}

int Manual(aq::Archivo_Historico& archivo, const Opciones& o) {
    int equipo = 0;
    qint64 minuto = 0;
    double profundidad = 0;
    if (!Leer_Equipo(o.posicionales[0], equipo))
        return Uso(QStringLiteral("Equipo incorrecto: %1").arg(o.posicionales[0]));
    if (!Leer_Momento(o.posicionales[1], minuto))
        return Uso(
            QStringLiteral("Momento incorrecto: %1 (AAAA-MM-DDThh:mm)").arg(o.posicionales[1]));
    if (!o.borrar && !Leer_Numero(o.posicionales[2], profundidad))
        return Uso(QStringLiteral("Profundidad incorrecta: %1").arg(o.posicionales[2]));
    const aq::Resultado_Archivo r =
        o.borrar
            ? archivo.Borrar_Manual(equipo, minuto)
            : archivo.Guardar_Manual(equipo, {minuto, profundidad, o.nota.value_or(QString())});
    if (!r) {
        Linea(stderr, aq::Mensaje_Archivo(r));
        return Fallo;
    }
    return Bien;
}

int Manuales(aq::Archivo_Historico& archivo, const Opciones& o) {
    int equipo = 0;
    if (!Leer_Equipo(o.posicionales[0], equipo))
        return Uso(QStringLiteral("Equipo incorrecto: %1").arg(o.posicionales[0]));
    aq::Resultado_Archivo r;
    const std::vector<aq::Lectura_Manual> manuales = archivo.Manuales(equipo, &r);
    const std::vector<aq::Punto_Serie> serie =
        r ? archivo.Serie(equipo, {}, {}, &r) : std::vector<aq::Punto_Serie>();
    if (!r) {
        Linea(stderr, aq::Mensaje_Archivo(r));
        return Fallo;
    }
    const aq::Niveles n = aq::Calcular_Niveles(serie, manuales, std::nullopt);
    Linea(stdout, QStringLiteral("Fecha y hora\tProfundidad [m]\tUsada\tNota"));
    for (size_t k = 0; k < manuales.size(); ++k)
        Linea(stdout, QStringLiteral("%1\t%2\t%3\t%4")
                          .arg(aq::Texto_Iso(manuales[k].minuto))
                          .arg(QString::number(manuales[k].profundidad_m, 'f', 3)
                                   .replace(QLatin1Char('.'), QLatin1Char(',')))
                          .arg(aq::Texto_Uso_Manual(n.manual_usada[k]))
                          .arg(manuales[k].nota));
    return Bien;
}

}  // namespace

int Comando_Archivo(const QStringList& args) {
    if (args.isEmpty()) return Uso();
    const QString accion = args[0];
    const Opciones o = Leer_Opciones(args.mid(1));
    if (o.ayuda || accion == "--help" || accion == "-h") {
        std::fputs(Ayuda, stdout);
        std::fputs(cli::Texto_Salidas, stdout);
        return Bien;
    }
    if (!o.error.isEmpty()) return Uso(o.error);
    const int n = o.posicionales.size();
    const bool forma_correcta =
        (accion == "importar" && n >= 1) || (accion == "listar" && n == 0) ||
        (accion == "exportar" && n == 2) || (accion == "nombre" && n == 2) ||
        (accion == "referencia" && n == 2) || (accion == "manual" && n == (o.borrar ? 2 : 3)) ||
        (accion == "manuales" && n == 1);
    if (!forma_correcta) return Uso();

    aq::Destino_Archivo forma;
    QString error;
    if (!o.base.isEmpty() && !aq::Interpretar_Base(o.base, forma, &error)) return Uso(error);
    aq::Archivo_Historico archivo;
    if (!Abrir(archivo, o.base)) return Fallo;
    if (accion == "importar") return Importar(archivo, o);
    if (accion == "listar") return Listar(archivo);
    if (accion == "exportar") return Exportar(archivo, o);
    if (accion == "referencia") return Referencia(archivo, o);
    if (accion == "manual") return Manual(archivo, o);
    if (accion == "manuales") return Manuales(archivo, o);
    return Nombrar(archivo, o);
}
