// Speed of the main window's drawing and of the application's start-up.
//  - a full redraw at a constant size, against one plain blit of a window-sized image;
//  - a full redraw after a resize, which scales the background and the tokens again;
//  - a one-cell redraw, as at each step of a falling token;
//  - start-up to the first painted frame, against a bare Qt window with a menu bar, both inside
//    a running Qt application and from the start of a process.
#include "Demarrage.h"
#include "Desktop.h"
#include "FichierPreference.h"
#include "WKestrova.h"

#include <QApplication>
#include <QMainWindow>
#include <QMenuBar>
#include <QPainter>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <memory>

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

// The running game, set up once for the drawing benchmarks, with a game in the middle.
WKestrova& Game() {
    static bool launched = false;
    if (!launched) {
        launched = true;
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

// The same two from the start of a process, as a user sees them: this program run again in a
// mode that shows one of them and ends at its first frame.
constexpr const char* kChildMode = "--first-frame-of=";

void BM_ProcessToFirstFrame(benchmark::State& state, const char* what) {
    for (auto _ : state) {
        QProcess child;
        child.start(QCoreApplication::applicationFilePath(), {QString::fromLatin1(kChildMode) + QLatin1String(what)});
        if (!child.waitForFinished(30000) || child.exitCode() != 0) {
            state.SkipWithError("the child did not show its frame");
            break;
        }
    }
}
BENCHMARK_CAPTURE(BM_ProcessToFirstFrame, game, "game")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_ProcessToFirstFrame, bare, "bare")->Unit(benchmark::kMillisecond);

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

    if (argc == 2 && QByteArray(argv[1]).startsWith(kChildMode)) {
        if (QByteArray(argv[1]).endsWith("game")) {
            GameShown();
            TermineApplication();
        } else {
            BareWindowShown();
        }
        SetDesktop(nullptr);
        return 0;
    }

    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    if (ExistingWindow<WKestrova>()) TermineApplication();
    SetDesktop(nullptr);
    return 0;
}
