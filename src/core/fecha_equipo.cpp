#include "core/fecha_equipo.h"

namespace aq {

namespace {

const qint64 Dia_Cero = QDate(2000, 1, 1).toJulianDay();
constexpr qint64 Minutos_Dia = 1440;

qint64 Dia_De(qint64 minuto) {
    return Division_Piso(minuto, Minutos_Dia);
}

QString Dos(int n) {
    return QString::number(n).rightJustified(2, QLatin1Char('0'));
}

}  // namespace

std::optional<qint64> Minuto_Equipo(const Hora_Equipo& h) {
    const QDate d = Fecha_Equipo(h.dia, h.mes, h.anio);
    if (!d.isValid() || h.hora < 0 || h.hora > 23 || h.minuto < 0 || h.minuto > 59) return {};
    return (d.toJulianDay() - Dia_Cero) * Minutos_Dia + h.hora * 60 + h.minuto;
}

std::optional<Hora_Equipo> Hora_De_Minuto(qint64 minuto) {
    const qint64 dia = Dia_De(minuto);
    const QDate d = QDate::fromJulianDay(Dia_Cero + dia);
    if (d.year() < 1980 || d.year() > 2079) return {};
    const int resto = int(minuto - dia * Minutos_Dia);
    return Hora_Equipo{d.day(), d.month(), d.year() % 100, resto / 60, resto % 60};
}

QDateTime Momento_De_Minuto(qint64 minuto) {
    const qint64 dia = Dia_De(minuto);
    const int resto = int(minuto - dia * Minutos_Dia);
    return QDateTime(QDate::fromJulianDay(Dia_Cero + dia), QTime(resto / 60, resto % 60), Qt::UTC);
}

qint64 Minuto_De_Momento(const QDateTime& momento) {
    const QDateTime utc = momento.timeSpec() == Qt::UTC
                              ? momento
                              : QDateTime(momento.date(), momento.time(), Qt::UTC);
    const QTime t = utc.time();
    return (utc.date().toJulianDay() - Dia_Cero) * Minutos_Dia + t.hour() * 60 + t.minute();
}

QDateTime Momento_Equipo(const Hora_Equipo& h) {
    const std::optional<qint64> m = Minuto_Equipo(h);
    return m ? Momento_De_Minuto(*m) : QDateTime();
}

QString Texto_Iso(qint64 minuto) {
    const qint64 dia = Dia_De(minuto);
    const int resto = int(minuto - dia * Minutos_Dia);
    return QDate::fromJulianDay(Dia_Cero + dia).toString(Qt::ISODate) + QLatin1Char('T') +
           Dos(resto / 60) + QLatin1Char(':') + Dos(resto % 60);
}

QString Texto_Fecha_Equipo(const Hora_Equipo& h) {
    return Dos(h.dia) + QLatin1Char('/') + Dos(h.mes) + QLatin1Char('/') + Dos(h.anio);
}

QString Texto_Hora_Equipo(const Hora_Equipo& h) {
    return Dos(h.hora) + QLatin1Char(':') + Dos(h.minuto);
}

}  // namespace aq
