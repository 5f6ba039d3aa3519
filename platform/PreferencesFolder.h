#pragma once
#include <QByteArray>
#include <QString>

// The user's preferences folder as the environment names it, which may not exist yet: an absolute
// $XDG_CONFIG_HOME, else $HOME/.config when $HOME is absolute ($HOME/.qttest/config in Qt's test
// mode). Empty when the environment names none.
QByteArray PreferencesFolderBytes();

// The same folder, empty when there is none or when its name is not UTF-8: Qt would read and
// write another folder, named with replacement characters.
QString PreferencesFolder();
