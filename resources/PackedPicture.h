#pragma once
// The form in which the build packs the pictures into the resources: a 16-byte header (the
// letters "KPIC", then width, height and bytes per line, each 32 bits in the machine's order),
// then the pixels as premultiplied ARGB32, exactly as a QImage holds them in memory. The resource
// compiler compresses the whole; reading it back is one decompression, with no conversion.
#include <QByteArray>
#include <QImage>

QByteArray PackPicture(const QImage& image);

// The picture, sharing `packed`'s bytes; a null image when they are not a whole packed picture.
QImage UnpackPicture(QByteArray packed);
