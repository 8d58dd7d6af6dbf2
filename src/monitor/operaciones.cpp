#include "monitor/operaciones.h"

#include "link/enlace.h"
#include "link/saludo.h"
#include "monitor/programacion.h"

namespace aq {

namespace {

const QString No_Reconocido = QStringLiteral("Comando no Reconocido");
const QString No_Reconocido_Reintente =
    QStringLiteral("Comando no Reconocido. Reintente la operación. ");

// "Error NNN, el equipo no responde." with its advice line.
QString No_Responde(const char* numero, bool salga) {
    return QStringLiteral("Error %1, el equipo no responde.\n").arg(QLatin1String(numero)) +
           (salga ? QStringLiteral(
                        "Salga del programa, verifique el enlace y reinicie el procedimiento")
                  : QStringLiteral("Verifique el enlace y reinicie el procedimiento"));
}

// The unknown-answer box; without a number it starts at "El equipo".
QString Desconocida(const char* numero, bool salga) {
    QString t = QStringLiteral(
        "El equipo retorna una RESPUESTA DESCONOCIDA.\n"
        "posiblemente ocasionada por INTERFERENCIAS.\n");
    if (numero) t.prepend(QStringLiteral("Error %1, ").arg(QLatin1String(numero)));
    return t + (salga ? QStringLiteral(
                            "Salga del programa, verifique el enlace y reinicie el procedimiento")
                      : QStringLiteral("Verifique el enlace y reinicie el procedimiento"));
}

const QString Confirmar_Ajuste = QStringLiteral(
    "Se dispone a pasar al Modo AJUSTE.\n"
    "\n"
    "Se interrumpirá la secuencia de registro\n"
    "de lecturas del bloque en curso");

const QString Confirmar_Registro = QStringLiteral(
    "Se dispone a pasar al Modo REGISTRO.\n"
    "\n"
    "Se creará un nuevo bloque de datos\n"
    "en la memoria.");

const QString Memoria_Inconsistente = QStringLiteral(
    "La memoria del equipo contiene inconsistencias !!!\n"
    "\n"
    "Podrían perderse datos. Se recomienda\n"
    "salir del Modo REGISTRO, leer los datos\n"
    "a un archivo de disco, borrar la memoria\n"
    "y finalmente reintentar esta operación.");

const QString Poco_Espacio = QStringLiteral(
    "La memoria del equipo contiene poco espacio libre.\n"
    "\n"
    "El equipo NO pasará a Modo REGISTRO\n"
    "Vuelque la memoria en un archivo de disco\n"
    "bórrela y vuelva a intentar");

}  // namespace

Resultado_Estado Consultar_Estado(Contexto& ctx) {
    Resultado_Estado r;
    r.respuesta = Enviar_Comando(ctx, "L", Largo_Estado);
    if (Decodificar_Estado(r.respuesta, &r.registro)) {
        Guardar_Estado(ctx.estado, r.registro);
        r.fin = Fin_Estado::Leido;
    } else if (r.respuesta == Resp_DESCONOCIDO) {
        r.fin = Fin_Estado::No_Reconocido;
    } else if (r.respuesta == Resp_NC) {
        r.fin = Fin_Estado::Sin_Respuesta;
    } else {
        r.fin = Fin_Estado::Desconocida;
    }
    return r;
}

QString Mensaje_Estado(Fin_Estado fin) {
    switch (fin) {
        case Fin_Estado::No_Reconocido:
            return No_Reconocido;
        case Fin_Estado::Sin_Respuesta:
            return No_Responde("003", false);
        case Fin_Estado::Desconocida:
            return Desconocida("004", false);
        case Fin_Estado::Leido:
            break;
    }
    return {};
}

Fin_Modo Cambiar_Modo(Contexto& ctx, Modo_Destino destino) {
    const bool registro = destino == Modo_Destino::Registro;
    const QByteArray r = Enviar_Modo(ctx, destino);
    if (r == Resp_OK) return Fin_Modo::Aceptado;
    if (registro && r == Resp_MI) return Fin_Modo::Memoria_Inconsistente;
    if (r == Resp_NC) return Fin_Modo::Sin_Respuesta;
    if (r == Resp_DESCONOCIDO) return Fin_Modo::No_Reconocido;
    if (registro && r == Resp_PE) return Fin_Modo::Poco_Espacio;
    return Fin_Modo::Desconocida;
}

QString Confirmacion_Modo(Modo_Destino destino) {
    return destino == Modo_Destino::Registro ? Confirmar_Registro : Confirmar_Ajuste;
}

QString Mensaje_Modo(Modo_Destino destino, Fin_Modo fin) {
    const bool registro = destino == Modo_Destino::Registro;
    switch (fin) {
        case Fin_Modo::Memoria_Inconsistente:
            return Memoria_Inconsistente;
        case Fin_Modo::Poco_Espacio:
            return Poco_Espacio;
        case Fin_Modo::Sin_Respuesta:
            return registro ? No_Responde("010", false) : No_Responde("008", true);
        case Fin_Modo::No_Reconocido:
            return No_Reconocido_Reintente;
        case Fin_Modo::Desconocida:
            return registro ? Desconocida("009", false) : Desconocida("007", true);
        case Fin_Modo::Aceptado:
            break;
    }
    return {};
}

QString Titulo_Modo(Fin_Modo fin) {
    return fin == Fin_Modo::Memoria_Inconsistente || fin == Fin_Modo::Poco_Espacio
               ? Titulo_Aplicacion
               : Titulo_Error_Link;
}

bool Sondea_Despues(Fin_Modo fin) {
    return fin == Fin_Modo::Aceptado || fin == Fin_Modo::Memoria_Inconsistente ||
           fin == Fin_Modo::Poco_Espacio;
}

bool Pausa_Antes_Del_Sondeo(Modo_Destino destino, Fin_Modo fin) {
    return destino == Modo_Destino::Registro &&
           (fin == Fin_Modo::Aceptado || fin == Fin_Modo::Memoria_Inconsistente);
}

bool Cierra_Monitor(Modo_Destino destino, Fin_Modo fin) {
    return destino == Modo_Destino::Ajuste &&
           (fin == Fin_Modo::Sin_Respuesta || fin == Fin_Modo::Desconocida);
}

namespace {

Fin_Programacion Enviar_Programacion(Contexto& ctx, const QByteArray& comando) {
    const QByteArray r = Enviar_Comando(ctx, comando, 4);
    if (r == Resp_OK) return Fin_Programacion::Aceptado;
    if (r == Resp_NC) return Fin_Programacion::Sin_Respuesta;
    return Fin_Programacion::Desconocida;
}

}  // namespace

bool Fecha_Valida(int dia, int mes, int anio) {
    static const int dias[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (anio < 0 || anio > 99 || mes < 1 || mes > 12 || dia < 1) return false;
    const int largo = mes == 2 && anio % 4 == 0 ? 29 : dias[mes - 1];
    return dia <= largo;
}

bool Hora_Valida(int hora, int minuto) {
    return hora >= 0 && hora <= 23 && minuto >= 0 && minuto <= 59;
}

bool Intervalo_Valido(int codigo) {
    return codigo >= 0 && codigo < Items_Intervalo.size();
}

Fin_Programacion Programar_Fecha(Contexto& ctx, int dia, int mes, int anio) {
    if (!Fecha_Valida(dia, mes, anio)) return Fin_Programacion::Valor_Invalido;
    return Enviar_Programacion(ctx, Comando_Fecha(dia, mes, QString::number(anio)));
}

Fin_Programacion Programar_Hora(Contexto& ctx, int hora, int minuto) {
    if (!Hora_Valida(hora, minuto)) return Fin_Programacion::Valor_Invalido;
    return Enviar_Programacion(ctx, Comando_Hora(hora, minuto));
}

Fin_Programacion Programar_Intervalo(Contexto& ctx, int codigo) {
    if (!Intervalo_Valido(codigo)) return Fin_Programacion::Valor_Invalido;
    return Enviar_Programacion(ctx, Comando_Intervalo(codigo));
}

QString Mensaje_Programacion(Programacion que, Fin_Programacion fin) {
    switch (fin) {
        case Fin_Programacion::Valor_Invalido:
            switch (que) {
                case Programacion::Fecha:
                    return QStringLiteral("La fecha selectada no es válida.");
                case Programacion::Hora:
                    return QStringLiteral("La hora indicada no es válida.");
                case Programacion::Intervalo:
                    return QStringLiteral("El intervalo indicado no es válido.");
            }
            break;
        case Fin_Programacion::Sin_Respuesta:
            switch (que) {
                case Programacion::Fecha:
                    return No_Responde("011", false);
                case Programacion::Hora:
                    return No_Responde("014", false);
                case Programacion::Intervalo:
                    return No_Responde("012", false);
            }
            break;
        case Fin_Programacion::Desconocida:
            switch (que) {
                case Programacion::Fecha:
                    return Desconocida(nullptr, false);
                case Programacion::Hora:
                    return Desconocida("015", true);
                case Programacion::Intervalo:
                    return Desconocida("013", true);
            }
            break;
        case Fin_Programacion::Aceptado:
            break;
    }
    return {};
}

QString Mensaje_Fecha_Asumida(const QString& dia_asumido) {
    return QStringLiteral("La fecha selectada no es válida.\nSe asumirá el día:\n") + dia_asumido;
}

}  // namespace aq
