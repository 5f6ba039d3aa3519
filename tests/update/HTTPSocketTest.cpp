// The framework's HTTP client against servers of the tests' own on loopback.
#include "CheckTraces.h"
#include "LocalHttpServer.h"

#include "HTTPSocket.h"

#include <QElapsedTimer>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTimer>
#include <QWidget>
#include <cstring>
#include <ctime>
#include <dlfcn.h>
#include <gtest/gtest.h>
#include <memory>
#include <netdb.h>
#include <optional>
#include <thread>
#include <utility>
#include <vector>

using namespace std::chrono_literals;

namespace {
const char* const kTwoAddresses = "deux.kestrova.test"; // ::1, then 127.0.0.1
const char* const kTwoIPv4 = "quatre.kestrova.test";    // 127.0.0.1, then 127.0.0.2
const char* const kTwoIPv6 = "six.kestrova.test";       // ::1, then 127.0.0.2 mapped to IPv6
const char* const kEndless = "lent.kestrova.test";

// The addresses the tests give their names, the dead one first.
std::vector<const char*> AddressesOf(const char* node) {
    const std::vector<std::pair<const char*, std::vector<const char*>>> names = {
        {kTwoAddresses, {"::1", "127.0.0.1"}},
        {kTwoIPv4, {"127.0.0.1", "127.0.0.2"}},
        {kTwoIPv6, {"::1", "::ffff:127.0.0.2"}},
    };
    for (const auto& [name, addresses] : names)
        if (node && std::strcmp(node, name) == 0) return addresses;
    return {};
}

QString Address(const char* host, quint16 port) {
    return QStringLiteral("http://%1:%2/liste").arg(host).arg(port);
}
} // namespace

// Every look-up of this process, libcurl's or Qt's, comes here first: the tests' names are answered
// without the system's files or name servers.
extern "C" int getaddrinfo(const char* node, const char* service, const addrinfo* hints, addrinfo** result) {
    using Real = int (*)(const char*, const char*, const addrinfo*, addrinfo**);
    static const auto real = reinterpret_cast<Real>(dlsym(RTLD_NEXT, "getaddrinfo"));
    if (node && std::strcmp(node, kEndless) == 0) { // a name server that does not answer in time
        std::this_thread::sleep_for(20s);
        return EAI_AGAIN;
    }
    const std::vector<const char*> addresses = AddressesOf(node);
    if (addresses.empty()) return real(node, service, hints, result);
    addrinfo numeric = hints ? *hints : addrinfo{};
    numeric.ai_flags |= AI_NUMERICHOST;
    *result = nullptr;
    addrinfo** tail = result;
    for (const char* address : addresses) {
        if (real(address, service, &numeric, tail) != 0) continue;
        while (*tail) tail = &(*tail)->ai_next;
    }
    return *result ? 0 : EAI_NONAME;
}

