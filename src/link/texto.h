#pragma once
#include <QByteArray>
#include <QString>

namespace aq {

// Numeric value of a text: its leading decimal number, blanks skipped, sign and decimal point
// allowed; 0 when the text starts with no number.
double Valor_Numerico(const QByteArray& texto);
inline double Valor_Numerico(const QString& texto) {
    return Valor_Numerico(texto.toLatin1());
}

// A number as plain text: no decimals when whole, no leading zeros or blanks.
QString Numero_Simple(double valor);

// Last `n` characters of `texto` (all of it when shorter).
inline QString Derecha(const QString& texto, int n) {
    return texto.right(n);
}

}  // namespace aq
