#pragma once
// The form in which the build packs the pictures into the resources: a 16-byte header (the
// letters "KPIC", then width, height and bytes per line, each 32 bits in the machine's order),
// then the pixels as premultiplied ARGB32, exactly as a QImage holds them in memory, compressed
// as one LZ4 block. Reading it back is one decompression straight into the picture's pixels, with
// no conversion: LZ4 restores a 1500 x 1300 background several times faster than zstd or PNG.
#include <QByteArray>
#include <QByteArrayView>
#include <QImage>

QByteArray PackPicture(const QImage& image);

// The picture; a null image when the bytes are not a whole packed picture.
QImage UnpackPicture(QByteArrayView packed);
