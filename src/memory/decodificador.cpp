#include "memory/decodificador.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <cerrno>
#include <optional>

#include "core/fecha_equipo.h"
#include "memory/archivos.h"

namespace aq {

namespace {

constexpr int Primer_Marca_Imposible = Palabras_Memoria - 5;  // no room for header + reading

const char* const Textos_Alcance[] = {"4  Metros ", "8  Metros ", "20 Metros "};
constexpr int Factores_Alcance[] = {1, 2, 5};
const char* const Textos_Intervalo[] = {"5 minutos",  "10 minutos", "15 minutos", "30 minutos",
                                        "1 hora    ", "2 horas   ", "4 horas   "};
constexpr int Pasos_Minutos[] = {5, 10, 15, 30};
constexpr int Pasos_Horas[] = {1, 2, 4};

// Source texts are UTF-8; what goes into the files is Latin-1.
QByteArray L1(const char* texto) {
    return QString::fromUtf8(texto).toLatin1();
}

const QByteArray& Palabra(const std::vector<QByteArray>& imagen, int i) {
    static const QByteArray nada;
    return i >= 0 && i < static_cast<int>(imagen.size()) ? imagen[static_cast<size_t>(i)] : nada;
}

int Digito_Hex(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

void Dos_Digitos(QByteArray& destino, int valor) {
    if (valor >= 0 && valor < 100) {
        const char par[2] = {char('0' + valor / 10), char('0' + valor % 10)};
        destino.append(par, 2);
    } else {
        destino += QByteArray::number(valor);
    }
}

void Agregar_Fecha(QByteArray& destino, int dia, int mes, int anio) {
    Dos_Digitos(destino, dia);
    destino += '/';
    Dos_Digitos(destino, mes);
    destino += '/';
    Dos_Digitos(destino, anio);
}

void Agregar_Hora(QByteArray& destino, int hora, int minuto) {
    Dos_Digitos(destino, hora);
    destino += ':';
    Dos_Digitos(destino, minuto);
}

// One reading line: date, two spaces, separator, time, separator, value. Built in place, as it
// runs once per memory word.
void Agregar_Lectura(QByteArray& destino, int dia, int mes, int anio, int hora, int minuto,
                     const QByteArray& separador, int valor) {
    const int campos[5] = {dia, mes, anio, hora, minuto};
    for (int c : campos) {
        if (c < 0 || c > 99) {  // cannot happen after the header test; kept exact anyway
            Agregar_Fecha(destino, dia, mes, anio);
            destino += "  " + separador;
            Agregar_Hora(destino, hora, minuto);
            destino += separador + QByteArray::number(valor) + "\r\n";
            return;
        }
    }
    auto dos = [](char* p, int v) {
        p[0] = char('0' + v / 10);
        p[1] = char('0' + v % 10);
    };
    char fecha[10] = {0, 0, '/', 0, 0, '/', 0, 0, ' ', ' '};
    dos(fecha, dia);
    dos(fecha + 3, mes);
    dos(fecha + 6, anio);
    char tiempo[5] = {0, 0, ':', 0, 0};
    dos(tiempo, hora);
    dos(tiempo + 3, minuto);
    char cifras[16];
    int n = 16;
    cifras[--n] = '\n';
    cifras[--n] = '\r';
    do {
        cifras[--n] = char('0' + valor % 10);
        valor /= 10;
    } while (valor > 0 && n > 0);
    destino.append(fecha, 10).append(separador).append(tiempo, 5).append(separador);
    destino.append(cifras + n, 16 - n);
}

void Linea(QByteArray& destino, const QByteArray& texto) {
    destino += texto;
    destino += "\r\n";
}

// The three files of one decoding. Lines are gathered in memory and written in large pieces;
// the first failure is kept and stops every later operation. The output goes through the safe
// writer: a failure leaves no partial file and any earlier one untouched.
class Archivos_Decodificacion {
  public:
    Archivos_Decodificacion(const QString& ruta, const QStringList& entradas)
        : salida(ruta, entradas) {}

    Escritura_Segura salida;
    QFile bloque, informe;
    QString ruta_bloque, ruta_informe;
    Falla_Archivo falla = Falla_Archivo::Ninguna;
    QString ruta_falla;

    bool Abrir_Salida() {
        if (salida.Abrir()) return true;
        falla = salida.Falla().tipo;
        ruta_falla = salida.Falla().ruta;
        return false;
    }

    // The work files in `carpeta`; false, with nothing kept as the failure, when they cannot be
    // made there.
    bool Abrir_Trabajos(const QString& carpeta, Falla_En_Archivo* motivo) {
        Cerrar_Trabajos();
        const QDir dir(carpeta);
        ruta_bloque = dir.absoluteFilePath(Archivo_Bloque);
        ruta_informe = dir.absoluteFilePath(Archivo_Informe);
        for (auto [archivo, ruta] : {std::pair{&bloque, ruta_bloque}, {&informe, ruta_informe}}) {
            const Falla_Archivo f = Abrir_Trabajo(*archivo, ruta);
            if (f != Falla_Archivo::Ninguna) {
                if (motivo) *motivo = {f, ruta};
                Cerrar_Trabajos();
                return false;
            }
        }
        return true;
    }

    // Closes and removes the work files.
    void Cerrar_Trabajos() {
        for (auto [archivo, ruta] : {std::pair{&bloque, ruta_bloque}, {&informe, ruta_informe}})
            if (archivo->isOpen()) {
                archivo->close();
                QFile::remove(ruta);
            }
    }

    bool Terminar_Salida() {
        if (falla != Falla_Archivo::Ninguna) return false;
        if (salida.Terminar()) return true;
        falla = salida.Falla().tipo;
        ruta_falla = salida.Falla().ruta;
        return false;
    }

    bool Escribir_Salida(const QByteArray& datos) {
        if (falla != Falla_Archivo::Ninguna) return false;
        if (salida.Escribir(datos)) return true;
        falla = salida.Falla().tipo;
        ruta_falla = salida.Falla().ruta;
        return false;
    }

    bool Escribir(QFile& archivo, const QByteArray& datos) {
        if (falla != Falla_Archivo::Ninguna) return false;
        if (datos.isEmpty()) return true;
        errno = 0;
        if (archivo.write(datos) == datos.size()) return true;
        falla = Clasificar_Falla_Archivo(archivo, Operacion_Archivo::Escribir);
        if (falla == Falla_Archivo::Otra && archivo.error() == QFileDevice::NoError)
            falla = Falla_Archivo::Disco_Lleno;  // a short write with no error: no room left
        ruta_falla = Ruta_De(archivo);
        return false;
    }

    // Everything written to `archivo` so far, read back from its start onto `destino`.
    bool Releer(QFile& archivo, QByteArray& destino) {
        if (falla != Falla_Archivo::Ninguna) return false;
        errno = 0;
        const qint64 largo = archivo.size();
        const qsizetype antes = destino.size();
        destino.resize(antes + largo);
        if (archivo.seek(0) && archivo.read(destino.data() + antes, largo) == largo) return true;
        destino.resize(antes);
        falla = Clasificar_Falla_Archivo(archivo, Operacion_Archivo::Leer);
        ruta_falla = Ruta_De(archivo);
        return false;
    }

    // Empties `archivo` for the next block.
    bool Vaciar(QFile& archivo) {
        if (falla != Falla_Archivo::Ninguna) return false;
        errno = 0;
        if (archivo.resize(0) && archivo.seek(0)) return true;
        falla = Clasificar_Falla_Archivo(archivo, Operacion_Archivo::Escribir);
        ruta_falla = Ruta_De(archivo);
        return false;
    }

  private:
    const QString& Ruta_De(const QFile& archivo) const {
        return &archivo == &bloque ? ruta_bloque : ruta_informe;
    }
};

// Removes the work files ("*.KVX") left in `carpeta`, except `conservar`.
Falla_En_Archivo Borrar_Archivos_Trabajo(const QString& carpeta, const QString& conservar) {
    const QDir dir(carpeta);
    const QStringList nombres =
        dir.entryList(QStringList{QStringLiteral("*.KVX")}, QDir::Files | QDir::System);
    for (const QString& nombre : nombres) {
        const QString ruta = dir.absoluteFilePath(nombre);
        if (Mismo_Archivo(ruta, conservar)) continue;
        QFile archivo(ruta);
        errno = 0;
        if (!archivo.remove())
            return {Clasificar_Falla_Archivo(archivo, Operacion_Archivo::Borrar), ruta};
    }
    return {};
}

enum class Paso { Encabezado, Datos, Fin_Memoria, Vacios, Busqueda, Resumen };

}  // namespace

int Valor_Palabra(const QByteArray& palabra) {
    if (palabra.size() < 4) return -1;
    int valor = 0;
    for (int k = 0; k < 4; ++k) {
        const int digito = Digito_Hex(palabra[k]);
        if (digito < 0) return -1;
        valor = valor * 16 + digito;
    }
    return valor;
}

bool Es_Lectura(const QByteArray& palabra) {
    static const QByteArray minimo = QByteArrayLiteral("0000 ");
    static const QByteArray maximo = QByteArrayLiteral("0FFF ");
    // The text order alone would let "00ab " or "0:00 " through; neither has a value.
    return palabra >= minimo && palabra <= maximo && Valor_Palabra(palabra) >= 0;
}

bool Validar_Encabezado(const std::vector<QByteArray>& imagen, int& indice) {
    const int p = indice;
    indice = p + 1;
    if (p < 0 || p >= Primer_Marca_Imposible || Palabra(imagen, p) != Marca_Bloque) return false;
    int alto[4], bajo[4];
    for (int k = 0; k < 4; ++k) {
        const int valor = Valor_Palabra(Palabra(imagen, p + 1 + k));
        if (valor < 0) return false;
        alto[k] = valor / 256;
        bajo[k] = valor % 256;
    }
    // range, interval, hour, minute, day, month, year: upper bounds only
    if (alto[0] > 2 || alto[1] > 6 || bajo[1] > 23 || alto[2] > 59 || bajo[2] > 31 ||
        alto[3] > 12 || bajo[3] > 99)
        return false;
    indice = p + 5;
    return true;
}

void Sumar_Hora(int& dia, int& mes, int& anio, int& hora, int& minuto) {
    Q_UNUSED(minuto);
    hora += 1;
    if (hora != 24) return;
    hora = 0;
    dia += 1;
    if ((dia == 29 && mes == 2 && anio % 4 != 0) || (dia == 30 && mes == 2 && anio % 4 == 0)) {
        dia = 1;
        mes = 3;
        return;
    }
    if (dia == 31) {
        if (mes == 4 || mes == 6 || mes == 9 || mes == 11) {
            mes += 1;
            dia = 1;
        }
        return;
    }
    if (dia == 32) {
        mes += 1;
        dia = 1;
    }
    if (mes == 13) {
        mes = 1;
        anio = (anio + 1) % 100;
    }
}

void Avanzar_Intervalo(int& dia, int& mes, int& anio, int& hora, int& minuto, int intervalo) {
    if (intervalo >= 0 && intervalo <= 3) {
        const int paso = Pasos_Minutos[intervalo];
        minuto = (minuto / paso + 1) * paso;
        if (minuto == 60) {
            minuto = 0;
            Sumar_Hora(dia, mes, anio, hora, minuto);
        }
    } else if (intervalo >= 4 && intervalo <= 6) {
        const int paso = Pasos_Horas[intervalo - 4];
        minuto = 0;
        hora = (hora / paso + 1) * paso;
        if (hora == 24) {
            hora = 23;
            Sumar_Hora(dia, mes, anio, hora, minuto);
        }
    }
}

namespace {

// Minutes between readings of interval codes 0..6; 0 for any other code.
int Minutos_Intervalo(int intervalo) {
    if (intervalo >= 0 && intervalo <= 3) return Pasos_Minutos[intervalo];
    if (intervalo >= 4 && intervalo <= 6) return 60 * Pasos_Horas[intervalo - 4];
    return 0;
}

// The next reading's stamp. Where the stamp is a calendar time the step is taken on the
// calendar's time line: every step divides a day, and the line starts at a midnight, so the next
// multiple of the step is the logger's next grid point. Elsewhere (day 0, 30/02, the year after
// 79...) the logger's own stepping, which the calendar cannot follow, stands.
void Siguiente_Lectura(Lectura_Decodificada& l, int intervalo) {
    const qint64 paso = Minutos_Intervalo(intervalo);
    if (const std::optional<qint64> m =
            paso ? Minuto_Equipo(Hora_Equipo{l.dia, l.mes, l.anio, l.hora, l.minuto})
                 : std::nullopt) {
        const qint64 pasos = *m >= 0 ? *m / paso : -((-*m + paso - 1) / paso);
        if (const std::optional<Hora_Equipo> h = Hora_De_Minuto((pasos + 1) * paso)) {
            l.dia = h->dia;
            l.mes = h->mes;
            l.anio = h->anio;
            l.hora = h->hora;
            l.minuto = h->minuto;
            return;
        }
    }
    Avanzar_Intervalo(l.dia, l.mes, l.anio, l.hora, l.minuto, intervalo);
}

// What the walk meets, in memory order. A false return stops the walk.
class Pasos_Recorrido {
  public:
    virtual ~Pasos_Recorrido() = default;
    // A marker whose header fails the test, or a first word that is neither marker nor empty.
    virtual bool Encabezado_Inconsistente() = 0;
    virtual bool Inicio_Bloque(const Bloque_Decodificado& cabeza) = 0;
    virtual bool Lectura(const Lectura_Decodificada& lectura) = 0;
    virtual bool Cierre_Bloque(int lecturas, aq::Fin_Bloque fin) = 0;
    // A run of empty cells followed by a word that is not empty.
    virtual bool Inconsistencia_Memoria() = 0;
};

struct Cuentas {
    int bloques = 0;
    int lecturas = 0;
    int vacios = 0;
    bool inconsistente = false;
};

// The one walk over words 0..4095. False when `pasos` stopped it.
bool Recorrer(const std::vector<QByteArray>& imagen, Pasos_Recorrido& pasos, Cuentas& cuentas) {
    cuentas = Cuentas();
    int i = 0;
    int lecturas_bloque = 0;
    int intervalo = 0, factor = 1;
    Lectura_Decodificada actual;

    Paso paso;
    if (Palabra(imagen, 0) == Celda_Vacia) {
        paso = Paso::Vacios;
    } else if (Palabra(imagen, 0) == Marca_Bloque) {
        paso = Paso::Encabezado;
    } else {
        cuentas.inconsistente = true;
        if (!pasos.Encabezado_Inconsistente()) return false;
        paso = Paso::Busqueda;
    }

    while (paso != Paso::Resumen) {
        switch (paso) {
            case Paso::Encabezado: {
                lecturas_bloque = 0;
                const int p = i;
                if (!Validar_Encabezado(imagen, i)) {
                    cuentas.inconsistente = true;
                    if (!pasos.Encabezado_Inconsistente()) return false;
                    paso = Paso::Busqueda;
                    break;
                }
                const int w1 = Valor_Palabra(Palabra(imagen, p + 1));
                const int w2 = Valor_Palabra(Palabra(imagen, p + 2));
                const int w3 = Valor_Palabra(Palabra(imagen, p + 3));
                const int w4 = Valor_Palabra(Palabra(imagen, p + 4));
                Bloque_Decodificado cabeza;
                cabeza.numero = ++cuentas.bloques;
                cabeza.alcance = w1 / 256;
                cabeza.equipo = w1 % 256;
                cabeza.intervalo = w2 / 256;
                cabeza.inicio = {w3 % 256, w4 / 256, w4 % 256, w2 % 256, w3 / 256, 0};
                intervalo = cabeza.intervalo;
                factor = Factores_Alcance[cabeza.alcance];
                actual = cabeza.inicio;
                if (!pasos.Inicio_Bloque(cabeza)) return false;
                paso = Paso::Datos;
                break;
            }
            case Paso::Datos: {
                while (paso == Paso::Datos && Es_Lectura(Palabra(imagen, i))) {
                    ++lecturas_bloque;
                    ++cuentas.lecturas;
                    Siguiente_Lectura(actual, intervalo);
                    actual.valor = Valor_Palabra(Palabra(imagen, i)) * factor;
                    if (!pasos.Lectura(actual)) return false;
                    if (++i >= Palabras_Memoria) paso = Paso::Fin_Memoria;
                }
                if (paso == Paso::Fin_Memoria) break;
                const QByteArray& palabra = Palabra(imagen, i);
                Fin_Bloque fin;
                if (palabra == Marca_Bloque) {
                    fin = Fin_Bloque::Marca;
                    paso = Paso::Encabezado;
                } else if (palabra == Celda_Vacia) {
                    fin = Fin_Bloque::Vacia;
                    paso = Paso::Vacios;
                } else {
                    fin = Fin_Bloque::Inconsistente;
                    cuentas.inconsistente = true;
                    paso = Paso::Busqueda;
                }
                if (!pasos.Cierre_Bloque(lecturas_bloque, fin)) return false;
                break;
            }
            case Paso::Fin_Memoria:
                if (!pasos.Cierre_Bloque(lecturas_bloque, Fin_Bloque::Fin_Memoria)) return false;
                paso = Paso::Resumen;
                break;
            case Paso::Vacios:
                for (;;) {
                    ++cuentas.vacios;
                    if (++i >= Palabras_Memoria) {
                        paso = Paso::Resumen;
                        break;
                    }
                    if (Palabra(imagen, i) != Celda_Vacia) {
                        cuentas.inconsistente = true;
                        if (!pasos.Inconsistencia_Memoria()) return false;
                        paso = Paso::Busqueda;
                        break;
                    }
                }
                break;
            case Paso::Busqueda:
                for (;;) {
                    const QByteArray& palabra = Palabra(imagen, i);
                    if (palabra == Marca_Bloque) {
                        paso = Paso::Encabezado;
                        break;
                    }
                    if (palabra == Celda_Vacia) {
                        paso = Paso::Vacios;
                        break;
                    }
                    if (++i >= Palabras_Memoria) {
                        paso = Paso::Resumen;
                        break;
                    }
                }
                break;
            case Paso::Resumen:
                break;
        }
    }
    return true;
}

// The report of Analizar_Memoria: block lines go through the block work file on their way to
// the report work file.
class Escritor_Informe : public Pasos_Recorrido {
  public:
    Escritor_Informe(Archivos_Decodificacion& archivos, const QByteArray& separador)
        : archivos_(archivos), separador_(separador) {
        bloque.reserve(Palabras_Memoria * 24);
        informe.reserve(Tope_Informe + Palabras_Memoria * 24);
    }

