// The framework's HTTP client against servers of the tests' own on loopback.
#include "LocalHttpServer.h"

#include "HTTPSocket.h"

#include <QElapsedTimer>
#include <QTimer>
#include <condition_variable>
#include <cstring>
#include <dlfcn.h>
#include <gtest/gtest.h>
#include <mutex>
#include <netdb.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>
#include <vector>

using namespace std::chrono_literals;

namespace {
const char* const kTwoAddresses = "deux.kestrova.test";
const char* const kEndless = "lent.kestrova.test";
std::mutex lookupMutex;
std::condition_variable lookupEnd;
bool lookupReleased = false;

QString Address(const char* host, quint16 port) { return QStringLiteral("http://%1:%2/liste").arg(host).arg(port); }
} // namespace

// Every look-up of this process, libcurl's or Qt's, comes here first: two names are answered
// without the system's files or name servers.
extern "C" int getaddrinfo(const char* node, const char* service, const addrinfo* hints, addrinfo** result) {
    using Real = int (*)(const char*, const char*, const addrinfo*, addrinfo**);
    static const auto real = reinterpret_cast<Real>(dlsym(RTLD_NEXT, "getaddrinfo"));
    if (node && std::strcmp(node, kEndless) == 0) { // a name server that never answers
        std::unique_lock lock(lookupMutex);
        lookupEnd.wait_for(lock, 20s, [] { return lookupReleased; });
        return EAI_AGAIN;
    }
    if (!node || std::strcmp(node, kTwoAddresses) != 0) return real(node, service, hints, result);
    addrinfo numeric = hints ? *hints : addrinfo{};
    numeric.ai_flags |= AI_NUMERICHOST;
    *result = nullptr;
    addrinfo** tail = result;
    for (const char* address : {"::1", "127.0.0.1"}) { // the dead one first
        if (real(address, service, &numeric, tail) != 0) continue;
        while (*tail) tail = &(*tail)->ai_next;
    }
    return *result ? 0 : EAI_NONAME;
}

