#include "LocalHttpServer.h"

#include <QHostAddress>
#include <QTcpSocket>
#include <QTimer>
#include <memory>
#include <sys/socket.h>

LocalHttpServer::LocalHttpServer(const QHostAddress& address, quint16 port) {
    listen(address, port);
    connect(this, &QTcpServer::newConnection, this, &LocalHttpServer::Accept);
}

QByteArray LocalHttpServer::Ok(const QByteArray& body, const QByteArray& status) {
    return "HTTP/1.1 " + status + "\r\nContent-Type: text/plain; charset=utf-8\r\nContent-Length: " +
           QByteArray::number(body.size()) + "\r\nConnection: close\r\n\r\n" + body;
}

void LocalHttpServer::Accept() {
    while (QTcpSocket* socket = nextPendingConnection()) {
        const int number = int(requests.size());
        requests.append(QByteArray());
        connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
        connect(socket, &QTcpSocket::readyRead, socket, [this, socket, number] {
            QByteArray& head = requests[number];
            if (head.contains("\r\n\r\n")) return; // answered already
            head += socket->readAll();
            if (!head.contains("\r\n\r\n")) return;
            const QByteArray out = response;
            if (mode == Mode::Reply) {
                socket->write(out);
                if (!filler.isEmpty()) {
                    connect(socket, &QTcpSocket::bytesWritten, socket, [socket, more = filler] {
                        if (socket->bytesToWrite() < more.size()) socket->write(more);
                    });
                } else if (reset) {
                    connect(socket, &QTcpSocket::bytesWritten, socket, [socket] {
                        if (socket->bytesToWrite() > 0) return;
                        const linger hard{1, 0}; // a close with a zero linger time sends RST
                        setsockopt(int(socket->socketDescriptor()), SOL_SOCKET, SO_LINGER, &hard,
                                   sizeof hard);
                        socket->abort();
                    });
                } else {
                    socket->disconnectFromHost();
                }
            } else if (mode == Mode::Trickle) { // a silent server sends nothing
                auto* timer = new QTimer(socket);
                auto sent = std::make_shared<int>(0);
                const auto next = [socket, timer, out, sent, count = pieces] {
                    const qsizetype piece = (out.size() + count - 1) / count;
                    socket->write(out.mid(*sent * piece, piece));
                    if (++*sent < count) return;
                    timer->stop();
                    socket->disconnectFromHost();
                };
                connect(timer, &QTimer::timeout, socket, next);
                timer->start(trickleMs);
            }
        });
    }
}
