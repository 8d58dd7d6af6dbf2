#include "platform/puerto_qt.h"

#include "platform/dispositivo.h"

#include <QMetaObject>
#include <QThread>
#include <cmath>

namespace aq {

namespace {

// Errors after which the device is no longer usable (unplugged adapter, hung-up line).
bool Es_Fallo_De_Dispositivo(QSerialPort::SerialPortError e) {
    return e == QSerialPort::ResourceError || e == QSerialPort::ReadError ||
           e == QSerialPort::WriteError;
}

int Milisegundos_Hasta(double limite, double ahora) {
    const double falta = limite - ahora;
    if (falta <= 0) return 0;
    return static_cast<int>(std::ceil(falta * 1000));
}

}  // namespace

Puerto_Qt::Puerto_Qt(Perfil& perfil, Reloj& reloj) : perfil_(perfil), reloj_(reloj) {
    QObject::connect(&serie_, &QSerialPort::errorOccurred, &serie_,
                     [this](QSerialPort::SerialPortError e) {
                         if (!Es_Fallo_De_Dispositivo(e) || !serie_.isOpen()) return;
                         fallo_ = true;
                         // The error may come from inside QSerialPort's own notifier, which
                         // must not be destroyed under its feet: close once it has returned.
                         QMetaObject::invokeMethod(
                             &serie_, [this] { Revisar_Fallo(); }, Qt::QueuedConnection);
                     });
}

Puerto_Qt::~Puerto_Qt() {
    Cerrar();
}

QString Puerto_Qt::Dispositivo_Predeterminado(int n) {
    return aq::Dispositivo_Predeterminado(n);
}

QString Puerto_Qt::Dispositivo(int n) const {
    return fijo_.isEmpty() ? Dispositivo_De_Puerto(perfil_, n) : fijo_;
}

void Puerto_Qt::setCommPort(int n) {
    if (!PortOpen()) puerto_ = n;
}

void Puerto_Qt::setInBufferSize(int n) {
    // Kept for the program's sake only: Qt's own buffer stays unlimited, so nothing that
    // arrives is ever dropped.
    if (!PortOpen() && n > 0) tamano_buffer_ = n;
}

bool Puerto_Qt::setPortOpen(bool abrir) {
    if (!abrir) {
        Cerrar();
        return true;
    }
    if (PortOpen()) return true;
    error_.clear();
    if (puerto_ < 1 && fijo_.isEmpty()) return false;
    const QString dispositivo = Dispositivo(puerto_);
    serie_.setPortName(dispositivo);
    serie_.setReadBufferSize(0);
    error_ = QStringLiteral("No se pudo abrir el puerto %1.").arg(dispositivo);
    if (!serie_.open(QIODevice::ReadWrite)) {
        serie_.clearError();
        return false;
    }
    const bool ajustado =
        serie_.setBaudRate(QSerialPort::Baud9600) && serie_.setDataBits(QSerialPort::Data8) &&
        serie_.setParity(QSerialPort::NoParity) && serie_.setStopBits(QSerialPort::OneStop) &&
        serie_.setFlowControl(QSerialPort::NoFlowControl);
    if (!ajustado) {
        Cerrar();
        return false;
    }
    serie_.clear(QSerialPort::AllDirections);
    serie_.clearError();
    fallo_ = false;
    error_.clear();
    return true;
}

void Puerto_Qt::Cerrar() {
    if (serie_.isOpen()) serie_.close();
    serie_.clearError();
    fallo_ = false;
    rescatados_.clear();
}

bool Puerto_Qt::Revisar_Fallo() {
    if (!serie_.isOpen()) return true;
    if (fallo_ || Es_Fallo_De_Dispositivo(serie_.error())) {
        // What arrived before the line went down is part of the reading: keep it readable.
        QByteArray recibidos = rescatados_ + serie_.readAll();
        Cerrar();
        rescatados_ = recibidos;
        return true;
    }
    return false;
}

void Puerto_Qt::Traer_Pendientes() {
    if (!PortOpen()) return;
    // Zero-timeout waits pull whatever the system holds without blocking.
    while (serie_.waitForReadyRead(0)) {
    }
    Revisar_Fallo();
}

int Puerto_Qt::InBufferCount() {
    Traer_Pendientes();
    return PortOpen() ? static_cast<int>(serie_.bytesAvailable()) : rescatados_.size();
}

QByteArray Puerto_Qt::Input() {
    Traer_Pendientes();
    if (PortOpen()) return largo_lectura_ == 0 ? serie_.readAll() : serie_.read(largo_lectura_);
    const QByteArray r = largo_lectura_ == 0 ? rescatados_ : rescatados_.left(largo_lectura_);
    rescatados_.remove(0, r.size());
    return r;
}

void Puerto_Qt::Output(const QByteArray& texto) {
    if (!PortOpen() || texto.isEmpty()) return;
    serie_.write(texto);
    // Hand the text to the system now: nothing runs Qt's event loop during an exchange. The
    // system buffers it, so this returns at once unless the device is stuck.
    const double limite = reloj_.Segundos() + 0.2;
    while (PortOpen() && serie_.bytesToWrite() > 0 && reloj_.Segundos() < limite) {
        if (!serie_.waitForBytesWritten(Milisegundos_Hasta(limite, reloj_.Segundos()))) {
            if (Revisar_Fallo()) return;
        }
    }
}

bool Puerto_Qt::Esperar_Datos(double limite) {
    if (!PortOpen()) {
        reloj_.Dormir(limite - reloj_.Segundos());
        return false;
    }
    const qint64 antes = serie_.bytesAvailable();
    bool interrumpido = false;
    for (;;) {
        const int ms = Milisegundos_Hasta(limite, reloj_.Segundos());
        serie_.clearError();
        if (serie_.waitForReadyRead(ms)) {
            if (serie_.bytesAvailable() > antes) return true;
            continue;
        }
        // The caller sees the closed port at once; a later wait on it sleeps.
        if (Revisar_Fallo()) return false;
        if (ms == 0) return serie_.bytesAvailable() > antes;
        if (serie_.error() != QSerialPort::TimeoutError) {
            // Woken without data and without a reason (a signal): avoid a tight loop should
            // that repeat.
            if (interrumpido) QThread::msleep(1);
            interrumpido = true;
        }
    }
}

}  // namespace aq
