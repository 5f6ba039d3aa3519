#pragma once
// An HTTP server on 127.0.0.1 for the tests, on a port of the system's choice. Each connection
// gets the behaviour in force when its request arrives.
#include <QByteArray>
#include <QList>
#include <QTcpServer>

class LocalHttpServer : public QTcpServer {
public:
    enum class Mode {
        Reply,       // sends `response` whole, then closes
        Silent,      // accepts, reads, never answers
        CloseAtOnce, // closes as soon as the request has come
        Trickle,     // sends `response` at once, then one more byte every `trickleMs`, forever
        Pieces,      // sends `response` in four pieces, one every `trickleMs`, then closes
    };

    LocalHttpServer();
    quint16 Port() const { return serverPort(); }

    Mode mode = Mode::Reply;
    QByteArray response;
    int trickleMs = 300;

    QList<QByteArray> requests; // the request heads received, in order

    // A whole 200 response with a length; 404 pages and the like through `status`.
    static QByteArray Ok(const QByteArray& body, const QByteArray& status = "200 OK");

private:
    void Accept();
};
