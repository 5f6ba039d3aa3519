// Feeds arbitrary replies to the update window's parser, which fills its list as it goes.
#include "UpdateCheckSettings.h"
#include "WNewVersion.h"

#include <QApplication>
#include <QTreeWidget>
#include <cstdint>
#include <cstdlib>

namespace {
WNewVersion* window = nullptr;
}

// The font caches of the system's font and display libraries live as long as the process and
// are not all reachable to the leak checker.
extern "C" const char* __lsan_default_suppressions() { return "leak:libQt6Gui\nleak:libfontconfig\n"; }

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    static QApplication app(*argc, *argv);
    UpdateCheckSettings settings;
    settings.longVersion = QStringLiteral("Abc Def 1.2");
    SetUpdateCheckSettingsForTests(settings);
    window = &WindowInstance<WNewVersion>();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const QString reply = QString::fromUtf8(reinterpret_cast<const char*>(data), qsizetype(size));
    const QString found = window->MTraitReponse(reply);
    // What is found is a listed long version of this application, word for word from the reply.
    if (!found.isEmpty() &&
        (WNewVersion::MExtractLeNom(found) != QStringLiteral("Abc Def ") || !reply.contains(found)))
        std::abort();
    // The name part of a text is always its own beginning.
    if (!reply.startsWith(WNewVersion::MExtractLeNom(reply))) std::abort();
    return 0;
}
