// Speed of the main window's drawing and of the application's start-up.
//  - a full redraw at a constant size, against one plain blit of a window-sized image;
//  - a full redraw after a resize, which scales the background and the tokens again;
//  - a one-cell redraw, as at each step of a falling token;
//  - start-up to the first painted frame, against a bare Qt window with a menu bar, both inside
//    a running Qt application and from the start of a process;
//  - resident memory once launched, against the same bare window, each in a process of its own;
//  - a background chosen from the menu until its frame is painted;
//  - a megabyte pasted into the move log, until the log has painted it.
#include "Demarrage.h"
#include "Desktop.h"
#include "FichierPreference.h"
#include "Menu.h"
#include "MenuBar1.h"
#include "WJournal.h"
#include "WKestrova.h"

#include <QApplication>
#include <QMainWindow>
#include <QMenuBar>
#include <QPainter>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <QAction>
#include <QClipboard>
#include <QFile>
#include <QKeyEvent>
#include <QTimer>

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <memory>
#include <string_view>
#include <vector>

namespace {

// No sound, no quitting while measuring.
class QuietDesktop : public Desktop {
public:
    void Beep() override {}
    void MsgBox(const QString&) override {}
    void ShowURL(const QString&) override {}
    void Quit(int) override {}
};

// Counts the paints of one widget, to know when a window has shown its first frame.
class PaintWatch : public QObject {
public:
    QObject* watched = nullptr;
    int paints = 0;
    bool eventFilter(QObject* object, QEvent* event) override {
        if (object == watched && event->type() == QEvent::Paint) ++paints;
        return false;
    }
};

void PaintUntilShown(PaintWatch& watch) {
    while (watch.paints == 0) QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
}

void GameShown();
std::unique_ptr<QMainWindow> BareWindowShown();

// The running game, with a game in the middle; set up again after the start-up benchmark has
// torn it down.
WKestrova& Game() {
    if (!ExistingWindow<WKestrova>()) {
        LanceApplication();
        WKestrova& w = *ExistingWindow<WKestrova>();
        w._MnDuo_Action();
        for (int column : {3, 3, 2, 4, 4, 2, 1, 5, 0, 6, 3, 2}) {
            w.PTicks = std::int32_t(-1);
            w.PPlateau.MJoue(column, w.TopAJouerRouge, w.TopAJouerBleu);
            w.TopAJouerRouge = w.PPlateau.PCaseJouee->MSiBleu();
            w.TopAJouerBleu = !w.TopAJouerRouge;
        }
    }
    return *ExistingWindow<WKestrova>();
}

void SizeTo(WKestrova& w, int width, int height) {
    w.SetSize(width, height);
    QCoreApplication::processEvents();
    w.MDessin(w.GetGraphics());
}

void BM_FullRedraw(benchmark::State& state) {
    WKestrova& w = Game();
    SizeTo(w, int(state.range(0)), int(state.range(1)));
    for (auto _ : state) w.MDessin(w.GetGraphics());
}
BENCHMARK(BM_FullRedraw)->Args({672, 590})->Args({1500, 1300})->Unit(benchmark::kMicrosecond);

void BM_PlainBlit(benchmark::State& state) {
    const QSize size(int(state.range(0)), int(state.range(1)));
    QImage source(size, QImage::Format_ARGB32_Premultiplied);
    source.fill(QColor(0x40, 0x60, 0x90));
    QImage target(size, QImage::Format_ARGB32_Premultiplied);
    for (auto _ : state) {
        QPainter p(&target);
        p.drawImage(0, 0, source);
        p.end();
        benchmark::DoNotOptimize(target.constBits());
    }
}
BENCHMARK(BM_PlainBlit)->Args({672, 590})->Args({1500, 1300})->Unit(benchmark::kMicrosecond);

// Alternating between two sizes, every redraw meets a new size.
void BM_FullRedrawAfterResize(benchmark::State& state) {
    WKestrova& w = Game();
    SizeTo(w, 672, 590);
    Picture small(672, 590), large(750, 650);
    bool toLarge = true;
    for (auto _ : state) {
        w.MDessinePlateau(Graphics(toLarge ? large : small));
        toLarge = !toLarge;
    }
    w.MDessin(w.GetGraphics());
}
BENCHMARK(BM_FullRedrawAfterResize)->Unit(benchmark::kMicrosecond);

void BM_OneCellRedraw(benchmark::State& state) {
    WKestrova& w = Game();
    SizeTo(w, 672, 590);
    int cell = 0;
    for (auto _ : state) {
        w.MDessinePionSurPlateau(w.GetGraphics(), cell % 7, (cell / 7) % 6);
        ++cell;
    }
}
BENCHMARK(BM_OneCellRedraw)->Unit(benchmark::kMicrosecond);

// From nothing to the main window's first painted frame; the tear-down is not counted.
void BM_StartupToFirstFrame(benchmark::State& state) {
    // The game of the drawing benchmarks would be a second main window.
    if (ExistingWindow<WKestrova>()) TermineApplication();
    for (auto _ : state) {
        GameShown();
        state.PauseTiming();
        TermineApplication();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        state.ResumeTiming();
    }
}
BENCHMARK(BM_StartupToFirstFrame)->Unit(benchmark::kMillisecond);

// The least a Qt program with the same menus does before its first frame.
std::unique_ptr<QMainWindow> BareWindowShown() {
    auto window = std::make_unique<QMainWindow>();
    QMenuBar* bar = window->menuBar();
    for (const char* title : {"Fichier", "Niveaux", "Pions", "Fonds"}) {
        QMenu* menu = bar->addMenu(QString::fromUtf8(title));
        for (int i = 0; i < 6; ++i) menu->addAction(QStringLiteral("Item %1").arg(i));
    }
    auto* content = new QWidget;
    window->setCentralWidget(content);
    window->resize(672, 609);
    PaintWatch watch;
    watch.watched = content;
    qApp->installEventFilter(&watch);
    window->show();
    PaintUntilShown(watch);
    qApp->removeEventFilter(&watch);
    return window;
}

void GameShown() {
    LanceApplication();
    PaintWatch watch;
    watch.watched = ExistingWindow<WKestrova>()->Content();
    qApp->installEventFilter(&watch);
    PaintUntilShown(watch);
    qApp->removeEventFilter(&watch);
}

void BM_BareWindowToFirstFrame(benchmark::State& state) {
    for (auto _ : state) {
        auto window = BareWindowShown();
        state.PauseTiming();
        window.reset();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        state.ResumeTiming();
    }
}
BENCHMARK(BM_BareWindowToFirstFrame)->Unit(benchmark::kMillisecond);

// A background chosen from the menu, as the menu delivers it, until the window has painted it.
// The menus are prepared first, as when the "Fonds" menu opens.
void BM_BackgroundChoiceToFrame(benchmark::State& state) {
    WKestrova& w = Game();
    SizeTo(w, 672, 590);
    MenuBar1Instance().PrepareMenus();
    QCoreApplication::processEvents();
    int background = w.PNoDeFond;
    PaintWatch watch;
    watch.watched = w.Content();
    qApp->installEventFilter(&watch);
    for (auto _ : state) {
        background = (background + 1) % 4;
        watch.paints = 0;
        w.MNFond(background)->Action()->trigger();
        PaintUntilShown(watch);
    }
    qApp->removeEventFilter(&watch);
}
BENCHMARK(BM_BackgroundChoiceToFrame)->Unit(benchmark::kMillisecond);

// Ctrl+V in the move log with 1 MiB on the clipboard, until the field has painted it: the time
// the event loop is held. Pasted as one line without a break opportunity (a run of letters), as
// one line of words, or as lines of 64 characters.
void BM_PasteIntoTheLog(benchmark::State& state) {
    WKestrova& w = Game();
    if (!w.PJournal) w.mJournal();
    ChampTexte& field = *ExistingWindow<WJournal>()->ChText;
    const QString word =
        state.range(0) == 0 ? QStringLiteral("abcdefghijklmnopqrstuvwxyz") : QStringLiteral("jeton rouge ");
    QString text;
    for (int i = 0; text.size() < (1 << 20); ++i)
        text += state.range(0) == 2 && i % 8 == 7 ? QStringLiteral("colonne\n") : word;
    text.truncate(1 << 20);
    QGuiApplication::clipboard()->setText(text);
    PaintWatch watch;
    watch.watched = field.viewport();
    qApp->installEventFilter(&watch);
    for (auto _ : state) {
        state.PauseTiming();
        field.SetText(w.PPlateau.PJournal);
        QCoreApplication::processEvents();
        watch.paints = 0;
        state.ResumeTiming();
        QKeyEvent press(QEvent::KeyPress, Qt::Key_V, Qt::ControlModifier);
        QKeyEvent release(QEvent::KeyRelease, Qt::Key_V, Qt::ControlModifier);
        QCoreApplication::sendEvent(&field, &press);
        QCoreApplication::sendEvent(&field, &release);
        PaintUntilShown(watch);
    }
    qApp->removeEventFilter(&watch);
    if (field.Text() != QString::fromStdString(w.PPlateau.PJournal) + text)
        state.SkipWithError("paste incomplete");
    field.SetText(w.PPlateau.PJournal);
}
BENCHMARK(BM_PasteIntoTheLog)
    ->ArgName("unbroken_words_lines")
    ->DenseRange(0, 2)
    ->Unit(benchmark::kMillisecond);

// The same two from the start of a process, as a user sees them: this program run again in a
// mode that shows one of them and reports when its first frame was painted, or, in the second
// mode, how much memory it holds once settled.
constexpr const char* kFirstFrameMode = "--first-frame-of=";
constexpr const char* kMemoryMode = "--memory-of=";
// How long a launched program runs before its memory is read.
constexpr int kSettleMs = 3000;

std::int64_t MonotonicNs() {
    return std::chrono::duration_cast<std::chrono::nanoseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

struct ChildRun {
    bool ok = false;
    double firstFrameMs = 0; // process start to first painted frame
    double exitMs = 0;       // process start to its end
    double residentMB = 0;
};

// Runs this program in one of the modes; the child prints one number on its standard output.
ChildRun RunChild(const char* mode, const char* what) {
    const bool memory = mode == std::string_view(kMemoryMode);
    ChildRun run;
    QProcess child;
    const std::int64_t start = MonotonicNs();
    child.start(QCoreApplication::applicationFilePath(), {QString::fromLatin1(mode) + QLatin1String(what)});
    if (!child.waitForFinished(30000) || child.exitStatus() != QProcess::NormalExit || child.exitCode() != 0)
        return run;
    run.exitMs = double(MonotonicNs() - start) / 1e6;
    bool number = false;
    const qint64 value = child.readAllStandardOutput().trimmed().toLongLong(&number);
    if (!number) return run;
    if (memory)
        run.residentMB = double(value) / 1024.0;
    else
        run.firstFrameMs = double(value - start) / 1e6;
    run.ok = true;
    return run;
}

double Median(std::vector<double> values) {
    if (values.empty()) return 0;
    std::sort(values.begin(), values.end());
    const std::size_t n = values.size();
    return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

// The time reported is from the start of the process to its first painted frame; the tear-down
// is left out, and shown apart as `to_exit_ms`.
void BM_ProcessToFirstFrame(benchmark::State& state, const char* what) {
    std::vector<double> exits;
    for (auto _ : state) {
        const ChildRun run = RunChild(kFirstFrameMode, what);
        if (!run.ok) {
            state.SkipWithError("the child did not show its frame");
            break;
        }
        state.SetIterationTime(run.firstFrameMs / 1000.0);
        exits.push_back(run.exitMs);
    }
    state.counters["to_exit_ms"] = Median(exits);
}
BENCHMARK_CAPTURE(BM_ProcessToFirstFrame, game, "game")->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_ProcessToFirstFrame, bare, "bare")->UseManualTime()->Unit(benchmark::kMillisecond);

// Both launched in turn, so that a change of load on the machine falls on both alike: the ratio
// of the medians of their first-frame times.
void BM_StartupAgainstBareWindow(benchmark::State& state) {
    std::vector<double> game, bare;
    for (auto _ : state) {
        const ChildRun b = RunChild(kFirstFrameMode, "bare");
        const ChildRun g = RunChild(kFirstFrameMode, "game");
        if (!b.ok || !g.ok) {
            state.SkipWithError("a child did not show its frame");
            break;
        }
        bare.push_back(b.firstFrameMs);
        game.push_back(g.firstFrameMs);
    }
    state.counters["game_ms"] = Median(game);
    state.counters["bare_ms"] = Median(bare);
    state.counters["ratio"] = Median(bare) > 0 ? Median(game) / Median(bare) : 0;
}
BENCHMARK(BM_StartupAgainstBareWindow)->Iterations(31)->Unit(benchmark::kMillisecond);

// Resident memory of each, launched at 672 x 590 and left running for a while; "game_menus"
// also prepares the menus once, as the first opening of a menu does, and chooses each background
// in turn before the one it started with.
void BM_ResidentMemoryAgainstBareWindow(benchmark::State& state) {
    std::vector<double> game, bare, gameMenus;
    for (auto _ : state) {
        const ChildRun b = RunChild(kMemoryMode, "bare");
        const ChildRun g = RunChild(kMemoryMode, "game");
        const ChildRun m = RunChild(kMemoryMode, "game-menus");
        if (!b.ok || !g.ok || !m.ok) {
            state.SkipWithError("a child did not report its memory");
            break;
        }
        bare.push_back(b.residentMB);
        game.push_back(g.residentMB);
        gameMenus.push_back(m.residentMB);
    }
    state.counters["bare_MB"] = Median(bare);
    state.counters["game_MB"] = Median(game);
    state.counters["game_menus_MB"] = Median(gameMenus);
    state.counters["above_bare_MB"] = Median(game) - Median(bare);
    state.counters["menus_above_bare_MB"] = Median(gameMenus) - Median(bare);
}
BENCHMARK(BM_ResidentMemoryAgainstBareWindow)->Iterations(2)->Unit(benchmark::kSecond);

// Resident memory of this process, in kB.
long ResidentKB() {
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly)) return 0;
    for (const QByteArray& line : status.readAll().split('\n'))
        if (line.startsWith("VmRSS:")) return line.mid(6).trimmed().split(' ').value(0).toLong();
    return 0;
}

