#include "HTTPSocket.h"

#include <QEventLoop>
#include <QSocketNotifier>
#include <QTimer>
#include <QUrl>
#include <algorithm>
#include <climits>
#include <curl/curl.h>
#include <map>
#include <memory>
#include <set>
#include <unistd.h>
#include <vector>

// libcurl speaks HTTP; Qt's event loop drives it through libcurl's multi interface: the sockets
// it names are watched by notifiers and its time-outs by a timer, all on this thread.

namespace {
// The name is looked up once, in a first round that connects nowhere; the rounds of connecting then
// find it in the multi handle's cache. In a round, libcurl gives an address followed by another of its
// family half the connect time left, 2 s; the last one gets the rest. A round that connects nowhere in
// that time starts again.
constexpr long kConnectRoundMs = 4000;
constexpr int kTickMs = 100;
} // namespace

struct HTTPSocket::Transfer {
    QEventLoop loop;
    CURLM* multi = curl_multi_init();
    CURL* easy = curl_easy_init();
    QTimer curlTimer, idle, total, tick;
    std::chrono::milliseconds idleTimeout{};
    struct Watch {
        std::unique_ptr<QSocketNotifier> read, write;
    };
    std::map<curl_socket_t, Watch> watched;
    // Notifiers libcurl is done with: kept to the end, one may be the sender being handled.
    std::vector<std::unique_ptr<QSocketNotifier>> retired;
    QByteArray body;
    qint64 maxBody = 0;
    qint64 received = 0; // head, framing and body as they came
    bool complete = false;
    bool over = false;
    bool orphaned = false; // the socket was deleted during the wait
    bool lookingUp = true; // the first round, until the name is known
    bool named = false;
    std::set<curl_socket_t> connections; // the server's, as opposed to libcurl's own wake-up socket
    // The length this head gives, whether the next line is a head's status line, and whether the
    // header line being read is a length: its folded lines go on with its values.
    qint64 length = -1;
    bool headStarts = true;
    bool inLength = false;

    ~Transfer() {
        End();
        curl_multi_cleanup(multi);
    }

    // libcurl has something to do on `fd`, or its time-out has come (CURL_SOCKET_TIMEOUT).
    void Act(curl_socket_t fd, int events) {
        if (over) return;
        const bool fromServer = (events & CURL_CSELECT_IN) && connections.contains(fd);
        if (fromServer) idle.start(idleTimeout);
        int running = 0;
        curl_multi_socket_action(multi, fd, events, &running);
        Check();
    }

    // libcurl 7.88 opens a name's next address only when it next runs the transfer, and sets no timer
    // for that (lib/connect.c): until a connection is made, the whole transfer is run on a tick.
    void Tick() {
        if (over) return;
        curl_off_t connected = 0;
        curl_easy_getinfo(easy, CURLINFO_CONNECT_TIME_T, &connected);
        if (connected > 0) return tick.stop();
        int running = 0;
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
        curl_multi_socket_all(multi, &running); // the one call that runs it and tells of its sockets
#pragma GCC diagnostic pop
        Check();
    }

    void Check() {
        if (received - body.size() > kMaxFramingBytes) return End();
        if (lookingUp && named) return Again();
        int left = 0;
        while (CURLMsg* message = curl_multi_info_read(multi, &left)) {
            if (message->msg != CURLMSG_DONE) continue;
            // With the total limit kept here, only a round's connect time runs out in libcurl.
            if (message->data.result == CURLE_OPERATION_TIMEDOUT && !lookingUp) return Again();
            complete = message->data.result == CURLE_OK;
            return End();
        }
    }

    // A new round of connecting, the name known. Nothing has come, so the idle time still runs from the
    // start.
    void Again() {
        lookingUp = false;
        curl_multi_remove_handle(multi, easy);
        curl_easy_setopt(easy, CURLOPT_CONNECTTIMEOUT_MS, kConnectRoundMs);
        if (curl_multi_add_handle(multi, easy) != CURLM_OK) return End();
        tick.start();
    }

    // The wait is over, for whatever reason: the connection goes at once.
    void End() {
        if (over) return;
        over = true;
        idle.stop();
        total.stop();
        tick.stop();
        // libcurl tells of each socket it closes here (CURL_POLL_REMOVE). A pending name look-up is left to
        // end by itself (CURLOPT_QUICK_EXIT).
        curl_multi_remove_handle(multi, easy);
        curl_easy_cleanup(easy);
        easy = nullptr;
        curlTimer.stop();
        loop.quit();
    }

    void Retire(Watch& watch) {
        for (auto* notifier : {&watch.read, &watch.write}) {
            if (!*notifier) continue;
            (*notifier)->setEnabled(false);
            retired.push_back(std::move(*notifier));
        }
    }

