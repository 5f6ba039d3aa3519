#include "UpdateCheckSettings.h"

#include "AppVersion.h"

namespace {
UpdateCheckSettings& Settings() {
    static UpdateCheckSettings settings;
    return settings;
}
} // namespace

const UpdateCheckSettings& CurrentUpdateCheckSettings() { return Settings(); }

void SetUpdateCheckSettingsForTests(const UpdateCheckSettings& settings) { Settings() = settings; }

QString RunningLongVersion() {
    const QString& forced = Settings().longVersion;
    return forced.isEmpty() ? LongVersion() : forced;
}
