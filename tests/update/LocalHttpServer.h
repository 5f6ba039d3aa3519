#pragma once
// An HTTP server for the tests, by default on 127.0.0.1 at a port of the system's choice. Each
// connection gets the behaviour in force when its request arrives.
#include <QByteArray>
#include <QHostAddress>
#include <QList>
#include <QTcpServer>

class LocalHttpServer : public QTcpServer {
public:
    enum class Mode {
        Reply,   // sends `response` whole, then `filler` for as long as the peer takes it, or
                 // else closes, with a reset if `reset` is set
        Silent,  // accepts, reads, never answers
        Trickle, // sends `response` in `pieces` pieces, one every `trickleMs` from the request on,
                 // then closes
    };

    explicit LocalHttpServer(const QHostAddress& address = QHostAddress::LocalHost, quint16 port = 0);
    quint16 Port() const { return serverPort(); }

    Mode mode = Mode::Reply;
    QByteArray response, filler;
    bool reset = false;
    int trickleMs = 300;
    int pieces = 4;

    QList<QByteArray> requests; // the request heads received, in order

    // A whole 200 response with a length; 404 pages and the like through `status`.
    static QByteArray Ok(const QByteArray& body, const QByteArray& status = "200 OK");

private:
    void Accept();
};
