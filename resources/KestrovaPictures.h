#pragma once
#include <QImage>

// The pictures are compiled into a static library, whose resource initialiser the linker would
// drop unless something refers to it: call this once before the first picture is read.
// Calling it again does no harm.
void InitKestrovaPictures();

// The picture with this resource id, or a null image when the resources hold none.
QImage ReadPicture(int id);
