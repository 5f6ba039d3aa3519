#pragma once
// Where the update check fetches its version list, how long it waits and how much it takes.
// Tests point it at a server of their own on 127.0.0.1 and shorten the waits.
#include "AuthorSite.h"

#include <QString>
#include <chrono>

struct UpdateCheckSettings {
    QString host = AuthorSiteHost();
    int port = 80;
    std::chrono::milliseconds idleTimeout{std::chrono::seconds(15)}; // without new data
    std::chrono::milliseconds totalLimit{std::chrono::seconds(60)};  // so a trickling peer ends too
    qint64 maxReplyBytes = qint64(1) << 20;
    QString longVersion; // empty: the running application's own
};

const UpdateCheckSettings& CurrentUpdateCheckSettings();
// For tests only.
void SetUpdateCheckSettingsForTests(const UpdateCheckSettings& settings);

// The long version the check compares with: the running application's.
QString RunningLongVersion();
