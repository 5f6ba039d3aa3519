#include "LocalHttpServer.h"

#include "HTTPSocket.h"

#include <QTimer>
#include <gtest/gtest.h>

using namespace std::chrono_literals;

namespace {
QString Address(const LocalHttpServer& server, const char* path = "/liste.txt") {
    return QStringLiteral("http://127.0.0.1:%1%2").arg(server.Port()).arg(QLatin1String(path));
}

TEST(HTTPSocket, GivesTheBodyWhateverTheStatusAndNeverFollowsARedirect) {
    LocalHttpServer server;
    HTTPSocket socket;
    server.response = LocalHttpServer::Ok("corps\r\nété", "500 Internal Server Error");
    EXPECT_EQ(socket.Get(Address(server), 5), QStringLiteral("corps\r\nété"));

    // A redirect to another address is not taken: its own body comes back, nothing else is asked.
    server.response = "HTTP/1.1 302 Found\r\nLocation: http://www.talvo.example/\r\nContent-Length: 8\r\n"
                      "Connection: close\r\n\r\nailleurs";
    EXPECT_EQ(socket.Get(Address(server), 5), QStringLiteral("ailleurs"));
    EXPECT_EQ(server.requests.size(), 2);
}

TEST(HTTPSocket, CloseEndsAWaitingGetWithTheEmptyText) {
    LocalHttpServer server;
    server.mode = LocalHttpServer::Mode::Trickle;
    server.response = "HTTP/1.1 200 OK\r\nContent-Length: 100000\r\n\r\ndebut";
    HTTPSocket socket;
    socket.Yield = true;
    bool secondGet = true;
    QTimer::singleShot(300, [&] {
        EXPECT_TRUE(socket.Waiting());
        secondGet = !socket.Get(Address(server), 1).isEmpty(); // one Get at a time
        socket.Close();
    });
    EXPECT_EQ(socket.Get(Address(server), 60s), QString());
    EXPECT_FALSE(socket.Waiting());
    EXPECT_FALSE(secondGet);
    EXPECT_EQ(server.requests.size(), 1);
}

} // namespace
