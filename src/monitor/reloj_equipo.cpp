#include "monitor/reloj_equipo.h"

#include "core/fecha_equipo.h"
#include "monitor/registro_estado.h"

namespace aq {

namespace {

// Two digits at `p`, or -1.
int Dos(const QString& t, int p) {
    if (p + 1 >= t.size() || !t[p].isDigit() || !t[p + 1].isDigit() || t[p].unicode() > '9' ||
        t[p + 1].unicode() > '9')
        return -1;
    return (t[p].unicode() - '0') * 10 + (t[p + 1].unicode() - '0');
}

constexpr int Minutos_Paso[] = {5, 10, 15, 30, 60, 120, 240};

}  // namespace

QDateTime Momento_Equipo(const QString& fecha, const QString& hora) {
    if (fecha.size() != 8 || hora.size() != 5) return {};
    const Hora_Equipo h{Dos(fecha, 0), Dos(fecha, 3), Dos(fecha, 6), Dos(hora, 0), Dos(hora, 3)};
    if (h.dia < 0 || h.mes < 0 || h.anio < 0 || h.hora < 0 || h.minuto < 0) return {};
    return Momento_Equipo(h);
}

QString Texto_Duracion(qint64 minutos) {
    if (minutos < 0) minutos = -minutos;
    if (minutos < 60) return QString::number(minutos) + QStringLiteral(" min");
    if (minutos < 24 * 60) {
        QString t = QString::number(minutos / 60) + QStringLiteral(" h");
        if (minutos % 60) t += QLatin1Char(' ') + QString::number(minutos % 60) + " min";
        return t;
    }
    const qint64 dias = minutos / (24 * 60), horas = minutos % (24 * 60) / 60;
    QString t = QString::number(dias) +
                (dias == 1 ? QString::fromUtf8(" día") : QString::fromUtf8(" días"));
    if (horas) t += QLatin1Char(' ') + QString::number(horas) + QStringLiteral(" h");
    return t;
}

Deriva_Reloj Calcular_Deriva(const QString& fecha, const QString& hora, const QDateTime& pc) {
    Deriva_Reloj d;
    const QDateTime equipo = Momento_Equipo(fecha, hora);
    if (!equipo.isValid() || !pc.isValid()) {
        d.texto = QString::fromUtf8("Reloj del equipo: fecha u hora no válida");
        return d;
    }
    // The PC's wall clock, not its instant: both clocks are read as the user reads them.
    const QTime t = pc.time();
    const QDateTime pared(pc.date(), QTime(t.hour(), t.minute()), Qt::UTC);
    d.valida = true;
    d.minutos = pared.secsTo(equipo) / 60;
    if (d.minutos > 1 || d.minutos < -1)
        d.texto = QStringLiteral("Reloj del equipo: ") + Texto_Duracion(d.minutos) +
                  (d.minutos < 0 ? QStringLiteral(" atrasado") : QStringLiteral(" adelantado")) +
                  QStringLiteral(" respecto del PC");
    return d;
}

int Registros_Libres(const QString& ocupados) {
    const QString t = ocupados.trimmed();
    if (t.isEmpty() || t.size() > 5) return -1;
    int valor = 0;
    for (QChar c : t) {
        if (c < QLatin1Char('0') || c > QLatin1Char('9')) return -1;
        valor = valor * 10 + (c.unicode() - '0');
    }
    return valor > Capacidad_Memoria ? -1 : Capacidad_Memoria - valor;
}

Prevision_Memoria Prever_Memoria_Llena(int libres, int intervalo, const QDateTime& equipo) {
    Prevision_Memoria p;
    if (intervalo < 0 || intervalo > 6 || libres < 0 || !equipo.isValid()) return p;
    p.valida = true;
    if (libres == 0) {
        p.llena = equipo;
        p.texto = QStringLiteral("Memoria llena");
        return p;
    }
    const qint64 paso = Minutos_Paso[intervalo];
    // First grid point strictly after the logger's time; the grid restarts every hour for the
    // minute steps and every day for the hour steps.
    const qint64 ahora = Minuto_De_Momento(equipo);
    const qint64 ciclo = paso < 60 ? 60 : 1440;
    const qint64 base = Division_Piso(ahora, ciclo) * ciclo;
    const qint64 primera = base + ((ahora - base) / paso + 1) * paso;
    const qint64 ultima = primera + (libres - 1) * paso;
    p.llena = Momento_De_Minuto(ultima);
    const std::optional<Hora_Equipo> h = Hora_De_Minuto(ultima);
    p.texto = QStringLiteral("Memoria llena aprox. el ") +
              (h ? Texto_Fecha_Equipo(*h) + QLatin1Char(' ') + Texto_Hora_Equipo(*h)
                 : p.llena.toString(QStringLiteral("dd/MM/yy hh:mm")));
    return p;
}

Prevision_Memoria Prever_Memoria_Llena(int libres, int intervalo, const QString& fecha,
                                       const QString& hora) {
    return Prever_Memoria_Llena(libres, intervalo, Momento_Equipo(fecha, hora));
}

}  // namespace aq
