#include "HTTPSocket.h"

#include "HttpReplyReader.h"

#include <QEventLoop>
#include <QHostAddress>
#include <QHostInfo>
#include <QSocketNotifier>
#include <QTimer>
#include <QUrl>
#include <cerrno>
#include <functional>
#include <memory>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>
#include <vector>

// The connection is a plain non-blocking socket read on this thread, a bounded piece at a time:
// no worker thread, nothing read ahead that the caller did not ask for, and a reset told apart
// from a normal close (Qt's sockets report both as the same "remote host closed").

namespace {
int ConnectTo(const QHostAddress& address, quint16 port) {
    sockaddr_storage storage{};
    socklen_t length = 0;
    if (address.protocol() == QAbstractSocket::IPv4Protocol) {
        auto* in = reinterpret_cast<sockaddr_in*>(&storage);
        in->sin_family = AF_INET;
        in->sin_port = htons(port);
        in->sin_addr.s_addr = htonl(address.toIPv4Address());
        length = sizeof(sockaddr_in);
    } else if (address.protocol() == QAbstractSocket::IPv6Protocol) {
        auto* in6 = reinterpret_cast<sockaddr_in6*>(&storage);
        in6->sin6_family = AF_INET6;
        in6->sin6_port = htons(port);
        const Q_IPV6ADDR bytes = address.toIPv6Address();
        memcpy(&in6->sin6_addr, bytes.c, sizeof bytes.c);
        length = sizeof(sockaddr_in6);
    } else {
        return -1;
    }
    const int fd = ::socket(storage.ss_family, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
    if (fd < 0) return -1;
    if (::connect(fd, reinterpret_cast<sockaddr*>(&storage), length) == 0 || errno == EINPROGRESS) return fd;
    ::close(fd);
    return -1;
}

QByteArray Request(const QUrl& url) {
    QByteArray target = url.path(QUrl::FullyEncoded).toLatin1();
    if (target.isEmpty()) target = "/";
    if (url.hasQuery()) target += '?' + url.query(QUrl::FullyEncoded).toLatin1();
    return "GET " + target + " HTTP/1.1\r\nHost: " +
           url.adjusted(QUrl::RemoveUserInfo).authority(QUrl::FullyEncoded).toLatin1() +
           "\r\nAccept-Encoding: identity\r\nConnection: close\r\n\r\n";
}
} // namespace

QString HTTPSocket::Get(const QString& address, int timeoutSeconds) {
    return Get(address, std::chrono::seconds(timeoutSeconds));
}

QString HTTPSocket::Get(const QString& address, std::chrono::milliseconds idleTimeout) {
    if (loop_) return {}; // one request at a time on one socket
    QUrl url(address);
    if (!url.isValid() || url.scheme() != QLatin1String("http") || url.host().isEmpty()) return {};
    if (url.port() < 0) url.setPort(Port);
    const quint16 port = quint16(url.port());
    const QByteArray request = Request(url);

    QEventLoop loop;
    HttpReplyReader reader(MaxBodyBytes);
    bool over = false; // the wait has ended, for whatever reason; nothing more is done
    cut_ = false;

    int fd = -1;
    bool connected = false;
    qsizetype sent = 0;
    QList<QHostAddress> addresses;
    qsizetype nextAddress = 0;
    int lookup = -1;
    // Notifiers are switched off when done with but deleted only after the wait: one may be
    // the sender of the signal being handled.
    std::vector<std::unique_ptr<QSocketNotifier>> notifiers;
    QSocketNotifier* writer = nullptr;
    auto dropSocket = [&] {
        for (auto& notifier : notifiers) notifier->setEnabled(false);
        if (fd >= 0) ::close(fd);
        fd = -1;
    };
    QTimer idle;
    idle.setSingleShot(true);
    QTimer total;
    total.setSingleShot(true);
    auto end = [&] {
        if (over) return;
        over = true;
        idle.stop();
        total.stop();
        if (lookup >= 0) QHostInfo::abortHostLookup(lookup);
        dropSocket(); // the connection goes at once, whatever ended the wait
        loop.quit();
    };
    auto readable = [&] {
        if (over || cut_) return end();
        char buffer[16 * 1024];
        const ssize_t n = ::recv(fd, buffer, sizeof buffer, 0);
        if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK || errno == EINTR)) return;
        if (n > 0) idle.start(idleTimeout);
        // A reset (ECONNRESET) or any other error fails the transfer; only 0 is a normal close.
        const auto state = n > 0    ? reader.Feed(buffer, n)
                           : n == 0 ? reader.PeerClosed()
                                    : HttpReplyReader::State::Failed;
        if (state != HttpReplyReader::State::Reading) end();
    };
    std::function<void()> connectNext;
    auto writable = [&] {
        if (over || cut_) return end();
        if (!connected) {
            int error = 0;
            socklen_t size = sizeof error;
            if (::getsockopt(fd, SOL_SOCKET, SO_ERROR, &error, &size) != 0 || error != 0)
                return connectNext();
            connected = true;
            auto& reading =
                notifiers.emplace_back(std::make_unique<QSocketNotifier>(fd, QSocketNotifier::Read));
            QObject::connect(reading.get(), &QSocketNotifier::activated, &loop, readable);
        }
        const ssize_t n = ::send(fd, request.constData() + sent, size_t(request.size() - sent), MSG_NOSIGNAL);
        if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK || errno == EINTR)) return;
        if (n < 0) return end();
        sent += n;
        if (sent == request.size()) writer->setEnabled(false);
    };
    connectNext = [&] {
        dropSocket();
        while (fd < 0 && nextAddress < addresses.size()) fd = ConnectTo(addresses[nextAddress++], port);
        if (fd < 0) return end();
        connected = false;
        writer = notifiers.emplace_back(std::make_unique<QSocketNotifier>(fd, QSocketNotifier::Write)).get();
        QObject::connect(writer, &QSocketNotifier::activated, &loop, writable);
    };

    QObject::connect(&idle, &QTimer::timeout, &loop, end);
    QObject::connect(&total, &QTimer::timeout, &loop, end);
    idle.start(idleTimeout);
    total.start(TotalLimit);
    loop_ = &loop;
    const QHostAddress literal(url.host());
    if (!literal.isNull()) {
        addresses = {literal};
        connectNext();
    } else {
        // Name look-ups run in Qt's shared look-up threads; an abandoned one is only ignored.
        lookup = QHostInfo::lookupHost(url.host(), &loop, [&](const QHostInfo& info) {
            lookup = -1;
            if (over) return;
            addresses = info.addresses();
            connectNext();
        });
    }
    if (!over) loop.exec(Yield ? QEventLoop::AllEvents : QEventLoop::ExcludeUserInputEvents);
    end();
    loop_ = nullptr;
    if (cut_ || reader.state() != HttpReplyReader::State::Complete) return {};
    return QString::fromUtf8(reader.Body());
}

void HTTPSocket::Close() {
    if (!loop_) return;
    cut_ = true;
    loop_->quit();
}
