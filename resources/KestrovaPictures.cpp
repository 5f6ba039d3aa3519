#include "KestrovaPictures.h"

#include "PictureIds.h"

#include <QtCore/qglobal.h>

// Q_INIT_RESOURCE must be used outside any namespace.
void InitKestrovaPictures()
{
    Q_INIT_RESOURCE(pictures);
    Q_INIT_RESOURCE(backgrounds);
}

QString PicturePath(int id)
{
    // The backgrounds are packed as plain RGB at build time (see CMakeLists.txt).
    const bool background = id == kFondQuatre4b || id == kFondCinq || id == kFondSix || id == kFondSept;
    return QString::fromLatin1(kPicturePrefix) + QString::number(id) +
           (background ? QStringLiteral(".ppm") : QStringLiteral(".png"));
}