namespace {
// A listener on ::1 whose queue of connections is full: the system drops further attempts.
class FullListener {
public:
    explicit FullListener(quint16 port) {
        sockaddr_in6 address{};
        address.sin6_family = AF_INET6;
        address.sin6_addr = in6addr_loopback;
        address.sin6_port = htons(port);
        const auto* where = reinterpret_cast<const sockaddr*>(&address);
        fds_.push_back(::socket(AF_INET6, SOCK_STREAM | SOCK_CLOEXEC, 0));
        if (::bind(fds_[0], where, sizeof address) != 0 || ::listen(fds_[0], 0) != 0) return;
        for (int i = 0; i < 2; ++i) { // the first fills the queue, the second waits behind it
            fds_.push_back(::socket(AF_INET6, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0));
            ::connect(fds_.back(), where, sizeof address);
        }
        pollfd first{fds_[1], POLLOUT, 0};
        full = ::poll(&first, 1, 1000) == 1;
    }
    ~FullListener() {
        for (int fd : fds_) ::close(fd);
    }
    bool full = false;

private:
    std::vector<int> fds_;
};

TEST(HTTPSocket, RepliesWithinTheCapsAndTheLaxFormsOfTheProtocolCount) {
    const QByteArray body = "Abc--Abc Def 1.2--1.2--2008-01-01\r\n"; // 35 bytes
    const QByteArray ok = "HTTP/1.1 200 OK\r\n", chunked = ok + "Transfer-Encoding: chunked\r\n\r\n";
    const QByteArray longer = body + "x";
    // A reply whose head, from the status line to its blank line, is `size` bytes long.
    const auto withHead = [&](qsizetype size) {
        QByteArray head = ok + "Content-Length: 35\r\n";
        for (qsizetype room; (room = size - 2 - head.size()) > 0;)
            head += "X-Pad: " + QByteArray(std::min<qsizetype>(room, 60009) - 9, 'a') + "\r\n";
        return head + "\r\n" + body;
    };
    const std::vector<std::tuple<const char*, QByteArray, QByteArray>> cases = {
        {"a length, at the cap", ok + "Content-Length: 35\r\n\r\n" + body, body},
        {"the same length twice", ok + "Content-Length: 35, 35\r\n\r\n" + body, body},
        {"a folded header", ok + "X-Plie: un\r\n  deux\r\nContent-Length: 35\r\n\r\n" + body, body},
        {"chunked, at the cap", chunked + "10\r\n" + body.left(16) + "\r\n13\r\n" + body.mid(16) + "\r\n0\r\n\r\n",
         body},
        {"to the close, at the cap", ok + "Connection: close\r\n\r\n" + body, body},
        {"compressed, left as sent", ok + "Content-Encoding: gzip\r\nContent-Length: 35\r\n\r\n" + body, body},
        {"a head at its bound", withHead(HTTPSocket::kMaxFramingBytes), body},
        {"a length over the cap", ok + "Content-Length: 36\r\n\r\n" + longer, {}},
        {"chunked over the cap", chunked + "24\r\n" + longer + "\r\n0\r\n\r\n", {}},
        {"to the close, over the cap", ok + "\r\n" + longer, {}},
        {"a head past its bound", withHead(HTTPSocket::kMaxFramingBytes + 1), {}},
    };
    LocalHttpServer server;
    for (const auto& [name, response, expected] : cases) {
        SCOPED_TRACE(name);
        server.response = response;
        HTTPSocket socket;
        socket.MaxBodyBytes = 35;
        EXPECT_EQ(socket.Get(Address("127.0.0.1", server.Port()), 5s).toUtf8(), expected);
    }
    // No compression is asked for, and nothing but plain HTTP is tried.
    EXPECT_FALSE(server.requests.front().toLower().contains("accept-encoding"));
    const QString ftp = QStringLiteral("ftp://127.0.0.1:%1/liste").arg(server.Port());
    EXPECT_EQ(HTTPSocket().Get(ftp, 5s), QString());
    EXPECT_EQ(server.requests.size(), qsizetype(cases.size()));
}

TEST(HTTPSocket, TheIdleWaitStartsAgainWithEachPieceAndEndsASilence) {
    LocalHttpServer server;
    server.mode = LocalHttpServer::Mode::Pieces;
    server.trickleMs = 400; // four pieces over 1.2 s
    server.response = LocalHttpServer::Ok("Abc--Abc Def 1.2--1.2--d");
    HTTPSocket socket;
    EXPECT_EQ(socket.Get(Address("127.0.0.1", server.Port()), 1s), "Abc--Abc Def 1.2--1.2--d");
    server.mode = LocalHttpServer::Mode::Silent;
    QElapsedTimer clock;
    clock.start();
    EXPECT_EQ(socket.Get(Address("127.0.0.1", server.Port()), 1s), QString());
    EXPECT_LT(clock.elapsed(), 30000); // ends, long before its 60 s in all
}

TEST(HTTPSocket, ADeadFirstAddressDelaysTheListByLessThanASecond) {
    LocalHttpServer server;
    server.response = LocalHttpServer::Ok("liste");
    FullListener dead(server.Port());
    if (!dead.full) GTEST_SKIP() << "no listener of a full queue on ::1 at port " << server.Port();
    QElapsedTimer clock;
    clock.start();
    EXPECT_EQ(HTTPSocket().Get(Address(kTwoAddresses, server.Port()), 10s), "liste");
    EXPECT_LT(clock.elapsed(), 1000);
}

TEST(HTTPSocket, CloseDoesNotWaitForAPendingLookUp) {
    HTTPSocket socket;
    QElapsedTimer sinceClose;
    QTimer::singleShot(100, [&] {
        sinceClose.start();
        socket.Close();
    });
    EXPECT_EQ(socket.Get(Address(kEndless, 80), 10s), QString());
    EXPECT_LT(sinceClose.elapsed(), 500);
    std::lock_guard lock(lookupMutex);
    lookupReleased = true;
    lookupEnd.notify_all();
}

TEST(HTTPSocket, TheEnvironmentsProxyIsUsedSaveForItsExceptions) {
    LocalHttpServer proxy, server;
    proxy.response = LocalHttpServer::Ok("par le relais");
    server.response = LocalHttpServer::Ok("en direct");
    const QString address = Address("127.0.0.1", server.Port());
    qputenv("http_proxy", "http://127.0.0.1:" + QByteArray::number(proxy.Port()));
    const QString viaProxy = HTTPSocket().Get(address, 5s);
    qputenv("no_proxy", "127.0.0.1");
    const QString direct = HTTPSocket().Get(address, 5s);
    qunsetenv("http_proxy");
    qunsetenv("no_proxy");
    EXPECT_EQ(viaProxy, "par le relais");
    EXPECT_EQ(direct, "en direct");
    ASSERT_EQ(proxy.requests.size(), 1);
    EXPECT_TRUE(proxy.requests.front().startsWith("GET " + address.toLatin1() + " HTTP/1.1\r\n"));
    EXPECT_EQ(server.requests.size(), 1);
}
} // namespace
