#include "HttpReplyReader.h"

#include <QList>
#include <algorithm>
#include <cctype>
#include <cstring>
#include <utility>

namespace {
bool AllDigits(const QByteArray& text) {
    return !text.isEmpty() &&
           std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}
} // namespace

HttpReplyReader::State HttpReplyReader::Feed(const char* data, qsizetype size) {
    qsizetype at = 0;
    while (at < size && state_ == State::Reading) {
        const qsizetype left = size - at;
        switch (part_) {
        case Part::Body:
        case Part::ChunkData: {
            const qsizetype n = qsizetype(std::min<qint64>(remaining_, left));
            body_.append(data + at, n);
            at += n;
            remaining_ -= n;
            if (remaining_ > 0) break;
            if (part_ == Part::Body)
                Complete();
            else
                part_ = Part::ChunkEnd;
            break;
        }
        case Part::BodyToClose:
            if (body_.size() + left > maxBody_) return state_ = State::Failed;
            body_.append(data + at, left);
            at = size;
            break;
        default: {
            // A line: the head shares one budget, and so do chunk-size lines one by one.
            const char* end = static_cast<const char*>(memchr(data + at, '\n', size_t(left)));
            const qsizetype n = end ? qsizetype(end - (data + at)) + 1 : left;
            const bool head = part_ == Part::StatusLine || part_ == Part::Header || part_ == Part::Trailer;
            if (head) headBytes_ += n;
            if (head ? headBytes_ > kMaxHeadBytes : line_.size() + n > kMaxChunkLineBytes)
                return state_ = State::Failed;
            line_.append(data + at, n);
            at += n;
            if (!end) break;
            QByteArray line = std::exchange(line_, QByteArray());
            line.chop(line.endsWith("\r\n") ? 2 : 1);
            TakeLine(line);
            break;
        }
        }
    }
    return state_;
}

HttpReplyReader::State HttpReplyReader::PeerClosed() {
    if (state_ == State::Reading) {
        if (part_ == Part::BodyToClose)
            Complete();
        else
            Fail();
    }
    return state_;
}

void HttpReplyReader::TakeLine(const QByteArray& line) {
    switch (part_) {
    case Part::StatusLine:
        // "HTTP/1.x nnn reason"
        if (!line.startsWith("HTTP/1.") || line.size() < 12 || line[8] != ' ' || !AllDigits(line.mid(9, 3)) ||
            (line.size() > 12 && line[12] != ' '))
            return Fail();
        status_ = line.mid(9, 3).toInt();
        part_ = Part::Header;
        return;
    case Part::Header: {
        if (line.isEmpty()) return EndOfHead();
        const qsizetype colon = line.indexOf(':');
        if (colon <= 0) return Fail();
        const QByteArray name = line.left(colon).trimmed().toLower();
        const QByteArray value = line.mid(colon + 1).trimmed();
        if (name == "content-length") {
            if (!AllDigits(value) || value.size() > 18) return Fail();
            const qint64 length = value.toLongLong();
            if (length_ >= 0 && length != length_) return Fail();
            length_ = length;
        } else if (name == "transfer-encoding") {
            transferEncoding_ += (transferEncoding_.isEmpty() ? "" : ",") + value.toLower();
        }
        return;
    }
    case Part::ChunkSize:
        return ChunkSizeLine(line);
    case Part::ChunkEnd:
        if (!line.isEmpty()) return Fail();
        part_ = Part::ChunkSize;
        return;
    case Part::Trailer:
        if (line.isEmpty()) Complete();
        return;
    default:
        return;
    }
}

void HttpReplyReader::EndOfHead() {
    if (status_ >= 100 && status_ < 200) { // an interim reply: the real one follows
        part_ = Part::StatusLine;
        length_ = -1;
        transferEncoding_.clear();
        return;
    }
    if (status_ == 204 || status_ == 304) return Complete();
    if (!transferEncoding_.isEmpty()) {
        const QByteArray last = transferEncoding_.split(',').last().trimmed();
        if (last != "chunked") return Fail();
        part_ = Part::ChunkSize;
        return;
    }
    if (length_ < 0) {
        part_ = Part::BodyToClose;
        return;
    }
    if (length_ > maxBody_) return Fail();
    if (length_ == 0) return Complete();
    remaining_ = length_;
    part_ = Part::Body;
}

void HttpReplyReader::ChunkSizeLine(const QByteArray& line) {
    QByteArray digits = line.split(';').front().trimmed(); // extensions after ';' are ignored
    while (digits.size() > 1 && digits.front() == '0') digits.remove(0, 1);
    if (digits.isEmpty() || digits.size() > 15) return Fail(); // at most 15 hex digits: no overflow
    bool ok = false;
    const qint64 size = digits.toLongLong(&ok, 16);
    if (!ok || size < 0 ||
        !std::all_of(digits.begin(), digits.end(), [](char c) { return std::isxdigit(uchar(c)); }))
        return Fail();
    if (body_.size() + size > maxBody_) return Fail();
    if (size == 0) {
        part_ = Part::Trailer;
        return;
    }
    remaining_ = size;
    part_ = Part::ChunkData;
}
