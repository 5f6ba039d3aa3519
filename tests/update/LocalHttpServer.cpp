#include "LocalHttpServer.h"

#include <QHostAddress>
#include <QTcpSocket>
#include <QTimer>
#include <memory>

LocalHttpServer::LocalHttpServer() {
    listen(QHostAddress::LocalHost, 0);
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
        auto head = std::make_shared<QByteArray>();
        auto answered = std::make_shared<bool>(false);
        connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
        connect(socket, &QTcpSocket::readyRead, socket, [this, socket, head, answered, number] {
            if (*answered) return;
            *head += socket->readAll();
            if (!head->contains("\r\n\r\n")) return;
            requests[number] = *head;
            *answered = true;
            const QByteArray out = response;
            switch (mode) {
            case Mode::Reply:
                socket->write(out);
                socket->disconnectFromHost();
                break;
            case Mode::Silent:
                break;
            case Mode::CloseAtOnce:
                socket->abort();
                socket->deleteLater();
                break;
            case Mode::Trickle: {
                socket->write(out);
                auto* timer = new QTimer(socket);
                connect(timer, &QTimer::timeout, socket, [socket] { socket->write("x"); });
                timer->start(trickleMs);
                break;
            }
            case Mode::Pieces: {
                auto* timer = new QTimer(socket);
                auto sent = std::make_shared<int>(0);
                const auto next = [socket, timer, out, sent] {
                    const qsizetype piece = (out.size() + 3) / 4;
                    socket->write(out.mid(*sent * piece, piece));
                    if (++*sent < 4) return;
                    timer->stop();
                    socket->disconnectFromHost();
                };
                next();
                connect(timer, &QTimer::timeout, socket, next);
                timer->start(trickleMs);
                break;
            }
            }
        });
    }
}
