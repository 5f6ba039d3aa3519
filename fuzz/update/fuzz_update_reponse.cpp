// Feeds arbitrary replies to the update window's parser and holds what it shows and returns
// against a plain reading of the list, written apart from the parser: one row per line, in order,
// each with its own line's fields; the version found is field 2 of the last line that names this
// application, or empty; a second parse of the same reply changes nothing.
#include "UpdateCheckSettings.h"
#include "WNewVersion.h"

#include <QApplication>
#include <QTreeView>
#include <array>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <vector>

namespace {
WNewVersion* window = nullptr;
const QString kOwnName = QStringLiteral("Abc Def ");

void Check(bool holds, const char* what) {
    if (holds) return;
    std::fprintf(stderr, "version list: %s\n", what);
    std::abort();
}

// CR LF, CR and LF each end a line; a line end after the last line starts none.
QStringList Lines(const QString& reply) {
    QStringList lines;
    qsizetype start = 0;
    for (qsizetype i = 0; i < reply.size(); ++i) {
        if (reply[i] != QLatin1Char('\r') && reply[i] != QLatin1Char('\n')) continue;
        lines << reply.mid(start, i - start);
        if (reply[i] == QLatin1Char('\r') && i + 1 < reply.size() && reply[i + 1] == QLatin1Char('\n')) ++i;
        start = i + 1;
    }
    if (start < reply.size()) lines << reply.mid(start);
    return lines;
}

// Field n (from 0) of a line whose fields are separated by "--"; a missing one is empty. Qt's own
// split, not a search loop like the parser's.
QString Field(const QString& line, int n) { return line.split(QLatin1String("--")).value(n); }

// This application's name, a blank, and one last word with no blank in it (maybe empty).
bool NamesThisApplication(const QString& longVersion) {
    return longVersion.startsWith(kOwnName) && !longVersion.mid(kOwnName.size()).contains(QLatin1Char(' '));
}

using Rows = std::vector<std::array<QString, 3>>;

Rows Shown() {
    Rows rows;
    const QAbstractItemModel& list = *window->LBApplic->model();
    for (int i = 0; i < list.rowCount(); ++i) {
        const auto cell = [&](int column) { return list.index(i, column).data().toString(); };
        rows.push_back({cell(0), cell(1), cell(2)});
    }
    return rows;
}
} // namespace

// The font caches of the system's font and display libraries live as long as the process and
// are not all reachable to the leak checker.
extern "C" const char* __lsan_default_suppressions() { return "leak:libQt6Gui\nleak:libfontconfig\n"; }

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    static QApplication app(*argc, *argv);
    UpdateCheckSettings settings;
    settings.longVersion = kOwnName + QStringLiteral("1.2");
    SetUpdateCheckSettingsForTests(settings);
    window = &WindowInstance<WNewVersion>();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const QString reply = QString::fromUtf8(reinterpret_cast<const char*>(data), qsizetype(size));
    const QString found = window->MTraitReponse(reply);
    const Rows rows = Shown();

    const QStringList lines = Lines(reply);
    Check(rows.size() == std::size_t(lines.size()), "one row per line");
    QString expected;
    for (qsizetype i = 0; i < lines.size(); ++i) {
        const QString& line = lines[i];
        const std::array<QString, 3> cells = {Field(line, 0), Field(line, 2), Field(line, 3)};
        Check(rows[std::size_t(i)] == cells, "each row shows fields 1, 3 and 4 of its own line");
        if (NamesThisApplication(Field(line, 1))) expected = Field(line, 1);
    }
    Check(found == expected, "found is field 2 of the last line naming this application, or empty");

    Check(window->MTraitReponse(reply) == found, "a second parse finds the same");
    Check(Shown() == rows, "a second parse shows the same rows");

    // The name part is everything up to and with the last blank.
    Check(WNewVersion::MExtractLeNom(reply) == reply.left(reply.lastIndexOf(QLatin1Char(' ')) + 1),
          "the name part ends at the last blank");
    return 0;
}
