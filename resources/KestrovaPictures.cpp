#include "KestrovaPictures.h"

#include <QtCore/qglobal.h>

// Q_INIT_RESOURCE must be used outside any namespace.
void InitKestrovaPictures()
{
    Q_INIT_RESOURCE(pictures);
}