    static constexpr int Tope_Informe = 64 * 1024;
    QByteArray bloque;   // pending for the block work file
    QByteArray informe;  // pending for the report work file

    bool Encabezado_Inconsistente() override {
        Linea(informe, Texto(Textos::Encabezado));
        return true;
    }
    bool Inicio_Bloque(const Bloque_Decodificado& c) override {
        const Lectura_Decodificada& t = c.inicio;
        Linea(bloque, Texto(Textos::Alcance) + Textos_Alcance[c.alcance]);
        Linea(bloque, Texto(Textos::Equipo) + QByteArray::number(c.equipo));
        Linea(bloque, Texto(Textos::Intervalo) + Textos_Intervalo[c.intervalo]);
        QByteArray inicio = Texto(Textos::Inicio);
        Agregar_Fecha(inicio, t.dia, t.mes, t.anio);
        inicio += "  ";
        Agregar_Hora(inicio, t.hora, t.minuto);
        Linea(bloque, inicio);
        Linea(bloque, QByteArray());
        Linea(bloque, QByteArray());

        static const QByteArray espacio = QByteArrayLiteral(" ");
        Linea(informe, espacio);
        Linea(informe, espacio);
        Linea(informe, Texto(Textos::Bloque_N) + QByteArray::number(c.numero));
        Linea(informe, espacio);
        return true;
    }
    bool Lectura(const Lectura_Decodificada& l) override {
        Agregar_Lectura(bloque, l.dia, l.mes, l.anio, l.hora, l.minuto, separador_, l.valor);
        return true;
    }
    bool Cierre_Bloque(int lecturas, aq::Fin_Bloque fin) override {
        Linea(informe, Texto(Textos::Datos_Bloque) + QByteArray::number(lecturas));
        if (fin == aq::Fin_Bloque::Inconsistente) {
            static const QByteArray espacio = QByteArrayLiteral(" ");
            Linea(informe, espacio);
            Linea(informe, Texto(Textos::Bloque_Inconsistente));
            Linea(informe, espacio);
            Linea(bloque, Texto(Textos::Dato_Inconsistente));
        }
        return Anexar_Bloque();
    }
    bool Inconsistencia_Memoria() override {
        Linea(informe, Texto(Textos::Memoria));
        return true;
    }