void Settle() {
    QEventLoop loop;
    QTimer::singleShot(kSettleMs, &loop, &QEventLoop::quit);
    loop.exec();
}

// The child's side: show one of the two, print what was asked for.
int RunAsChild(const QByteArray& argument) {
    const bool memory = argument.startsWith(kMemoryMode);
    const QByteArray what = argument.mid(int(std::strlen(memory ? kMemoryMode : kFirstFrameMode)));
    std::unique_ptr<QMainWindow> bare;
    if (what.startsWith("game"))
        GameShown();
    else
        bare = BareWindowShown();
    if (!memory) {
        std::printf("%lld\n", static_cast<long long>(MonotonicNs()));
    } else {
        if (what == "game-menus") {
            MenuBar1Instance().PrepareMenus();
            WKestrova& w = *ExistingWindow<WKestrova>();
            const int shown = w.PNoDeFond;
            for (int i = 1; i <= 4; ++i) {
                w.MNFond((shown + i) % 4)->Action()->trigger();
                QCoreApplication::processEvents();
            }
        }
        Settle();
        std::printf("%ld\n", ResidentKB());
    }
    std::fflush(stdout);
    bare.reset();
    if (ExistingWindow<WKestrova>()) TermineApplication();
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QStandardPaths::setTestModeEnabled(true);
    QApplication app(argc, argv);
    // The user's settings are neither read nor changed.
    QTemporaryDir preferences;
    FichierPreference::mPrefChangeDossier(preferences.path());
    QuietDesktop desktop;
    SetDesktop(&desktop);

    if (argc == 2 &&
        (QByteArray(argv[1]).startsWith(kFirstFrameMode) || QByteArray(argv[1]).startsWith(kMemoryMode))) {
        const int status = RunAsChild(QByteArray(argv[1]));
        SetDesktop(nullptr);
        return status;
    }

    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    if (ExistingWindow<WKestrova>()) TermineApplication();
    SetDesktop(nullptr);
    return 0;
}
