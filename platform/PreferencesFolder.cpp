#include "PreferencesFolder.h"

#include <QFile>
#include <QStandardPaths>

QByteArray PreferencesFolderBytes() {
    // A relative folder would depend on where the game was started; the rules for these
    // variables say to ignore it.
    const QByteArray named = qgetenv("XDG_CONFIG_HOME");
    if (named.startsWith('/') && !QStandardPaths::isTestModeEnabled()) return named;
    QByteArray home = qgetenv("HOME");
    if (!home.startsWith('/')) return {};
    while (home.endsWith('/')) home.chop(1);
    return home + (QStandardPaths::isTestModeEnabled() ? "/.qttest/config" : "/.config");
}

QString PreferencesFolder() {
    const QByteArray bytes = PreferencesFolderBytes();
    const QString folder = QFile::decodeName(bytes);
    return QFile::encodeName(folder) == bytes ? folder : QString();
}
