#pragma once
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QProcess>

#include "dobles/dialogos_guionados.h"
#include "monitor/ui/supervisor.h"
#include "platform/puerto_qt.h"
#include "platform/reloj_real.h"
#include "shell/ui/fondo.h"

namespace aq {

// The simulated logger on a real pseudo-terminal; no slave name when it did not come up.
struct Simulador_En_Marcha {
    QProcess proceso;
    QString esclavo;
    explicit Simulador_En_Marcha(const QStringList& opciones);
    ~Simulador_En_Marcha();
    QString Errores() { return QString::fromLocal8Bit(proceso.readAllStandardError()); }
};

// Declares `sim` with the given options; the test fails when it does not come up.
#define ARRANCAR_SIMULADOR(...)                        \
    Simulador_En_Marcha sim(QStringList{__VA_ARGS__}); \
    QVERIFY2(!sim.esclavo.isEmpty(), qPrintable(sim.Errores()))

// The whole program with the simulator's line as "Comm 1": the real main window, from its
// start-up with the greeting, or with only its port host loaded.
struct Programa_En_Linea {
    Estado estado;
    Perfil_Memoria perfil;
    Reloj_Real reloj;
    Puerto_Qt puerto{perfil, reloj};
    Dialogos_Guionados dialogos;
    Ayuda_Registro ayuda;
    Contexto_Ventanas ctx{{estado, puerto, reloj, perfil}, dialogos, ayuda};
    Fondo* f = nullptr;
    explicit Programa_En_Linea(const QString& dispositivo, bool saludo = false);
    ~Programa_En_Linea() { delete f; }

    // The newest child window of type T still on view, or null.
    template <class T>
    T* Hija() const {
        const QList<QMdiSubWindow*> hijas = f->Area()->subWindowList();
        for (auto i = hijas.crbegin(); i != hijas.crend(); ++i)
            if (auto* w = qobject_cast<T*>((*i)->widget()); w && (*i)->isVisible()) return w;
        return nullptr;
    }
};

// The monitor once its first poll is over (the poll blocks, so the longer interval means it
// has run).
#define ESPERAR_MONITOR(p, m)                                                                    \
    QTRY_VERIFY_WITH_TIMEOUT(                                                                    \
        (m = p.Hija<Supervisor>()) && m->Timer1->interval() == 6000 && !m->Leyendo->isVisible(), \
        15000)

}  // namespace aq
