#include "PreferencesFolder.h"

#include <QDir>
#include <QStandardPaths>

QString PreferencesFolder() {
    const QString folder = QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation);
    if (folder.isEmpty()) return {};
    QDir().mkpath(folder);
    return folder;
}
