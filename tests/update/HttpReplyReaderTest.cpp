#include "HttpReplyReader.h"

#include <gtest/gtest.h>
#include <vector>

namespace {
using State = HttpReplyReader::State;

struct Case {
    const char* name;
    QByteArray input;
    bool closed; // the peer then closes normally
    State state;
    QByteArray body = {}; // what a reply that did not fail holds
    qint64 cap = 100;
};

// Fed whole, then one byte at a time: the framing must not depend on how the bytes arrive.
State Read(const Case& c, qsizetype piece, QByteArray& body) {
    HttpReplyReader reader(c.cap);
    for (qsizetype at = 0; at < c.input.size() && reader.state() == State::Reading; at += piece)
        reader.Feed(c.input.constData() + at, std::min(piece, c.input.size() - at));
    if (c.closed) reader.PeerClosed();
    body = reader.Body();
    return reader.state();
}

TEST(HttpReplyReader, FramingLimitsAndEnds) {
    const QByteArray ok = "HTTP/1.1 200 OK\r\n";
    const QByteArray chunked = ok + "Transfer-Encoding: chunked\r\n\r\n";
    const QByteArray longHead =
        ok + "X-Long: " + QByteArray(HttpReplyReader::kMaxHeadBytes, 'a') + "\r\n\r\n";
    const QByteArray fullHead =
        ok + "X-Long: " + QByteArray(HttpReplyReader::kMaxHeadBytes - 40, 'a') + "\r\n\r\n";
    const std::vector<Case> cases = {
        {"length", ok + "Content-Length: 5\r\n\r\nhello and more", false, State::Complete, "hello"},
        {"length, twice the same", ok + "Content-Length: 2\r\ncontent-length: 2\r\n\r\nab", false,
         State::Complete, "ab"},
        {"LF line ends", "HTTP/1.0 200 OK\nContent-Length: 2\n\nab", false, State::Complete, "ab"},
        {"error page", "HTTP/1.1 404 Not Found\r\nContent-Length: 3\r\n\r\nnon", false, State::Complete,
         "non"},
        {"interim reply", "HTTP/1.1 100 Continue\r\n\r\n" + ok + "Content-Length: 1\r\n\r\nx", false,
         State::Complete, "x"},
        {"no content", "HTTP/1.1 204 No Content\r\n\r\n", false, State::Complete},
        {"chunks", chunked + "3;a=b\r\nabc\r\n002\r\nde\r\n0\r\nX-T: 1\r\n\r\n", false, State::Complete,
         "abcde"},
        {"chunks up to the cap", chunked + "a\r\n0123456789\r\n0\r\n\r\n", false, State::Complete,
         "0123456789", 10},
        {"to the close", ok + "\r\nab\r\ncd", true, State::Complete, "ab\r\ncd"},
        {"to the close, not yet closed", ok + "\r\nab", false, State::Reading, "ab"},
        {"length up to the cap", ok + "Content-Length: 10\r\n\r\n0123456789", false, State::Complete,
         "0123456789", 10},
        {"head just within its bound", fullHead + "x", true, State::Complete, "x"},
        // Failures
        {"head past its bound", longHead, false, State::Failed},
        {"length past the cap", ok + "Content-Length: 11\r\n\r\n", false, State::Failed, {}, 10},
        {"to the close past the cap", ok + "\r\n01234567890", false, State::Failed, {}, 10},
        {"chunk past the cap", chunked + "6\r\n012345\r\n5\r\n", false, State::Failed, {}, 10},
        {"huge chunk size", chunked + "7FFFFFFFFFFFFFFF\r\n", false, State::Failed},
        {"chunk-size line past its bound",
         chunked + "5;" + QByteArray(HttpReplyReader::kMaxChunkLineBytes, 'e'), false, State::Failed},
        {"chunk size not hex", chunked + "5x\r\n", false, State::Failed},
        {"chunk without its line end", chunked + "2\r\nabX\r\n", false, State::Failed},
        {"closed in the head", ok + "Content-Len", true, State::Failed},
        {"closed in a length body", ok + "Content-Length: 9\r\n\r\nabc", true, State::Failed},
        {"closed in the chunks", chunked + "3\r\nabc\r\n", true, State::Failed},
        {"two lengths", ok + "Content-Length: 2\r\nContent-Length: 3\r\n\r\nabc", false, State::Failed},
        {"length not a number", ok + "Content-Length: 2x\r\n\r\nab", false, State::Failed},
        {"unknown transfer coding", ok + "Transfer-Encoding: gzip\r\n\r\nab", true, State::Failed},
        {"not HTTP", "HTTX/1.1 200 OK\r\n\r\n", true, State::Failed},
        {"status not a number", "HTTP/1.1 2x0 OK\r\n\r\n", true, State::Failed},
        {"header without a colon", ok + "Nonsense\r\n\r\n", true, State::Failed},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        for (const qsizetype piece : {c.input.size() + 1, qsizetype(1)}) {
            QByteArray body;
            EXPECT_EQ(Read(c, piece, body), c.state) << "in pieces of " << piece;
            if (c.state != State::Failed) {
                EXPECT_EQ(body, c.body) << "in pieces of " << piece;
            }
        }
    }
}
} // namespace
