#include "platform/puerto_tcp.h"

#include <QHostAddress>
#include <QHostInfo>
#include <QThread>
#include <algorithm>
#include <chrono>
#include <cmath>
#include <condition_variable>
#include <mutex>
#include <thread>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>
#include <cerrno>
#include <cstring>

#include "platform/espera_atenta.h"

namespace aq {

namespace {

int Milisegundos_Hasta(double limite, double ahora) {
    const double falta = limite - ahora;
    if (falta <= 0) return 0;
    return static_cast<int>(std::ceil(falta * 1000));
}

// The addresses of `host`, or none once `ms` have passed. The system's lookup cannot be
// bounded, so it runs on a thread of its own that is left behind when it takes too long.
// Waits in slices that let the windows repaint.
QList<QHostAddress> Direcciones(const QString& host, int ms) {
    if (QHostAddress literal; literal.setAddress(host)) return {literal};
    struct Consulta {
        std::mutex m;
        std::condition_variable hecha;
        bool lista = false;
        QList<QHostAddress> direcciones;
    };
    auto c = std::make_shared<Consulta>();
    std::thread([c, host] {
        const QList<QHostAddress> d = QHostInfo::fromName(host).addresses();
        std::lock_guard<std::mutex> l(c->m);
        c->direcciones = d;
        c->lista = true;
        c->hecha.notify_all();
    }).detach();
    const auto fin = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
    const auto paso = std::chrono::milliseconds(static_cast<int>(Espera_Atenta::Paso * 1000));
    std::unique_lock<std::mutex> l(c->m);
    while (!c->lista && std::chrono::steady_clock::now() < fin) {
        c->hecha.wait_until(l, std::min(fin, std::chrono::steady_clock::now() + paso),
                            [&] { return c->lista; });
        if (c->lista) break;
        l.unlock();
        Espera_Atenta::Atender();
        l.lock();
    }
    return c->lista ? c->direcciones : QList<QHostAddress>{};
}

// The descriptor of a socket connected to `d`, or -1 when refused or once `limite` has passed.
// QTcpSocket's own wait gives the attempt up when it returns, so it cannot wait in slices that
// let the windows answer; the socket is connected here and handed to it.
int Conectar_Socket(const QHostAddress& d, quint16 puerto, Reloj& reloj, double limite) {
    sockaddr_storage direccion{};
    socklen_t largo = 0;
    if (d.protocol() == QAbstractSocket::IPv6Protocol) {
        auto* v6 = reinterpret_cast<sockaddr_in6*>(&direccion);
        v6->sin6_family = AF_INET6;
        v6->sin6_port = htons(puerto);
        const Q_IPV6ADDR a = d.toIPv6Address();
        std::memcpy(&v6->sin6_addr, &a, sizeof a);
        largo = sizeof(sockaddr_in6);
    } else {
        auto* v4 = reinterpret_cast<sockaddr_in*>(&direccion);
        v4->sin_family = AF_INET;
        v4->sin_port = htons(puerto);
        v4->sin_addr.s_addr = htonl(d.toIPv4Address());
        largo = sizeof(sockaddr_in);
    }
    const int fd = ::socket(direccion.ss_family, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
    if (fd < 0) return -1;
    if (::connect(fd, reinterpret_cast<sockaddr*>(&direccion), largo) == 0) return fd;
    if (errno == EINPROGRESS) {
        const int paso = static_cast<int>(Espera_Atenta::Paso * 1000);
        for (;;) {
            const int ms = Milisegundos_Hasta(limite, reloj.Segundos());
            pollfd p{fd, POLLOUT, 0};
            if (::poll(&p, 1, std::min(ms, paso)) > 0) {
                int error = 0;
                socklen_t l = sizeof error;
                if (::getsockopt(fd, SOL_SOCKET, SO_ERROR, &error, &l) == 0 && error == 0)
                    return fd;
                break;
            }
            if (ms <= paso) break;
            Espera_Atenta::Atender();
        }
    }
    ::close(fd);
    return -1;
}

}  // namespace

Puerto_Tcp::Puerto_Tcp(Reloj& reloj) : reloj_(reloj) {}

Puerto_Tcp::~Puerto_Tcp() {
    Cerrar();
}

void Puerto_Tcp::setDestino(const QString& host, quint16 puerto) {
    if (PortOpen()) return;
    host_ = host;
    puerto_tcp_ = puerto;
}

void Puerto_Tcp::setCommPort(int n) {
    if (!PortOpen()) puerto_ = n;
}

void Puerto_Tcp::setInBufferSize(int n) {
    // Nominal only, as on the serial line: the socket's buffer is unlimited.
    if (!PortOpen() && n > 0) tamano_buffer_ = n;
}

bool Puerto_Tcp::PortOpen() const {
    return socket_.state() == QAbstractSocket::ConnectedState;
}

bool Puerto_Tcp::setPortOpen(bool abrir) {
    if (!abrir) {
        Cerrar();
        return true;
    }
    if (PortOpen()) return true;
    Cerrar();
    if (Conectar()) {
        error_.clear();
        return true;
    }
    socket_.abort();
    error_ = QStringLiteral("No se pudo conectar con %1.").arg(Destino());
    return false;
}

bool Puerto_Tcp::Conectar() {
    if (host_.isEmpty() || puerto_tcp_ == 0) return false;
    // Up to 3 s against a server that drops the attempt: the windows keep answering meanwhile.
    Espera_Atenta atenta;
    const double limite = reloj_.Segundos() + Espera_Conexion;
    // A name may stand for several addresses (localhost: ::1 and 127.0.0.1); a server listens on
    // one of them.
    for (const QHostAddress& d :
         Direcciones(host_, Milisegundos_Hasta(limite, reloj_.Segundos()))) {
        const int ms = Milisegundos_Hasta(limite, reloj_.Segundos());
        if (ms == 0) break;
        const int fd = Conectar_Socket(d, puerto_tcp_, reloj_, limite);
        if (fd >= 0 && socket_.setSocketDescriptor(fd)) {
            // Commands are a few bytes: send each at once instead of gathering them.
            socket_.setSocketOption(QAbstractSocket::LowDelayOption, 1);
            socket_.setSocketOption(QAbstractSocket::KeepAliveOption, 1);
            return true;
        }
        if (fd >= 0) ::close(fd);
    }
    return false;
}

void Puerto_Tcp::Cerrar() {
    socket_.abort();
    rescatados_.clear();
}

bool Puerto_Tcp::Revisar_Caida() {
    if (PortOpen()) return false;
    if (socket_.isOpen()) {
        // What arrived before the drop is part of the reading: keep it readable.
        rescatados_ += socket_.readAll();
        socket_.abort();
    }
    return true;
}

void Puerto_Tcp::Traer_Pendientes() {
    if (!PortOpen()) {
        Revisar_Caida();
        return;
    }
    // Zero-timeout waits pull whatever the system holds without blocking.
    while (socket_.waitForReadyRead(0)) {
    }
    Revisar_Caida();
}

int Puerto_Tcp::Esperando() const {
    return rescatados_.size() + static_cast<int>(socket_.bytesAvailable());
}

int Puerto_Tcp::InBufferCount() {
    Traer_Pendientes();
    return Esperando();
}

QByteArray Puerto_Tcp::Input() {
    Traer_Pendientes();
    if (PortOpen()) return largo_lectura_ == 0 ? socket_.readAll() : socket_.read(largo_lectura_);
    const QByteArray r = largo_lectura_ == 0 ? rescatados_ : rescatados_.left(largo_lectura_);
    rescatados_.remove(0, r.size());
    return r;
}

void Puerto_Tcp::Output(const QByteArray& texto) {
    if (!PortOpen() || texto.isEmpty()) return;
    socket_.write(texto);
    // Hand the text to the system now: nothing runs Qt's event loop during an exchange, and the
    // exchange's waits count from here.
    socket_.flush();
    const double limite = reloj_.Segundos() + 0.2;
    while (PortOpen() && socket_.bytesToWrite() > 0 && reloj_.Segundos() < limite) {
        if (!socket_.waitForBytesWritten(Milisegundos_Hasta(limite, reloj_.Segundos()))) {
            if (Revisar_Caida()) return;
        }
    }
    Revisar_Caida();
}

bool Puerto_Tcp::Esperar_Datos(double limite) {
    if (!PortOpen()) {
        Revisar_Caida();
        reloj_.Dormir(limite - reloj_.Segundos());
        return false;
    }
    const int antes = Esperando();
    // The hang-up may be the next thing waiting on the socket: the wait ends with it.
    Traer_Pendientes();
    if (!PortOpen() || Esperando() > antes) return Esperando() > antes;
    bool interrumpido = false;
    for (;;) {
        const int ms = Milisegundos_Hasta(limite, reloj_.Segundos());
        if (socket_.waitForReadyRead(ms)) {
            if (Esperando() > antes) return true;
            continue;
        }
        // A drop ends the wait at once; the caller sees the closed port, and a later wait on
        // it sleeps.
        if (Revisar_Caida()) return Esperando() > antes;
        if (ms == 0) return Esperando() > antes;
        if (socket_.error() != QAbstractSocket::SocketTimeoutError) {
            // Woken without data and without a reason: avoid a tight loop should that repeat.
            if (interrumpido) QThread::msleep(1);
            interrumpido = true;
        }
    }
}

}  // namespace aq