  private:
    enum class Textos {
        Bloque_N,
        Datos_Bloque,
        Alcance,
        Equipo,
        Intervalo,
        Inicio,
        Bloque_Inconsistente,
        Dato_Inconsistente,
        Encabezado,
        Memoria
    };
    static const QByteArray& Texto(Textos t) {
        static const QByteArray textos[] = {L1("Bloque de datos Nº:  "),
                                            L1("Datos Del Bloque:  "),
                                            L1("Alcance:  "),
                                            L1("Equipo Nº:  "),
                                            L1("Intervalo entre lecturas:  "),
                                            L1("Inicio del bloque:  "),
                                            L1("Bloque con inconsistencias "),
                                            L1("Dato inconsistente "),
                                            L1("Encabezador de bloque inconsistente "),
                                            L1("Inconsistencia en la memoria ")};
        return textos[static_cast<int>(t)];
    }

    bool Anexar_Bloque() {
        if (!archivos_.Escribir(archivos_.bloque, bloque) ||
            !archivos_.Releer(archivos_.bloque, informe) || !archivos_.Vaciar(archivos_.bloque))
            return false;
        bloque.resize(0);  // keeps its room for the next block
        if (informe.size() < Tope_Informe) return true;
        const bool bien = archivos_.Escribir(archivos_.informe, informe);
        informe.resize(0);
        return bien;
    }