namespace {
// A listener whose queue of connections is full: the system drops further attempts.
struct FullListener : QTcpServer {
    FullListener(const QHostAddress& address, quint16 port) {
        setListenBacklogSize(0);
        full = listen(address, port);
        pauseAccepting(); // the one connection its queue holds stays there
        filler.connectToHost(address, port);
        full = full && filler.waitForConnected(1000);
    }
    QTcpSocket filler;
    bool full = false;
};

TEST(HTTPSocket, RepliesWithinTheCapsAndTheLaxFormsOfTheProtocolCount) {
    const QByteArray body = "Abc--Abc Def 1.2--1.2--2008-01-01\r\n"; // 35 bytes
    const QByteArray ok = "HTTP/1.1 200 OK\r\n", chunked = ok + "Transfer-Encoding: chunked\r\n\r\n";
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
        {"chunked, at the cap",
         chunked + "10\r\n" + body.left(16) + "\r\n13\r\n" + body.mid(16) + "\r\n0\r\n\r\n", body},
        {"to the close, at the cap", ok + "Connection: close\r\n\r\n" + body, body},
        {"compressed, left as sent", ok + "Content-Encoding: gzip\r\nContent-Length: 35\r\n\r\n" + body,
         body},
        {"a head at its bound", withHead(HTTPSocket::kMaxFramingBytes), body},
        {"the same length in two headers", ok + "Content-Length: 35\r\nContent-Length: 35\r\n\r\n" + body,
         body},
        {"a length over the cap", ok + "Content-Length: 36\r\n\r\n" + body + 'x', {}},
        {"chunked over the cap", chunked + "24\r\n" + body + 'x' + "\r\n0\r\n\r\n", {}},
        {"to the close, over the cap", ok + "\r\n" + body + 'x', {}},
        {"a head past its bound", withHead(HTTPSocket::kMaxFramingBytes + 1), {}},
        // Differing lengths leave the reply's end unknown.
        {"two lengths", ok + "Content-Length: 5\r\nContent-Length: 35\r\n\r\n" + body, {}},
        {"two lengths in a list", ok + "Content-Length: 5, 35\r\n\r\n" + body, {}},
        {"two lengths apart by a blank", ok + "Content-Length: 3 5\r\n\r\n" + body, {}},
        {"two lengths, other cases", ok + "content-length: 35\r\nCONTENT-LENGTH: 5\r\n\r\n" + body, {}},
        {"a length folded", ok + "Content-Length: 35,\r\n 5\r\n\r\n" + body, {}},
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
    EXPECT_EQ(HTTPSocket().Get(QStringLiteral("ftp://127.0.0.1:%1/").arg(server.Port()), 5s), QString());
    EXPECT_EQ(server.requests.size(), qsizetype(cases.size()));
}

TEST(HTTPSocket, TheIdleWaitStartsAgainWithEachPieceAndEndsASilenceAndTheTotalLimitATrickle) {
    const QByteArray line = "Abc--Abc Def 1.2--1.2--d";
    // The idle time is 1 s and the total limit 3 s; the reply comes in pieces, the first after one pause.
    const std::vector<std::tuple<const char*, int, int, QByteArray>> cases = {
        {"four pieces 0.5 s apart", 4, 500, line},
        {"a reply after 1.5 s of silence", 1, 1500, {}},
        {"eight pieces 0.5 s apart", 8, 500, {}}, // the last after the limit
    };
    LocalHttpServer server;
    server.mode = LocalHttpServer::Mode::Trickle;
    // A head line that takes longer than the idle time to come whole.
    server.response =
        "HTTP/1.1 200 OK\r\nX-Lent: " + QByteArray(150, 'a') + "\r\nContent-Length: 24\r\n\r\n" + line;
    const std::clock_t cpu = std::clock();
    for (const auto& [name, pieces, pause, expected] : cases) {
        SCOPED_TRACE(name);
        server.pieces = pieces;
        server.trickleMs = pause;
        HTTPSocket socket;
        socket.TotalLimit = 3s;
        EXPECT_EQ(socket.Get(Address("127.0.0.1", server.Port()), 1s).toUtf8(), expected);
    }
    EXPECT_LT(std::clock() - cpu, CLOCKS_PER_SEC); // some 6 s of waiting, not of spinning
}

TEST(HTTPSocket, EveryAddressIsTriedADeadOneCostingLittleAndALoneDeadOneTheIdleTime) {
    // The first address's queue is full, the second serves. Happy eyeballs races the families; within
    // one, the next address waits for the first to be given up.
    const std::vector<std::tuple<const char*, QHostAddress, QHostAddress, int>> cases = {
        {kTwoAddresses, QHostAddress::LocalHostIPv6, QHostAddress::LocalHost, 1000},
        {kTwoIPv4, QHostAddress::LocalHost, QHostAddress("127.0.0.2"), 3000},
        {kTwoIPv6, QHostAddress::LocalHostIPv6, QHostAddress("127.0.0.2"), 3000},
    };
    for (const auto& [name, deadAddress, liveAddress, limit] : cases) {
        SCOPED_TRACE(name);
        LocalHttpServer server(liveAddress);
        server.response = LocalHttpServer::Ok("liste");
        FullListener dead(deadAddress, server.Port());
        if (!server.isListening() || !dead.full) GTEST_SKIP() << "no full queue on port " << server.Port();
        QElapsedTimer clock;
        clock.start();
        EXPECT_EQ(HTTPSocket().Get(Address(name, server.Port()), 10s), "liste");
        EXPECT_LT(clock.elapsed(), limit);
    }

    // Alone, a dead address is tried again until the idle time, past one round of connecting (4 s); a
    // server whose queue frees after 1.5 s is still reached.
    const quint16 port = LocalHttpServer().Port();
    auto late = std::make_unique<FullListener>(QHostAddress::LocalHost, port);
    if (!late->full) GTEST_SKIP() << "no full queue on port " << port;
    QElapsedTimer clock;
    clock.start();
    EXPECT_EQ(HTTPSocket().Get(Address("127.0.0.1", port), 6s), QString());
    EXPECT_GT(clock.elapsed(), 5000); // the idle timer may come 5 % early
    std::optional<LocalHttpServer> server;
    QTimer::singleShot(1500, [&] {
        late.reset();
        server.emplace(QHostAddress::LocalHost, port);
        server->response = LocalHttpServer::Ok("liste");
    });
    EXPECT_EQ(HTTPSocket().Get(Address("127.0.0.1", port), 6s), "liste");
}

TEST(HTTPSocket, ASocketDeletedWhileItsGetWaitsEndsIt) {
    struct Owner : QWidget {
        HTTPSocket socket;
    };
    LocalHttpServer server;
    server.mode = LocalHttpServer::Mode::Silent;
    auto* window = new Owner;
    QTimer::singleShot(100, [window] { delete window; }); // windows die while nested loops run
    QElapsedTimer clock;
    clock.start();
    EXPECT_EQ(window->socket.Get(Address("127.0.0.1", server.Port()), 5s), QString());
    EXPECT_LT(clock.elapsed(), 1000);
    EXPECT_EQ(OpenSocketsTo(server.Port()), 0);
}

TEST(HTTPSocket, CloseDoesNotWaitForAPendingLookUp) {
    HTTPSocket socket;
    QElapsedTimer sinceClose;
    QTimer::singleShot(100, [&] {
        EXPECT_EQ(socket.Get(Address(kEndless, 80), 10s), QString()); // one at a time: this one at once
        sinceClose.start();
        socket.Close();
    });
    EXPECT_EQ(socket.Get(Address(kEndless, 80), 30s), QString());
    EXPECT_LT(sinceClose.elapsed(), 500);
}

TEST(HTTPSocket, TheEnvironmentsProxyIsUsedSaveForItsExceptions) {
    LocalHttpServer proxy, server;
    proxy.response = LocalHttpServer::Ok("par le relais");
    server.response = LocalHttpServer::Ok("en direct");
    const QString address = Address("127.0.0.1", server.Port());
    qputenv("http_proxy", "http://127.0.0.1:" + QByteArray::number(proxy.Port()));
    EXPECT_EQ(HTTPSocket().Get(address, 5s), "par le relais");
    qputenv("no_proxy", "127.0.0.1");
    EXPECT_EQ(HTTPSocket().Get(address, 5s), "en direct");
    qunsetenv("http_proxy");
    qunsetenv("no_proxy");
    // One request each (both answered above), the relay's naming the whole address.
    EXPECT_EQ(proxy.requests.size() + server.requests.size(), 2);
    EXPECT_TRUE(proxy.requests.value(0).startsWith("GET " + address.toLatin1() + " HTTP/1.1\r\n"));
}
} // namespace
