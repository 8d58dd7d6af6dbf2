#include "apoyo_sim.h"

#include <QElapsedTimer>

namespace aq {

Simulador_En_Marcha::Simulador_En_Marcha(const QStringList& opciones) {
    proceso_.setProgram(QStringLiteral(AQ_SIM_PATH));
    proceso_.setArguments(opciones);
    proceso_.start();
    if (!proceso_.waitForStarted(5000)) return;
    QElapsedTimer t;
    t.start();
    while (!proceso_.canReadLine() && t.elapsed() < 5000) proceso_.waitForReadyRead(100);
    esclavo_ = QString::fromLocal8Bit(proceso_.readLine()).trimmed();
}

Simulador_En_Marcha::~Simulador_En_Marcha() {
    proceso_.terminate();
    if (!proceso_.waitForFinished(3000)) proceso_.kill();
    proceso_.waitForFinished(1000);
}

QString Simulador_En_Marcha::Errores() {
    return QString::fromLocal8Bit(proceso_.readAllStandardError());
}

Programa_En_Linea::Programa_En_Linea(const QString& dispositivo) : linea(dispositivo) {
    estado.Puerto_Com = 1;
    f = new Fondo(ctx);
    f->show();
    f->Puerto_Host().Cargar();
}

Programa_En_Linea::~Programa_En_Linea() {
    delete f;
}

}  // namespace aq
