#include "PackedPicture.h"

#include <lz4.h>
#include <lz4hc.h>

#include <sys/mman.h>

#include <cstring>

namespace {
struct Header {
    char magic[4];
    quint32 width;
    quint32 height;
    quint32 bytesPerLine;
};
static_assert(sizeof(Header) == 16);
constexpr char kMagic[4] = {'K', 'P', 'I', 'C'};
constexpr QImage::Format kFormat = QImage::Format_ARGB32_Premultiplied;
// Beyond any picture of the game, and within what one LZ4 block holds.
constexpr quint32 kLargestSide = 16384;
// From this size on, pixels get memory of their own from the system.
constexpr std::size_t kOwnMemoryFrom = 1 << 20;

struct Mapping {
    void* address;
    std::size_t length;
};

// A background is read again each time it is shown after being let go. Memory from the general
// allocator would stay with the process once freed, about a background's worth; memory of its own
// goes back to the system with the last copy of the picture.
QImage NewImage(int width, int height) {
    const std::size_t length = std::size_t(width) * 4 * std::size_t(height);
    if (length < kOwnMemoryFrom) return QImage(width, height, kFormat);
    void* address = mmap(nullptr, length, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (address == MAP_FAILED) return QImage(width, height, kFormat);
    auto* mapping = new Mapping{address, length};
    return QImage(
        static_cast<uchar*>(address), width, height, qsizetype(width) * 4, kFormat,
        [](void* info) {
            auto* m = static_cast<Mapping*>(info);
            munmap(m->address, m->length);
            delete m;
        },
        mapping);
}
} // namespace

QByteArray PackPicture(const QImage& image) {
    const QImage pixels = image.convertToFormat(kFormat);
    if (pixels.isNull() || quint32(pixels.width()) > kLargestSide || quint32(pixels.height()) > kLargestSide)
        return QByteArray();
    Header header;
    std::memcpy(header.magic, kMagic, sizeof kMagic);
    header.width = quint32(pixels.width());
    header.height = quint32(pixels.height());
    header.bytesPerLine = quint32(pixels.bytesPerLine());
    const int size = int(pixels.sizeInBytes());
    QByteArray packed(qsizetype(sizeof header) + LZ4_compressBound(size), Qt::Uninitialized);
    std::memcpy(packed.data(), &header, sizeof header);
    const int compressed =
        LZ4_compress_HC(reinterpret_cast<const char*>(pixels.constBits()), packed.data() + sizeof header,
                        size, LZ4_compressBound(size), LZ4HC_CLEVEL_MAX);
    if (compressed <= 0) return QByteArray();
    packed.truncate(qsizetype(sizeof header) + compressed);
    return packed;
}

QImage UnpackPicture(QByteArrayView packed) {
    Header header;
    if (packed.size() <= qsizetype(sizeof header)) return QImage();
    std::memcpy(&header, packed.data(), sizeof header);
    if (std::memcmp(header.magic, kMagic, sizeof kMagic) != 0 || header.width == 0 || header.height == 0 ||
        header.width > kLargestSide || header.height > kLargestSide)
        return QImage();
    QImage image = NewImage(int(header.width), int(header.height));
    if (image.isNull() || quint32(image.bytesPerLine()) != header.bytesPerLine) return QImage();
    const qsizetype compressed = packed.size() - qsizetype(sizeof header);
    if (compressed > LZ4_compressBound(int(image.sizeInBytes()))) return QImage();
    // The block must fill the pixels exactly: neither short nor running past them.
    const int restored =
        LZ4_decompress_safe(packed.data() + sizeof header, reinterpret_cast<char*>(image.bits()),
                            int(compressed), int(image.sizeInBytes()));
    if (restored != int(image.sizeInBytes())) return QImage();
    return image;
}
