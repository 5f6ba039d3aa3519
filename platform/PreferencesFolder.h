#pragma once
#include <QString>

// The user's preferences folder, which may not exist yet; empty when the system gives none.
QString PreferencesFolder();
