#include "link/texto.h"

#include <cmath>

namespace aq {

double Valor_Numerico(const QByteArray& texto) {
    int i = 0;
    const int n = texto.size();
    while (i < n && (texto[i] == ' ' || texto[i] == '\t')) ++i;
    const int inicio = i;
    if (i < n && (texto[i] == '+' || texto[i] == '-')) ++i;
    bool digitos = false;
    while (i < n && texto[i] >= '0' && texto[i] <= '9') ++i, digitos = true;
    if (i < n && texto[i] == '.') {
        ++i;
        while (i < n && texto[i] >= '0' && texto[i] <= '9') ++i, digitos = true;
    }
    if (!digitos) return 0;
    bool ok = false;
    const double v = texto.mid(inicio, i - inicio).toDouble(&ok);
    return ok ? v : 0;
}

QString Numero_Simple(double valor) {
    if (std::floor(valor) == valor && std::fabs(valor) < 1e15)
        return QString::number(static_cast<long long>(valor));
    return QString::number(valor, 'g', 15);
}

}  // namespace aq
