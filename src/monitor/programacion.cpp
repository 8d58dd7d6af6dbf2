#include "monitor/programacion.h"

#include <cmath>

#include "link/texto.h"

namespace aq {

namespace {

QString Dos_Digitos(int n) {
    return Derecha(QStringLiteral("0") + QString::number(n), 2);
}

}  // namespace

void Llenar_Tablas_Fecha(Estado& estado, const QString& anio) {
    static const char* const nombres[] = {"Enero",      "Febrero", "Marzo",     "Abril",
                                          "Mayo",       "Junio",   "Julio",     "Agosto",
                                          "Septiembre", "Octubre", "Noviembre", "Diciembre"};
    static const int dias[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    for (int m = 1; m <= 12; ++m) {
        estado.Nombres_Meses[m] = QString::fromLatin1(nombres[m - 1]);
        estado.Dias_Mes[m] = dias[m - 1];
    }
    Fijar_Febrero(estado, anio);
}

bool Es_Bisiesto(const QString& anio) {
    return static_cast<long long>(std::trunc(Valor_Numerico(anio))) % 4 == 0;
}

void Fijar_Febrero(Estado& estado, const QString& anio) {
    estado.Dias_Mes[2] = Es_Bisiesto(anio) ? 29 : 28;
}

QString Anio_Dos_Digitos(const QString& texto) {
    // The last two characters may still hold a sign or a point ("-5", ".5"): keep the whole
    // digits only, so the command always carries two of them.
    const double y = Valor_Numerico(Derecha(QStringLiteral("00") + texto, 2));
    const long long n = std::llabs(static_cast<long long>(std::trunc(y))) % 100;
    return Derecha(QStringLiteral("00") + QString::number(n), 2);
}

int Indice_Valido(const QString& valor, int base, int n, int defecto) {
    const double v = std::trunc(Valor_Numerico(valor)) - base;
    return (v >= 0 && v < n) ? static_cast<int>(v) : defecto;
}

QByteArray Comando_Fecha(int dia, int mes, const QString& anio) {
    return (QStringLiteral("F") + Dos_Digitos(dia) + QLatin1Char('/') + Dos_Digitos(mes) +
            QLatin1Char('/') + Anio_Dos_Digitos(anio))
        .toLatin1();
}

QByteArray Comando_Hora(int hora, int minuto) {
    return (QStringLiteral("H") + Dos_Digitos(hora) + QLatin1Char(':') + Dos_Digitos(minuto))
        .toLatin1();
}

QByteArray Comando_Intervalo(int codigo) {
    return "I" + QByteArray::number(codigo);
}

QString Dia_Asumido(const Estado& estado, int mes) {
    return QString::number(estado.Dias_Mes[mes]) + QStringLiteral(" de ") +
           estado.Nombres_Meses[mes];
}

}  // namespace aq
