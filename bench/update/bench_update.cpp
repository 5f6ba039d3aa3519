// The update window's list filled from a reply of 1 MiB of line ends, or of short rows, and
// painted: the time it takes, and the memory at its peak above what the process had before
// (counter "Mo_de_plus"). The bounds asked for are 0.5 s and 64 MiB.
#include "ProcessMemory.h"
#include "UpdateCheckSettings.h"
#include "WNewVersion.h"

#include <QApplication>
#include <benchmark/benchmark.h>

namespace {
void BM_ListOfOneMebibyte(benchmark::State& state, const QByteArray& row) {
    const QString reply = QString::fromLatin1(row.repeated((1 << 20) / row.size()));
    WNewVersion& w = WindowInstance<WNewVersion>();
    w.Show();
    w.MTraitReponse(QString());
    w.grab();
    ResetPeakMemory();
    const qint64 before = ResidentBytes();
    for (auto _ : state) {
        w.MTraitReponse(reply);
        w.grab();
    }
    state.counters["Mo_de_plus"] = double(PeakResidentBytes() - before) / (1 << 20);
}
BENCHMARK_CAPTURE(BM_ListOfOneMebibyte, line_ends, QByteArray("\n"))
    ->Iterations(3)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_ListOfOneMebibyte, short_rows, QByteArray("Ab--Ab 1--1--d\n"))
    ->Iterations(3)
    ->Unit(benchmark::kMillisecond);
} // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    UpdateCheckSettings settings;
    settings.longVersion = QStringLiteral("Abc Def 1.2");
    SetUpdateCheckSettingsForTests(settings);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    return 0;
}