    void Want(curl_socket_t fd, std::unique_ptr<QSocketNotifier>& notifier, QSocketNotifier::Type type,
              bool on, int event) {
        if (on && !notifier) {
            notifier = std::make_unique<QSocketNotifier>(fd, type);
            QObject::connect(notifier.get(), &QSocketNotifier::activated, &loop,
                             [this, fd, event] { Act(fd, event); });
        }
        if (notifier) notifier->setEnabled(on);
    }

    static int OnSocket(CURL*, curl_socket_t fd, int what, void* self, void*) {
        auto& t = *static_cast<Transfer*>(self);
        if (what == CURL_POLL_REMOVE) {
            if (auto found = t.watched.find(fd); found != t.watched.end()) {
                t.Retire(found->second);
                t.watched.erase(found);
            }
            return 0;
        }
        Watch& watch = t.watched[fd];
        t.Want(fd, watch.read, QSocketNotifier::Read, what & CURL_POLL_IN, CURL_CSELECT_IN);
        t.Want(fd, watch.write, QSocketNotifier::Write, what & CURL_POLL_OUT, CURL_CSELECT_OUT);
        return 0;
    }

    static int OnTimer(CURLM*, long milliseconds, void* self) {
        auto& t = *static_cast<Transfer*>(self);
        // libcurl may not be called back from here: the timer does it from the loop.
        if (milliseconds < 0)
            t.curlTimer.stop();
        else
            t.curlTimer.start(int(std::min<long>(milliseconds, INT_MAX)));
        return 0;
    }

    // A socket to the server or proxy, made but not yet connected. In the look-up round it tells that
    // the name is known, and is refused.
    static int OnConnection(void* self, curl_socket_t fd, curlsocktype) {
        auto& t = *static_cast<Transfer*>(self);
        if (t.lookingUp) {
            t.named = true;
            return CURL_SOCKOPT_ERROR;
        }
        t.connections.insert(fd);
        return CURL_SOCKOPT_OK;
    }

    static int OnClose(void* self, curl_socket_t fd) {
        static_cast<Transfer*>(self)->connections.erase(fd);
        return close(fd);
    }

    static size_t OnBody(char* data, size_t, size_t size, void* self) {
        auto& t = *static_cast<Transfer*>(self);
        if (t.body.size() + qint64(size) > t.maxBody) return 0; // fails the transfer at once
        t.body.append(data, qsizetype(size));
        return size;
    }

    // libcurl 7.88 reads only the first number of the last Content-Length; differing lengths, in one
    // header or several, leave the reply's end unknown and so fail the transfer.
    static size_t OnHeader(char* data, size_t, size_t size, void* self) {
        auto& t = *static_cast<Transfer*>(self);
        const QByteArrayView line(data, qsizetype(size));
        if (t.headStarts) { // a head's status line: the head has a length of its own
            t.headStarts = false;
            t.length = -1;
            return size;
        }
        if (line == "\r\n" || line == "\n") { // the head ends; after an interim one (1xx) another starts
            long status = 0;
            curl_easy_getinfo(t.easy, CURLINFO_RESPONSE_CODE, &status);
            t.headStarts = status / 100 == 1;
            t.inLength = false;
            return size;
        }
        // A folded line goes on with the values of the header before it.
        qsizetype start = 0;
        if (!line.startsWith(' ') && !line.startsWith('\t')) {
            start = line.indexOf(':') + 1;
            t.inLength = start > 1 &&
                         line.first(start - 1).trimmed().compare("content-length", Qt::CaseInsensitive) == 0;
        }
        if (!t.inLength) return size;
        const QByteArray values = line.sliced(start).toByteArray().replace(',', ' ');
        for (const QByteArray& value : values.simplified().split(' ')) {
            if (value.isEmpty()) continue;
            bool number = false;
            const qint64 length = value.toLongLong(&number);
            if (!number || (t.length >= 0 && length != t.length)) return 0; // fails the transfer
            t.length = length;
        }
        return size;
    }

    // Sees each whole line of the head, and the rest as received, before the chunked framing is
    // taken off.
    static int OnTrace(CURL*, curl_infotype type, char*, size_t size, void* self) {
        auto& t = *static_cast<Transfer*>(self);
        if (type == CURLINFO_HEADER_IN || type == CURLINFO_DATA_IN) t.received += qint64(size);
        return 0;
    }
};

HTTPSocket::~HTTPSocket() {
    if (!transfer_) return;
    transfer_->orphaned = true; // Get, still on the stack, must not touch this socket again
    transfer_->End();
}

