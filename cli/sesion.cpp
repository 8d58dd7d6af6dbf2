#include "core/configuracion.h"
#include "link/saludo.h"
#include "platform/senales.h"

#include <QDir>
#include <csignal>

#include "comandos.h"

namespace cli {

void Sesion::Ajustes(bool carpetas) {
    if (ajustes_) return;
    ajustes_ = true;
    // The settings are the windows' own: only the reading is shared, nothing is written.
    const QList<aq::Aviso_Ajustes> avisos = aq::Leer_Ajustes(estado_, perfil_, QDir::currentPath());
    // Only the warnings about what this order uses: the folders, and the port when none was
    // given.
    for (const aq::Aviso_Ajustes& a : avisos) {
        const bool del_puerto = a.texto.startsWith(QLatin1String("El puerto"));
        if (del_puerto ? puerto_.isEmpty() : carpetas) Aviso(a.texto);
    }
}

bool Sesion::Abrir(bool carpetas) {
    Ajustes(carpetas);
    QString error;
    serie_ = Abrir_Puerto_Cli(puerto_, perfil_, reloj_, estado_.Puerto_Com, &error);
    if (!serie_) {
        Aviso(error);
        return false;
    }
    ctx_ = std::make_unique<aq::Contexto>(aq::Contexto{estado_, *serie_, reloj_, perfil_});
    const aq::Resultado_Saludo saludo = aq::Saludar_Equipo(*ctx_);
    saludado_ = saludo.fin == aq::Fin_Saludo::Establecido;
    if (!saludado_) Aviso(aq::Mensaje_Saludo(saludo));
    return saludado_;
}

void Sesion::Desarmar() {
    reloj_.armado = false;
    aq::Soltar_Senales();
}

double Reloj_Interrumpible::Segundos() const {
    if (armado)
        if (const int senal = aq::Senal_Recibida()) throw Interrupcion{senal};
    return Reloj_Real::Segundos();
}

int Salida_De_Senal(int senal) {
    return senal == SIGTERM ? Por_Sigterm : Por_Sigint;
}

void Sesion::Aviso(const QString& texto) {
    QString t = texto;
    t.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    t.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    while (t.endsWith(QLatin1Char('\n'))) t.chop(1);
    consola.Errores(t + QLatin1Char('\n'));
}

bool Sesion::Preguntar(const QString& texto) {
    Aviso(texto);
    consola.Errores(QStringLiteral("[s/N] "));
    const QString r = consola.Leer_Linea().trimmed().toLower();
    // Ctrl-C at the question ends the read like an empty answer: it must still stop the run.
    if (const int senal = aq::Senal_Recibida()) throw Interrupcion{senal};
    return r == QLatin1String("s") || r == QLatin1String("si") || r == QStringLiteral("sí");
}

}  // namespace cli
