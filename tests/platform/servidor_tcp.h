#pragma once
#include <QTcpServer>
#include <QTcpSocket>
#include <QThread>
#include <atomic>
#include <functional>
#include <future>
#include <memory>
#include <thread>

namespace aq {

// The far end of a TCP line: a server on a thread of its own that runs `guion` on each of its
// first `conexiones` connections and then hangs up. Blocking calls only, so the port under test
// may block too.
class Servidor_Tcp {
  public:
    using Guion = std::function<void(QTcpSocket&)>;
    explicit Servidor_Tcp(Guion guion, int conexiones = 1) {
        std::promise<quint16> escuchando;
        std::future<quint16> p = escuchando.get_future();
        hilo_ = std::thread([this, guion, conexiones, &escuchando] {
            QTcpServer s;
            s.listen(QHostAddress::LocalHost, 0);
            escuchando.set_value(s.serverPort());
            for (int i = 0; i < conexiones; ++i) {
                while (!fin_ && !s.waitForNewConnection(20)) continue;
                if (fin_) return;
                std::unique_ptr<QTcpSocket> c(s.nextPendingConnection());
                guion(*c);
                c->disconnectFromHost();
                if (c->state() != QAbstractSocket::UnconnectedState) c->waitForDisconnected(1000);
            }
        });
        puerto = p.get();
    }
    ~Servidor_Tcp() {
        fin_ = true;
        hilo_.join();
    }
    QString Direccion() const { return QStringLiteral("tcp://127.0.0.1:%1").arg(puerto); }
    quint16 puerto = 0;

    // Reads until `n` bytes came or 3 s passed.
    static QByteArray Leer(QTcpSocket& c, int n) {
        QByteArray r;
        while (r.size() < n && (c.bytesAvailable() > 0 || c.waitForReadyRead(3000)))
            r += c.read(n - r.size());
        return r;
    }
    static void Escribir(QTcpSocket& c, const QByteArray& d) {
        c.write(d);
        while (c.bytesToWrite() > 0 && c.waitForBytesWritten(3000)) continue;
    }

  private:
    std::atomic<bool> fin_{false};
    std::thread hilo_;
};

}  // namespace aq
