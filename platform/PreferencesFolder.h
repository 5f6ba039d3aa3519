#pragma once
#include <QString>

// The user's preferences folder (created when missing); empty when the system gives none.
QString PreferencesFolder();
