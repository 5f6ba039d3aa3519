// Feeds arbitrary bytes to the HTTP reply reader, whole and in pieces cut where the input says.
#include "HttpReplyReader.h"

#include <cstdint>
#include <cstdlib>

namespace {
constexpr qint64 kCap = 256; // well below the input sizes, so the cap is reached

HttpReplyReader::State Read(const char* data, qsizetype size, qsizetype piece, bool closed,
                            QByteArray& body) {
    HttpReplyReader reader(kCap);
    for (qsizetype at = 0; at < size && reader.state() == HttpReplyReader::State::Reading; at += piece)
        reader.Feed(data + at, std::min(piece, size - at));
    if (closed) reader.PeerClosed();
    body = reader.Body();
    return reader.state();
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 1) return 0;
    // The first byte picks the piece size and whether the peer then closes.
    const qsizetype piece = (data[0] >> 1) + 1;
    const bool closed = data[0] & 1;
    const char* bytes = reinterpret_cast<const char*>(data + 1);
    const qsizetype length = qsizetype(size - 1);

    QByteArray whole, pieces;
    const auto state = Read(bytes, length, length + 1, closed, whole);
    // How the bytes arrive never changes the outcome nor what a finished reply holds.
    if (Read(bytes, length, piece, closed, pieces) != state) std::abort();
    if (state != HttpReplyReader::State::Failed && whole != pieces) std::abort();
    // The body stays within the cap, and comes from the input.
    if (whole.size() > kCap || whole.size() > length) std::abort();
    return 0;
}
