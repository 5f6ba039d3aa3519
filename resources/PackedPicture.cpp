#include "PackedPicture.h"

#include <cstring>

namespace {
struct Header {
    char magic[4];
    quint32 width;
    quint32 height;
    quint32 bytesPerLine;
};
static_assert(sizeof(Header) == 16, "the pixels follow at a 16-byte boundary");
constexpr char kMagic[4] = {'K', 'P', 'I', 'C'};
constexpr QImage::Format kFormat = QImage::Format_ARGB32_Premultiplied;
} // namespace

QByteArray PackPicture(const QImage& image)
{
    const QImage pixels = image.convertToFormat(kFormat);
    Header header;
    std::memcpy(header.magic, kMagic, sizeof kMagic);
    header.width = quint32(pixels.width());
    header.height = quint32(pixels.height());
    header.bytesPerLine = quint32(pixels.bytesPerLine());
    QByteArray packed(reinterpret_cast<const char*>(&header), sizeof header);
    packed.append(reinterpret_cast<const char*>(pixels.constBits()), pixels.sizeInBytes());
    return packed;
}

QImage UnpackPicture(QByteArray packed)
{
    Header header;
    if (packed.size() < qsizetype(sizeof header)) return QImage();
    std::memcpy(&header, packed.constData(), sizeof header);
    const quint64 pixelBytes = quint64(header.bytesPerLine) * header.height;
    if (std::memcmp(header.magic, kMagic, sizeof kMagic) != 0 || header.width == 0 || header.height == 0 ||
        header.width > 32768 || header.height > 32768 || header.bytesPerLine < quint64(header.width) * 4 ||
        header.bytesPerLine % 4 != 0 || quint64(packed.size()) != sizeof header + pixelBytes)
        return QImage();
    // QImage wants its lines 32-bit aligned; bytes that are not get a copy of their own.
    if (reinterpret_cast<quintptr>(packed.constData()) % 4 != 0) packed = QByteArray(packed.constData(), packed.size());
    auto* kept = new QByteArray(std::move(packed));
    return QImage(reinterpret_cast<const uchar*>(kept->constData()) + sizeof header, int(header.width),
                  int(header.height), qsizetype(header.bytesPerLine), kFormat,
                  [](void* bytes) { delete static_cast<QByteArray*>(bytes); }, kept);
}
