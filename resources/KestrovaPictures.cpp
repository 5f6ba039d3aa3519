#include "KestrovaPictures.h"

#include "PackedPicture.h"
#include "PictureIds.h"

#include <QResource>
#include <QtCore/qglobal.h>

// Q_INIT_RESOURCE must be used outside any namespace.
void InitKestrovaPictures() { Q_INIT_RESOURCE(pictures); }

QImage ReadPicture(int id) {
    const QResource resource(QString::fromLatin1(kPicturePrefix) + QString::number(id) +
                             QStringLiteral(".kpic"));
    if (!resource.isValid() || resource.compressionAlgorithm() != QResource::NoCompression) return QImage();
    return UnpackPicture(QByteArrayView(resource.data(), resource.size()));
}