QString HTTPSocket::Get(const QString& address, std::chrono::milliseconds idleTimeout) {
    if (transfer_) return {}; // one request at a time
    static const bool ready = curl_global_init(CURL_GLOBAL_DEFAULT) == CURLE_OK;
    QUrl url(address);
    if (!ready || !url.isValid()) return {};
    if (url.port() < 0) url.setPort(Port);

    Transfer t;
    if (!t.multi || !t.easy) return {};
    t.maxBody = MaxBodyBytes;
    t.idleTimeout = idleTimeout;
    t.curlTimer.setSingleShot(true);
    t.idle.setSingleShot(true);
    t.total.setSingleShot(true);
    // A coarse timer may end a wait 5 % early, when an answer may still come.
    t.idle.setTimerType(Qt::PreciseTimer);
    t.tick.setInterval(kTickMs);
    QObject::connect(&t.curlTimer, &QTimer::timeout, &t.loop, [&t] { t.Act(CURL_SOCKET_TIMEOUT, 0); });
    QObject::connect(&t.idle, &QTimer::timeout, &t.loop, [&t] { t.End(); });
    QObject::connect(&t.total, &QTimer::timeout, &t.loop, [&t] { t.End(); });
    QObject::connect(&t.tick, &QTimer::timeout, &t.loop, [&t] { t.Tick(); });
    curl_multi_setopt(t.multi, CURLMOPT_SOCKETFUNCTION, &Transfer::OnSocket);
    curl_multi_setopt(t.multi, CURLMOPT_SOCKETDATA, &t);
    curl_multi_setopt(t.multi, CURLMOPT_TIMERFUNCTION, &Transfer::OnTimer);
    curl_multi_setopt(t.multi, CURLMOPT_TIMERDATA, &t);

    CURL* easy = t.easy;
    const QByteArray encoded = url.toEncoded();
    curl_easy_setopt(easy, CURLOPT_URL, encoded.constData());
    curl_easy_setopt(easy, CURLOPT_PROTOCOLS_STR, "http");
    curl_easy_setopt(easy, CURLOPT_FOLLOWLOCATION, 0L);
    // CURLOPT_ACCEPT_ENCODING stays unset: no compression is asked for, none is undone.
    curl_easy_setopt(easy, CURLOPT_HTTP_VERSION, long(CURL_HTTP_VERSION_1_1));
    curl_easy_setopt(easy, CURLOPT_WRITEFUNCTION, &Transfer::OnBody);
    curl_easy_setopt(easy, CURLOPT_WRITEDATA, &t);
    curl_easy_setopt(easy, CURLOPT_HEADERFUNCTION, &Transfer::OnHeader);
    curl_easy_setopt(easy, CURLOPT_HEADERDATA, &t);
    curl_easy_setopt(easy, CURLOPT_VERBOSE, 1L); // only so that OnTrace sees the bytes come
    curl_easy_setopt(easy, CURLOPT_DEBUGFUNCTION, &Transfer::OnTrace);
    curl_easy_setopt(easy, CURLOPT_DEBUGDATA, &t);
    // The look-up round lasts as long as the timers here allow; the rounds set their own time.
    curl_easy_setopt(easy, CURLOPT_CONNECTTIMEOUT_MS, std::max<long>(1, long(TotalLimit.count())));
    curl_easy_setopt(easy, CURLOPT_DNS_CACHE_TIMEOUT, -1L);
    curl_easy_setopt(easy, CURLOPT_SOCKOPTFUNCTION, &Transfer::OnConnection);
    curl_easy_setopt(easy, CURLOPT_SOCKOPTDATA, &t);
    curl_easy_setopt(easy, CURLOPT_CLOSESOCKETFUNCTION, &Transfer::OnClose);
    curl_easy_setopt(easy, CURLOPT_CLOSESOCKETDATA, &t);
    curl_easy_setopt(easy, CURLOPT_HAPPY_EYEBALLS_TIMEOUT_MS, 200L);
    curl_easy_setopt(easy, CURLOPT_FORBID_REUSE, 1L);
    curl_easy_setopt(easy, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(easy, CURLOPT_QUICK_EXIT, 1L);

    transfer_ = &t;
    t.idle.start(idleTimeout);
    t.total.start(TotalLimit);
    t.tick.start();
    if (curl_multi_add_handle(t.multi, easy) != CURLM_OK) t.End();
    if (!t.over) t.loop.exec(Yield ? QEventLoop::AllEvents : QEventLoop::ExcludeUserInputEvents);
    if (t.orphaned) return {};
    t.End();
    transfer_ = nullptr;
    if (!t.complete) return {};
    return QString::fromUtf8(t.body);
}

void HTTPSocket::Close() {
    if (transfer_) transfer_->End(); // before the transfer is complete
}
