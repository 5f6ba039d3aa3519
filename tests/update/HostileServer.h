#pragma once
// A hostile HTTP server on 127.0.0.1 that runs on a thread of its own, so it keeps sending
// while the program under test blocks its event loop, as a server elsewhere would. Each
// connection gets the behaviour set last: the reply head, then either the filler sent again
// and again for as long as the peer takes it, or a reset.
#include <QByteArray>
#include <QtGlobal>
#include <atomic>
#include <mutex>
#include <thread>

class HostileServer {
public:
    HostileServer();
    ~HostileServer();
    HostileServer(const HostileServer&) = delete;
    HostileServer& operator=(const HostileServer&) = delete;

    quint16 Port() const { return port_; }
    // Empty filler and no reset: the connection is closed normally after `response`.
    void Serve(const QByteArray& response, const QByteArray& filler, bool reset);

private:
    void Run();
    void Answer(int connection);

    int listener_ = -1;
    quint16 port_ = 0;
    std::atomic<bool> stopping_{false};
    std::mutex mutex_;
    QByteArray response_, filler_;
    bool reset_ = false;
    std::thread thread_;
};