    Archivos_Decodificacion& archivos_;
    const QByteArray& separador_;
};

// The walk gathered as data.
class Coleccion_Bloques : public Pasos_Recorrido {
  public:
    std::vector<Bloque_Decodificado> bloques;

    bool Encabezado_Inconsistente() override { return true; }
    bool Inicio_Bloque(const Bloque_Decodificado& cabeza) override {
        bloques.push_back(cabeza);
        return true;
    }
    bool Lectura(const Lectura_Decodificada& lectura) override {
        bloques.back().lecturas.push_back(lectura);
        return true;
    }
    bool Cierre_Bloque(int, aq::Fin_Bloque fin) override {
        bloques.back().fin = fin;
        return true;
    }
    bool Inconsistencia_Memoria() override { return true; }
};

}  // namespace

std::vector<Bloque_Decodificado> Recorrer_Memoria(const std::vector<QByteArray>& imagen) {
    Coleccion_Bloques coleccion;
    Cuentas cuentas;
    Recorrer(imagen, coleccion, cuentas);
    return std::move(coleccion.bloques);
}

namespace {

// One decoding with its work files in `carpeta`. `en_trabajo` tells whether a failure came on a
// work file rather than on the output.
Falla_En_Archivo Decodificar(Estado& estado, const QString& ruta, const QByteArray& separador,
                             const QString& carpeta, const QStringList& entradas,
                             bool& en_trabajo) {
    static const QByteArray espacio = QByteArrayLiteral(" ");

    const std::vector<QByteArray>& imagen = estado.Imagen_Memoria;
    Archivos_Decodificacion archivos(ruta, entradas);
    en_trabajo = false;

    auto fallar = [&]() {
        // The work files go with the failure; the output was never put in place.
        archivos.salida.Cancelar();
        archivos.Cerrar_Trabajos();
        en_trabajo = en_trabajo || (!archivos.ruta_falla.isEmpty() &&
                                    (archivos.ruta_falla == archivos.ruta_bloque ||
                                     archivos.ruta_falla == archivos.ruta_informe));
        return Falla_En_Archivo{archivos.falla, archivos.ruta_falla};
    };

    estado.Cantidad_Bloques = 0;
    estado.Total_Lecturas = 0;
    estado.Lugares_Vacios = 0;

    // The output may not be one of the work files, which are open at the same time.
    const QDir dir(carpeta);
    if (Mismo_Archivo(ruta, dir.absoluteFilePath(Archivo_Bloque)) ||
        Mismo_Archivo(ruta, dir.absoluteFilePath(Archivo_Informe))) {
        archivos.falla = Falla_Archivo::Archivo_Abierto;
        archivos.ruta_falla = ruta;
        return fallar();
    }
    if (!archivos.Abrir_Salida()) return fallar();
    Falla_En_Archivo motivo;
    if (!archivos.Abrir_Trabajos(carpeta, &motivo)) {
        en_trabajo = true;
        archivos.falla = motivo.tipo;
        archivos.ruta_falla = motivo.ruta;
        return fallar();
    }

    Escritor_Informe escritor(archivos, separador);
    Cuentas cuentas;
    const bool completo = Recorrer(imagen, escritor, cuentas);
    estado.Cantidad_Bloques = static_cast<qint16>(cuentas.bloques);
    estado.Total_Lecturas = static_cast<qint16>(cuentas.lecturas);
    estado.Lugares_Vacios = static_cast<qint16>(cuentas.vacios);
    if (!completo) return fallar();
    QByteArray& lineas_informe = escritor.informe;

    QByteArray resumen;
    Linea(resumen, L1("Información resumida de los datos "));
    Linea(resumen, "registrados en la memoria.");
    Linea(resumen, espacio);
    if (cuentas.inconsistente) Linea(resumen, "Memoria con inconsistencias ");
    Linea(resumen, espacio);
    Linea(resumen, "Cantidad de bloques de datos:  " + QByteArray::number(estado.Cantidad_Bloques));
    Linea(resumen,
          "Cantidad total de lecturas registradas:  " + QByteArray::number(estado.Total_Lecturas));
    Linea(resumen, L1("Cantidad de lugares vacíos:  ") + QByteArray::number(estado.Lugares_Vacios));
    Linea(resumen, espacio);
    Linea(resumen, espacio);

    if (!archivos.Escribir(archivos.informe, lineas_informe)) return fallar();
    lineas_informe.resize(0);
    if (!archivos.Releer(archivos.informe, lineas_informe) || !archivos.Escribir_Salida(resumen) ||
        !archivos.Escribir_Salida(lineas_informe))
        return fallar();
    if (!archivos.Terminar_Salida()) return fallar();
    archivos.Cerrar_Trabajos();

    return Borrar_Archivos_Trabajo(carpeta, ruta);
}

}  // namespace

Falla_En_Archivo Analizar_Memoria(Estado& estado, const QString& ruta, const QByteArray& separador,
                                  const QString& carpeta_trabajo, const QStringList& entradas) {
    const QString carpeta =
        carpeta_trabajo.isEmpty() ? QFileInfo(ruta).absolutePath() : carpeta_trabajo;
    bool en_trabajo = false;
    const Falla_En_Archivo falla =
        Decodificar(estado, ruta, separador, carpeta, entradas, en_trabajo);
    if (!falla || !en_trabajo) return falla;
    // A work folder that cannot be written (full, read-only, gone) does not cost the output:
    // the work files go to a temporary folder instead.
    QTemporaryDir temporal;
    if (!temporal.isValid()) return falla;
    return Decodificar(estado, ruta, separador, temporal.path(), entradas, en_trabajo);
}

}  // namespace aq
