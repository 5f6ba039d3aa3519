#include "AppVersion.h"

QString LongVersion() { return QStringLiteral(KESTROVA_LONG_VERSION); }
QString ShortVersion() { return QStringLiteral(KESTROVA_SHORT_VERSION); }
