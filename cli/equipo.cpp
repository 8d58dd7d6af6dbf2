#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>

#include "link/enlace.h"
#include "link/texto.h"
#include "monitor/operaciones.h"
#include "monitor/programacion.h"
#include "monitor/reloj_equipo.h"

#include "comandos.h"

namespace cli {

namespace {

QString Nombre_Modo(const QString& codigo) {
    if (codigo == QLatin1String("AJ")) return QStringLiteral("AJUSTE");
    if (codigo == QLatin1String("RE")) return QStringLiteral("REGISTRO");
    return codigo;
}

// A status read, or its failure told; false on failure.
bool Leer(Sesion& s, aq::Resultado_Estado* r) {
    *r = aq::Consultar_Estado(s.ctx());
    if (r->fin == aq::Fin_Estado::Leido) return true;
    s.Aviso(aq::Mensaje_Estado(r->fin));
    return false;
}

// Programming is for a logger in AJUSTE only, as in the monitor.
int Programar(Sesion& s, aq::Programacion que,
              const std::function<aq::Fin_Programacion(aq::Contexto&)>& enviar) {
    aq::Resultado_Estado e;
    if (!Leer(s, &e)) return Rechazo;
    if (e.registro.Modo != QLatin1String("AJ")) {
        s.Aviso(
            QStringLiteral("El equipo se encuentra en Modo REGISTRO.\n"
                           "Para programarlo, deberá pasar a Modo AJUSTE."));
        return Rechazo;
    }
    const aq::Fin_Programacion fin = enviar(s.ctx());
    if (fin == aq::Fin_Programacion::Aceptado) return Exito;
    s.Aviso(aq::Mensaje_Programacion(que, fin));
    return fin == aq::Fin_Programacion::Valor_Invalido ? Uso : Rechazo;
}

bool Dos_Numeros(const QString& texto, QChar separador, int* a, int* b) {
    const QRegularExpression patron(QStringLiteral("^(\\d{1,2})%1(\\d{1,2})$").arg(separador));
    const auto m = patron.match(texto);
    if (!m.hasMatch()) return false;
    *a = m.captured(1).toInt();
    *b = m.captured(2).toInt();
    return true;
}

}  // namespace

int Orden_Estado(Sesion& s, const QStringList& args) {
    const bool json = args == QStringList{QStringLiteral("--json")};
    if (!args.isEmpty() && !json) return Uso_De("estado");
    if (!s.Abrir()) return Rechazo;
    aq::Resultado_Estado r;
    if (!Leer(s, &r)) return Rechazo;
    const aq::Registro_Estado& e = r.registro;
    const QString libres = aq::Texto_Registros_Disponibles(e.Registros);
    const bool consistente = libres.endsWith(QLatin1String(" Registros Disponibles"));
    const QString n_libres = consistente ? libres.section(QLatin1Char(' '), 0, 0) : libres;
    const aq::Deriva_Reloj deriva = aq::Calcular_Deriva(e.Fecha, e.Hora, s.ctx().reloj.Ahora());
    const aq::Prevision_Memoria llena =
        e.Modo == QLatin1String("RE")
            ? aq::Prever_Memoria_Llena(aq::Registros_Libres(e.Registros),
                                       s.estado().Intervalo_Equipo, e.Fecha, e.Hora)
            : aq::Prevision_Memoria();

    if (json) {
        QJsonObject o;
        o[QStringLiteral("equipo")] = e.Equipo;
        o[QStringLiteral("alcance_m")] = aq::Valor_Numerico(e.Alcance);
        o[QStringLiteral("lectura_mm")] = aq::Valor_Numerico(e.Lectura);
        o[QStringLiteral("fecha")] = e.Fecha;
        o[QStringLiteral("hora")] = e.Hora;
        o[QStringLiteral("intervalo")] = e.Intervalo.trimmed();
        o[QStringLiteral("modo")] = Nombre_Modo(e.Modo);
        o[QStringLiteral("registros_libres")] =
            consistente ? QJsonValue(n_libres.toInt()) : QJsonValue(QJsonValue::Null);
        if (deriva.valida) o[QStringLiteral("deriva_reloj_min")] = double(deriva.minutos);
        if (!deriva.texto.isEmpty()) o[QStringLiteral("deriva_reloj")] = deriva.texto;
        if (llena.valida) o[QStringLiteral("memoria_llena")] = llena.texto;
        s.Datos(QString::fromUtf8(QJsonDocument(o).toJson(QJsonDocument::Compact)));
    } else {
        s.Datos(QStringLiteral("equipo: ") + e.Equipo);
        s.Datos(QStringLiteral("alcance_m: ") + aq::Numero_Simple(aq::Valor_Numerico(e.Alcance)));
        s.Datos(QStringLiteral("lectura_mm: ") + e.Lectura);
        s.Datos(QStringLiteral("fecha: ") + e.Fecha);
        s.Datos(QStringLiteral("hora: ") + e.Hora);
        s.Datos(QStringLiteral("intervalo: ") + e.Intervalo.trimmed());
        s.Datos(QStringLiteral("modo: ") + Nombre_Modo(e.Modo));
        s.Datos(QStringLiteral("registros_libres: ") + n_libres);
        if (deriva.valida)
            s.Datos(QStringLiteral("deriva_reloj_min: ") + QString::number(deriva.minutos));
        if (!deriva.texto.isEmpty()) s.Datos(QStringLiteral("deriva_reloj: ") + deriva.texto);
        if (llena.valida) s.Datos(QStringLiteral("memoria_llena: ") + llena.texto);
    }
    return Exito;
}

int Orden_Modo(Sesion& s, const QStringList& args) {
    if (args.size() != 1) return Uso_De("modo");
    const QString pedido = args[0].toLower();
    aq::Modo_Destino destino;
    if (pedido == QLatin1String("ajuste"))
        destino = aq::Modo_Destino::Ajuste;
    else if (pedido == QLatin1String("registro"))
        destino = aq::Modo_Destino::Registro;
    else
        return Uso_De("modo");

    if (!s.Abrir()) return Rechazo;
    const aq::Fin_Modo fin = aq::Cambiar_Modo(s.ctx(), destino);
    if (fin != aq::Fin_Modo::Aceptado) s.Aviso(aq::Mensaje_Modo(destino, fin));
    if (!aq::Sondea_Despues(fin)) return Rechazo;
    if (aq::Pausa_Antes_Del_Sondeo(destino, fin)) aq::Esperar_Medio_Segundo(s.ctx().reloj);
    // What counts is the mode the logger reports afterwards.
    aq::Resultado_Estado e;
    if (!Leer(s, &e)) return Rechazo;
    s.Datos(QStringLiteral("modo: ") + Nombre_Modo(e.registro.Modo));
    const bool logrado =
        e.registro.Modo == QLatin1String(destino == aq::Modo_Destino::Ajuste ? "AJ" : "RE");
    return logrado ? Exito : Rechazo;
}

int Orden_Fecha(Sesion& s, const QStringList& args) {
    const QRegularExpression patron(QStringLiteral("^(\\d{1,2})/(\\d{1,2})/(\\d{2})$"));
    const auto m = args.size() == 1 ? patron.match(args[0]) : QRegularExpressionMatch();
    if (!m.hasMatch()) return Uso_De("fecha");
    const int d = m.captured(1).toInt(), mes = m.captured(2).toInt(), a = m.captured(3).toInt();
    // Checked before the line is touched: an impossible date is never sent.
    if (!aq::Fecha_Valida(d, mes, a)) {
        s.Aviso(aq::Mensaje_Programacion(aq::Programacion::Fecha,
                                         aq::Fin_Programacion::Valor_Invalido));
        return Uso;
    }
    if (!s.Abrir()) return Rechazo;
    return Programar(s, aq::Programacion::Fecha,
                     [&](aq::Contexto& c) { return aq::Programar_Fecha(c, d, mes, a); });
}

int Orden_Hora(Sesion& s, const QStringList& args) {
    int h = 0, mi = 0;
    if (args.size() != 1 || !Dos_Numeros(args[0], QLatin1Char(':'), &h, &mi)) return Uso_De("hora");
    if (!aq::Hora_Valida(h, mi)) {
        s.Aviso(
            aq::Mensaje_Programacion(aq::Programacion::Hora, aq::Fin_Programacion::Valor_Invalido));
        return Uso;
    }
    if (!s.Abrir()) return Rechazo;
    return Programar(s, aq::Programacion::Hora,
                     [&](aq::Contexto& c) { return aq::Programar_Hora(c, h, mi); });
}

int Orden_Intervalo(Sesion& s, const QStringList& args) {
    static const QStringList nombres = {"5m", "10m", "15m", "30m", "1h", "2h", "4h"};
    if (args.size() != 1) return Uso_De("intervalo");
    int codigo = nombres.indexOf(args[0].toLower());
    if (codigo < 0) {
        bool numero = false;
        const int n = args[0].toInt(&numero);
        codigo = numero ? n : -1;
    }
    if (!aq::Intervalo_Valido(codigo)) {
        s.Aviso(aq::Mensaje_Programacion(aq::Programacion::Intervalo,
                                         aq::Fin_Programacion::Valor_Invalido));
        return Uso;
    }
    if (!s.Abrir()) return Rechazo;
    return Programar(s, aq::Programacion::Intervalo,
                     [&](aq::Contexto& c) { return aq::Programar_Intervalo(c, codigo); });
}

int Orden_Reloj(Sesion& s, const QStringList& args) {
    if (!args.isEmpty()) return Uso_De("reloj");
    if (!s.Abrir()) return Rechazo;
    QDate enviada;
    const int r = Programar(s, aq::Programacion::Fecha, [&](aq::Contexto& c) {
        enviada = c.reloj.Ahora().date();
        return aq::Programar_Fecha(c, enviada.day(), enviada.month(), enviada.year() % 100);
    });
    if (r != Exito) return r;
    aq::Contexto& c = s.ctx();
    QTime hora_enviada;
    auto enviar_hora = [&] {
        hora_enviada = c.reloj.Ahora().time();
        const aq::Fin_Programacion fin =
            aq::Programar_Hora(c, hora_enviada.hour(), hora_enviada.minute());
        if (fin != aq::Fin_Programacion::Aceptado)
            s.Aviso(aq::Mensaje_Programacion(aq::Programacion::Hora, fin));
        return fin == aq::Fin_Programacion::Aceptado;
    };
    if (!enviar_hora()) return Rechazo;
    // Midnight between the two commands: the date goes again, then the time.
    const QDate hoy = c.reloj.Ahora().date();
    if (hoy != enviada) {
        const aq::Fin_Programacion fin =
            aq::Programar_Fecha(c, hoy.day(), hoy.month(), hoy.year() % 100);
        if (fin != aq::Fin_Programacion::Aceptado) {
            s.Aviso(aq::Mensaje_Programacion(aq::Programacion::Fecha, fin));
            return Rechazo;
        }
        enviada = hoy;
        if (!enviar_hora()) return Rechazo;
    }
    s.Datos(QStringLiteral("fecha: ") + enviada.toString(QStringLiteral("dd/MM/yy")));
    s.Datos(QStringLiteral("hora: ") + hora_enviada.toString(QStringLiteral("HH:mm")));
    return Exito;
}

}  // namespace cli
