#pragma once
// The framework's HTTP client: one blocking GET at a time, HTTP/1.1 without compression. While
// it waits it runs a nested event loop, so with Yield set the user interface keeps working.
#include <QString>
#include <QtGlobal>
#include <chrono>

class QEventLoop;

class HTTPSocket {
public:
    HTTPSocket() = default;
    HTTPSocket(const HTTPSocket&) = delete;
    HTTPSocket& operator=(const HTTPSocket&) = delete;

    bool Yield = false; // process user input while waiting
    int Port = 80;      // used when the address names no port
    // Bounds that keep one Get finite in memory and in time, whatever the peer does.
    qint64 MaxBodyBytes = qint64(1) << 20;
    std::chrono::milliseconds TotalLimit{std::chrono::seconds(60)};

    // Returns the response body, whatever its HTTP status, once the response is complete.
    // Gives the empty text when the connection fails or is reset, when nothing new came for the
    // given time, when the head or a chunk-size line passes its bound, when the body would grow
    // past MaxBodyBytes, when TotalLimit has passed, or when Close is called. Whichever way it
    // ends, the connection is closed before it returns.
    QString Get(const QString& address, int timeoutSeconds);
    QString Get(const QString& address, std::chrono::milliseconds idleTimeout);

    // Ends a Get in progress, e.g. from an event handled while it waits (it then gives the empty text);
    // otherwise does nothing.
    void Close();
    bool Waiting() const { return loop_ != nullptr; }

private:
    QEventLoop* loop_ = nullptr;
    bool cut_ = false;
};
