#pragma once
#include <QString>

// The application's version metadata, set by the build from the project version.
QString LongVersion();  // "Kestrova X.Y.Z"
QString ShortVersion(); // "X.Y.Z"
