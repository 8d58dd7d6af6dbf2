#include "apoyo_sim.h"

namespace aq {

Simulador_En_Marcha::Simulador_En_Marcha(const QStringList& opciones) {
    proceso.start(QStringLiteral(AQ_SIM_PATH), opciones);
    // the first line it prints names the slave side
    while (!proceso.canReadLine() && proceso.waitForReadyRead(5000)) continue;
    esclavo = QString::fromLocal8Bit(proceso.readLine()).trimmed();
}

Simulador_En_Marcha::~Simulador_En_Marcha() {
    proceso.terminate();
    if (!proceso.waitForFinished(3000)) proceso.kill();
    proceso.waitForFinished(1000);
}

Programa_En_Linea::Programa_En_Linea(const QString& dispositivo, bool saludo) {
    perfil.secciones["Puertos"]["COM1"] = dispositivo;
    puerto.setCommPort(1);
    estado.Puerto_Com = 1;
    f = new Fondo(ctx);
    f->show();
    saludo ? f->Form_Load() : f->Puerto_Host().Cargar();
}

}  // namespace aq
