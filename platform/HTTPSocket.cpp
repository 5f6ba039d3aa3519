#include "HTTPSocket.h"

#include <QEventLoop>
#include <QNetworkAccessManager>
#include <QNetworkProxy>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QTimer>
#include <QUrl>

namespace {
// Network-layer and protocol failures leave an incomplete body; an HTTP error status (a 404
// page, a 500 page) still comes with a whole one.
bool TransferFailed(QNetworkReply::NetworkError error) {
    if (error == QNetworkReply::NoError) return false;
    const int code = int(error);
    const bool httpStatus = (code >= 201 && code <= 299) || (code >= 401 && code <= 499);
    return !httpStatus;
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

    QNetworkAccessManager manager;
    // Straight to the named host: no proxy taken from the environment, no redirect followed.
    manager.setProxy(QNetworkProxy::NoProxy);
    manager.setRedirectPolicy(QNetworkRequest::ManualRedirectPolicy);
    QNetworkRequest request(url);
    request.setAttribute(QNetworkRequest::Http2AllowedAttribute, false);
    request.setAttribute(QNetworkRequest::CacheLoadControlAttribute, QNetworkRequest::AlwaysNetwork);
    QNetworkReply* reply = manager.get(request);
    // Flow control: the reply stops reading the socket while this much waits to be taken.
    reply->setReadBufferSize(64 * 1024);

    QEventLoop loop;
    QByteArray body;
    bool complete = false; // the whole response came; any other end of the wait gives nothing
    cut_ = false;

    QTimer idle;
    idle.setSingleShot(true);
    QTimer total;
    total.setSingleShot(true);
    auto stop = [&] {
        cut_ = true;
        loop.quit();
    };
    auto take = [&] {
        if (cut_) return;
        idle.start(idleTimeout);
        body += reply->readAll();
        if (body.size() > MaxBodyBytes) stop();
    };
    QObject::connect(&idle, &QTimer::timeout, &loop, stop);
    QObject::connect(&total, &QTimer::timeout, &loop, stop);
    QObject::connect(reply, &QNetworkReply::metaDataChanged, &loop, [&] {
        idle.start(idleTimeout);
        bool known = false;
        const qint64 length = reply->header(QNetworkRequest::ContentLengthHeader).toLongLong(&known);
        if (known && length > MaxBodyBytes) stop();
    });
    QObject::connect(reply, &QNetworkReply::readyRead, &loop, take);
    auto finish = [&] {
        take();
        complete = !TransferFailed(reply->error());
        loop.quit();
    };
    QObject::connect(reply, &QNetworkReply::finished, &loop, finish);

    idle.start(idleTimeout);
    total.start(TotalLimit);
    loop_ = &loop;
    if (reply->isFinished()) {
        finish();
    } else {
        loop.exec(Yield ? QEventLoop::AllEvents : QEventLoop::ExcludeUserInputEvents);
    }
    loop_ = nullptr;

    // Whatever ended the wait, the reply goes now, without signalling into this frame again.
    QObject::disconnect(reply, nullptr, &loop, nullptr);
    if (!reply->isFinished()) reply->abort();
    delete reply;
    if (cut_ || !complete) return {};
    return QString::fromUtf8(body);
}

void HTTPSocket::Close() {
    if (!loop_) return;
    cut_ = true;
    loop_->quit();
}
