#pragma once
// Reads one HTTP/1.x response as its bytes arrive, within fixed bounds: the head (status line,
// headers, trailers) and each chunk-size line are limited, and the body may not grow past the
// cap given. It fails as soon as a bound is passed or the framing is broken.
#include <QByteArray>
#include <QtGlobal>

class HttpReplyReader {
public:
    enum class State { Reading, Complete, Failed };

    static constexpr qsizetype kMaxHeadBytes = 32 * 1024;
    static constexpr qsizetype kMaxChunkLineBytes = 1024;

    explicit HttpReplyReader(qint64 maxBodyBytes) : maxBody_(maxBodyBytes) {}

    // The next bytes received.
    State Feed(const char* data, qsizetype size);
    // The peer ended the connection normally: completes a body that runs to the close.
    State PeerClosed();

    State state() const { return state_; }
    const QByteArray& Body() const { return body_; }

private:
    enum class Part { StatusLine, Header, Body, BodyToClose, ChunkSize, ChunkData, ChunkEnd, Trailer };

    void TakeLine(const QByteArray& line);
    void EndOfHead();
    void ChunkSizeLine(const QByteArray& line);
    void Fail() { state_ = State::Failed; }
    void Complete() { state_ = State::Complete; }

    const qint64 maxBody_;
    State state_ = State::Reading;
    Part part_ = Part::StatusLine;
    QByteArray line_;
    qsizetype headBytes_ = 0;
    int status_ = 0;
    qint64 length_ = -1;
    QByteArray transferEncoding_;
    qint64 remaining_ = 0;
    QByteArray body_;
};
