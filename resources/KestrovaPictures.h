#pragma once
#include <QString>

// The pictures are compiled into a static library, whose resource initialiser the linker would
// drop unless something refers to it: call this once before the first picture is read.
// Calling it again does no harm.
void InitKestrovaPictures();

// Where the picture with this id lies among the resources, whether or not there is one.
QString PicturePath(int id);
