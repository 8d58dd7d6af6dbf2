#include "platform/lista_puertos.h"

#include <QDir>
#include <QFileInfo>
#include <QSerialPortInfo>
#include <algorithm>

namespace aq {

QList<Puerto_Encontrado> Lista_Puertos_Sistema::Buscar() {
    QList<Puerto_Encontrado> lista;
    for (const QSerialPortInfo& i : QSerialPortInfo::availablePorts())
        lista.append({i.systemLocation(), i.systemLocation(), i.description(), i.manufacturer(),
                      i.serialNumber()});
    // A stable name survives replugging and renumbering: it replaces the system's name of its
    // device, and a device only it names is listed too.
    const QDir carpeta(carpeta_estable_);
    for (const QFileInfo& f :
         carpeta.entryInfoList(QDir::System | QDir::Files | QDir::NoDotAndDotDot, QDir::Name)) {
        const QString destino = f.canonicalFilePath();
        if (destino.isEmpty()) continue;  // a dangling link: the adapter is gone
        auto igual = std::find_if(lista.begin(), lista.end(), [&](const Puerto_Encontrado& p) {
            return QFileInfo(p.sistema).canonicalFilePath() == destino;
        });
        if (igual != lista.end() && igual->dispositivo == igual->sistema)
            igual->dispositivo = f.filePath();
        else if (igual == lista.end())
            lista.append({f.filePath(), destino, f.fileName(), {}, {}});
    }
    // Ports without a device behind them (the 32 legacy ttyS of a laptop) last.
    std::stable_sort(lista.begin(), lista.end(),
                     [](const Puerto_Encontrado& a, const Puerto_Encontrado& b) {
                         return !a.descripcion.isEmpty() && b.descripcion.isEmpty();
                     });
    return lista;
}

}  // namespace aq
