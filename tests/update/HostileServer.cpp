#include "HostileServer.h"

#include <netinet/in.h>
#include <sys/socket.h>
#include <sys/time.h>
#include <unistd.h>

HostileServer::HostileServer() {
    listener_ = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    if (::bind(listener_, reinterpret_cast<sockaddr*>(&address), length) != 0 ||
        ::listen(listener_, 8) != 0 ||
        ::getsockname(listener_, reinterpret_cast<sockaddr*>(&address), &length) != 0)
        return;
    port_ = ntohs(address.sin_port);
    thread_ = std::thread([this] { Run(); });
}

HostileServer::~HostileServer() {
    stopping_ = true;
    ::shutdown(listener_, SHUT_RDWR); // wakes the blocked accept
    if (thread_.joinable()) thread_.join();
    ::close(listener_);
}

void HostileServer::Serve(const QByteArray& response, const QByteArray& filler, bool reset) {
    std::lock_guard lock(mutex_);
    response_ = response;
    filler_ = filler;
    reset_ = reset;
}

void HostileServer::Run() {
    while (!stopping_) {
        const int connection = ::accept4(listener_, nullptr, nullptr, SOCK_CLOEXEC);
        if (connection < 0) continue;
        Answer(connection);
    }
}

void HostileServer::Answer(int connection) {
    // Blocking calls that give up now and then, so that the server can stop.
    const timeval second{1, 0};
    setsockopt(connection, SOL_SOCKET, SO_RCVTIMEO, &second, sizeof second);
    setsockopt(connection, SOL_SOCKET, SO_SNDTIMEO, &second, sizeof second);
    QByteArray request;
    char buffer[4096];
    while (!stopping_ && !request.contains("\r\n\r\n")) {
        const ssize_t n = ::recv(connection, buffer, sizeof buffer, 0);
        if (n == 0 || (n < 0 && errno != EAGAIN && errno != EINTR)) break;
        if (n > 0) request.append(buffer, n);
    }
    QByteArray response, filler;
    bool reset = false;
    {
        std::lock_guard lock(mutex_);
        response = response_;
        filler = filler_;
        reset = reset_;
    }
    auto sendAll = [&](const QByteArray& bytes) {
        for (qsizetype sent = 0; sent < bytes.size() && !stopping_;) {
            const ssize_t n =
                ::send(connection, bytes.constData() + sent, size_t(bytes.size() - sent), MSG_NOSIGNAL);
            if (n < 0 && (errno == EAGAIN || errno == EINTR)) continue;
            if (n < 0) return false;
            sent += n;
        }
        return !stopping_;
    };
    bool open = sendAll(response);
    while (open && !filler.isEmpty()) open = sendAll(filler);
    if (reset) {
        const linger hard{1, 0}; // a close with a zero linger time sends RST
        setsockopt(connection, SOL_SOCKET, SO_LINGER, &hard, sizeof hard);
    }
    ::close(connection);
}
