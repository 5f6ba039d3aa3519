#include "PreferencesFolder.h"

#include <QStandardPaths>

QString PreferencesFolder() {
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation);
}
