#include "dobles/puerto_guionado.h"

#include <algorithm>

namespace aq {

void Puerto_Guionado::Responder(const QByteArray& comando, const QList<QByteArray>& respuestas,
                                double retardo) {
    respuestas_[comando] = respuestas;
    retardos_[comando] = retardo;
}

void Puerto_Guionado::Entregar(const QByteArray& datos, double retardo) {
    const double t = reloj_.Segundos() + retardo;
    auto pos = std::upper_bound(pendientes_.begin(), pendientes_.end(), t,
                                [](double v, const Pendiente& p) { return v < p.t; });
    pendientes_.insert(pos, Pendiente{t, datos});
}

QList<QByteArray> Puerto_Guionado::Comandos() const {
    QList<QByteArray> r;
    for (const auto& e : escrituras_) r << e.texto;
    return r;
}

bool Puerto_Guionado::setPortOpen(bool abrir) {
    if (!abrir) {
        abierto_ = false;
        buffer_.clear();
        return true;
    }
    if (puertos_ocupados.contains(puerto_)) return false;
    abierto_ = true;
    ++aperturas_;
    buffer_.clear();
    pendientes_.clear();
    return true;
}

void Puerto_Guionado::Llegar_Hasta(double t) {
    while (!pendientes_.isEmpty() && pendientes_.first().t <= t) {
        if (abierto_) buffer_ += pendientes_.first().datos;
        pendientes_.removeFirst();
    }
}

int Puerto_Guionado::InBufferCount() {
    Llegar_Hasta(reloj_.Segundos());
    return buffer_.size();
}

QByteArray Puerto_Guionado::Input() {
    Llegar_Hasta(reloj_.Segundos());
    QByteArray r;
    if (largo_lectura_ == 0) {
        r = buffer_;
        buffer_.clear();
    } else {
        r = buffer_.left(largo_lectura_);
        buffer_.remove(0, r.size());
    }
    return r;
}

void Puerto_Guionado::Output(const QByteArray& texto) {
    if (!abierto_) return;
    escrituras_.append({reloj_.Segundos(), texto});
    auto it = respuestas_.find(texto);
    if (it != respuestas_.end() && !it->isEmpty()) {
        const QByteArray r = it->size() > 1 ? it->takeFirst() : it->first();
        if (!r.isEmpty()) Entregar(r, retardos_.value(texto));
    }
    if (al_escribir) al_escribir(texto);
}

bool Puerto_Guionado::Esperar_Datos(double limite) {
    Llegar_Hasta(reloj_.Segundos());
    if (abierto_ && !pendientes_.isEmpty() && pendientes_.first().t <= limite) {
        reloj_.Ir_A(pendientes_.first().t);
        Llegar_Hasta(reloj_.Segundos());
        return true;
    }
    reloj_.Ir_A(limite);
    return false;
}

QByteArray Bloque_Estado(const QByteArray& equipo, const QByteArray& alcance,
                         const QByteArray& lectura, const QByteArray& fecha, const QByteArray& hora,
                         const QByteArray& intervalo, const QByteArray& modo,
                         const QByteArray& registros) {
    QByteArray datos = equipo + ' ' + alcance + ' ' + lectura + ' ' + fecha + ' ' + hora + ' ' +
                       intervalo + ' ' + modo + ' ' + registros;
    // Checked in every build: a wrong record would make the tests that use it meaningless.
    if (datos.size() != 43)
        qFatal("Bloque_Estado: %d caracteres en lugar de 43", int(datos.size()));
    int suma = 0;
    for (char c : datos) suma += static_cast<unsigned char>(c);
    return datos + QByteArray::number(suma).rightJustified(4, '0') + "\r\n";
}

}  // namespace aq
