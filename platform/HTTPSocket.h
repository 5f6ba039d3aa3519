#pragma once
// The framework's HTTP client: one blocking GET at a time over plain HTTP, without compression.
// While it waits it runs a nested event loop, so with Yield set the user interface keeps working.
#include <QString>
#include <QtGlobal>
#include <chrono>

class HTTPSocket {
public:
    HTTPSocket() = default;
    ~HTTPSocket(); // ends a Get in progress, which then gives the empty text
    HTTPSocket(const HTTPSocket&) = delete;
    HTTPSocket& operator=(const HTTPSocket&) = delete;

    bool Yield = false; // process user input while waiting
    int Port = 80;      // used when the address names no port
    // Bounds that keep one Get finite in memory and in time, whatever the peer does.
    qint64 MaxBodyBytes = qint64(1) << 20;
    std::chrono::milliseconds TotalLimit{std::chrono::seconds(60)};
    // What may come besides the body: the head, chunk sizes and their extensions, trailers.
    static constexpr qint64 kMaxFramingBytes = 256 * 1024;

    // Returns the response body, whatever its HTTP status, once the response is complete.
    // Gives the empty text when the connection fails or is reset, when nothing new came for the
    // given time, when the body would grow past MaxBodyBytes or what came besides it past
    // kMaxFramingBytes, when the reply's lengths differ, when TotalLimit has passed, or when Close is called
    // or the socket deleted. The name is looked up once; its addresses are then tried in rounds. Whichever
    // way it ends, the connection is closed before it returns, and it never waits for a name look-up.
    QString Get(const QString& address, std::chrono::milliseconds idleTimeout);

    // Ends a Get in progress, e.g. from an event handled while it waits (it then gives the empty text);
    // otherwise does nothing.
    void Close();

private:
    struct Transfer;
    Transfer* transfer_ = nullptr;
};
