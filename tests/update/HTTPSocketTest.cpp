// The framework's HTTP client against servers of the tests' own on loopback.
#include "CheckTraces.h"
#include "LocalHttpServer.h"

#include "HTTPSocket.h"

#include <QElapsedTimer>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTimer>
#include <QWidget>
#include <arpa/inet.h>
#include <atomic>
#include <cerrno>
#include <cstring>
#include <ctime>
#include <dlfcn.h>
#include <gtest/gtest.h>
#include <memory>
#include <netdb.h>
#include <netinet/in.h>
#include <optional>
#include <thread>
#include <utility>
#include <vector>

using namespace std::chrono_literals;

namespace {
const char* const kTwoAddresses = "deux.kestrova.test";
const char* const kTwoIPv4 = "quatre.kestrova.test";
const char* const kTwoIPv6 = "six.kestrova.test";
const char* const kEndless = "lent.kestrova.test";
const char* const kThreeSeconds = "trois.kestrova.test";
const char* const kFiveSeconds = "cinq.kestrova.test";
const char* const kTwelveSeconds = "douze.kestrova.test";

// The names the tests give addresses to, the dead address first, and how long each look-up takes.
struct TestName {
    const char* name;
    std::vector<const char*> addresses; // none: the name server never answers in time
    std::chrono::seconds delay{};
    std::atomic<int> asked{0};
};
TestName testNames[] = {
    {kTwoAddresses, {"::1", "127.0.0.1"}},
    {kTwoIPv4, {"127.0.0.1", "127.0.0.2"}},
    {kTwoIPv6, {"::1", "::ffff:127.0.0.2"}},
    {kEndless, {}, 20s},
    {kThreeSeconds, {"127.0.0.1"}, 3s},
    {kFiveSeconds, {"127.0.0.1", "127.0.0.2"}, 5s},
    {kTwelveSeconds, {"127.0.0.1", "127.0.0.2"}, 12s},
};

TestName* Named(const char* node) {
    for (TestName& name : testNames)
        if (node && std::strcmp(node, name.name) == 0) return &name;
    return nullptr;
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
    TestName* name = Named(node);
    if (!name) return real(node, service, hints, result);
    ++name->asked;
    std::this_thread::sleep_for(name->delay);
    if (name->addresses.empty()) return EAI_AGAIN;
    addrinfo numeric = hints ? *hints : addrinfo{};
    numeric.ai_flags |= AI_NUMERICHOST;
    *result = nullptr;
    addrinfo** tail = result;
    for (const char* address : name->addresses) {
        if (real(address, service, &numeric, tail) != 0) continue;
        while (*tail) tail = &(*tail)->ai_next;
    }
    return *result ? 0 : EAI_NONAME;
}

namespace {
// Connections to this port are refused at once, as some systems do for a port nothing listens on;
// Linux says so only later.
std::atomic<int> refusedAtOnce{-1};
} // namespace

extern "C" int connect(int fd, const sockaddr* address, socklen_t length) {
    using Real = int (*)(int, const sockaddr*, socklen_t);
    static const auto real = reinterpret_cast<Real>(dlsym(RTLD_NEXT, "connect"));
    const auto* in = reinterpret_cast<const sockaddr_in*>(address);
    if (address->sa_family == AF_INET && ntohs(in->sin_port) == refusedAtOnce) {
        errno = ECONNREFUSED;
        return -1;
    }
    return real(fd, address, length);
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
        {"a length folded by a tab", ok + "Content-Length: 35,\r\n\t5\r\n\r\n" + body, {}},
        {"a length with a letter", ok + "Content-Length: 35x\r\n\r\n" + body, {}},
        // Only the first line of a head is its status line.
        {"a header like a status line",
         ok + "Content-Length: 35\r\nHTTP/x: y\r\nContent-Length: 5\r\n\r\n" + body,
         {}},
        {"an interim head's own length",
         "HTTP/1.1 100 Continue\r\nContent-Length: 5\r\n\r\n" + ok + "Content-Length: 35\r\n\r\n" + body,
         body},
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

TEST(HTTPSocket, EveryAddressRefusedEndsTheGetAtOnce) {
    // Nothing listens at either address; the second one is tried from the connect tick.
    const quint16 port = LocalHttpServer().Port();
    for (const bool atOnce : {false, true}) {
        SCOPED_TRACE(atOnce ? "refused at once" : "refused later");
        refusedAtOnce = atOnce ? port : -1;
        QElapsedTimer clock;
        clock.start();
        EXPECT_EQ(HTTPSocket().Get(Address(kTwoIPv4, port), 10s), QString());
        EXPECT_LT(clock.elapsed(), 2000); // not the idle time
    }
    refusedAtOnce = -1;
}

// The list through a name whose look-up is slow, its first address dead when `deadFirst` is set; the
// look-up is asked once and its answer used, however long it took within the idle time of 15 s.
void ExpectTheListThroughASlowName(const char* name, bool deadFirst, int withinMs) {
    const QHostAddress first = QHostAddress::LocalHost, second("127.0.0.2");
    LocalHttpServer server(deadFirst ? second : first);
    server.response = LocalHttpServer::Ok("liste");
    std::optional<FullListener> dead;
    if (deadFirst) dead.emplace(first, server.Port());
    if (!server.isListening() || (dead && !dead->full)) GTEST_SKIP() << "no full queue on " << server.Port();
    const int asked = Named(name)->asked;
    QElapsedTimer clock;
    clock.start();
    EXPECT_EQ(HTTPSocket().Get(Address(name, server.Port()), 15s), "liste");
    EXPECT_LT(clock.elapsed(), withinMs);
    EXPECT_EQ(Named(name)->asked - asked, 1);
}

TEST(HTTPSocket, AFiveSecondLookUpThenADeadFirstAddressGivesTheListWithinEightSeconds) {
    ExpectTheListThroughASlowName(kFiveSeconds, true, 8000);
}

TEST(HTTPSocket, ATwelveSecondLookUpIsAskedOnceAndAnsweredOnce) {
    ExpectTheListThroughASlowName(kTwelveSeconds, false, 15000);
}

TEST(HTTPSocket, ATwelveSecondLookUpThenADeadFirstAddressGivesTheListWithinTheIdleTime) {
    ExpectTheListThroughASlowName(kTwelveSeconds, true, 15000);
}

TEST(HTTPSocket, OnlyTheServersBytesRestartTheIdleTime) {
    LocalHttpServer server;
    server.mode = LocalHttpServer::Mode::Silent;
    QElapsedTimer clock;
    clock.start();
    EXPECT_EQ(HTTPSocket().Get(Address(kThreeSeconds, server.Port()), 15s), QString());
    EXPECT_GT(clock.elapsed(), 14250); // 15 s from the start, the idle timer being up to 5 % early
    EXPECT_LT(clock.elapsed(), 16500); // not 15 s after the look-up's answer
    EXPECT_EQ(server.requests.size(), 1);
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
