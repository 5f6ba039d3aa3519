#pragma once
// What the window tests share: a desktop that records instead of acting, a preferences folder of
// the test's own, the application launched and torn down the way the program does it, and the
// user's gestures on the main window.
#include "Demarrage.h"
#include "Desktop.h"
#include "FichierPreference.h"
#include "MenuBar1.h"
#include "NomFichierPref.h"
#include "Ticks.h"
#include "WKestrova.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QMap>
#include <QPainter>
#include <QPointer>
#include <QTemporaryDir>
#include <QTest>
#include <QWindow>

#include <gtest/gtest.h>

#include <cstdlib>
#include <vector>

// Records beeps, links and quits. A quit closes every window, as the real one does before it
// leaves the event loop; there is no loop to leave in a test.
class RecordingDesktop : public Desktop {
public:
    int beeps = 0;
    QStringList urls;
    std::vector<int> quits;

    void Beep() override { ++beeps; }
    void MsgBox(const QString&) override {}
    void ShowURL(const QString& address) override { urls << address; }
    void Quit(int code) override {
        quits.push_back(code);
        QApplication::closeAllWindows();
    }
};

// A preferences folder for one test, used by the store while this object lives.
class TestPreferences {
public:
    TestPreferences() { FichierPreference::mPrefChangeDossier(dir_.path()); }
    ~TestPreferences() { FichierPreference::mPrefChangeDossier(QString()); }

    QString Path() const { return QDir(dir_.path()).filePath(QString::fromLatin1(kNomFichierPref)); }

    // Writes "[-key-] value" lines.
    void Write(const QMap<QString, QString>& values) const {
        QFile file(Path());
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        for (auto it = values.cbegin(); it != values.cend(); ++it)
            file.write("[-" + it.key().toUtf8() + "-] " + it.value().toUtf8() + "\n");
    }

    QMap<QString, QString> Read() const {
        QMap<QString, QString> values;
        QFile file(Path());
        if (file.open(QIODevice::ReadOnly))
            for (const QString& line : QString::fromUtf8(file.readAll()).split(QLatin1Char('\n')))
                if (const qsizetype sep = line.indexOf(QStringLiteral("-] "));
                    line.startsWith(QStringLiteral("[-")) && sep > 0)
                    values.insert(line.mid(2, sep - 2), line.mid(sep + 3));
        return values;
    }

private:
    QTemporaryDir dir_;
};

// Deletes the windows that closed: they go at the next turn of the event loop.
inline void FlushDeletes() { QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete); }
inline void Flush() {
    FlushDeletes();
    QCoreApplication::processEvents();
}

// The application started as the program starts it, with a recording desktop; torn down as the
// program does after its event loop, unless the test did it already.
class LaunchedGame {
public:
    LaunchedGame() {
        SetDesktop(&desktop);
        LanceApplication();
    }
    ~LaunchedGame() {
        Terminate();
        SetDesktop(nullptr);
    }
    LaunchedGame(const LaunchedGame&) = delete;
    LaunchedGame& operator=(const LaunchedGame&) = delete;

    WKestrova& Main() {
        WKestrova* w = ExistingWindow<WKestrova>();
        if (!w) ADD_FAILURE() << "no main window";
        return *w;
    }
    void Terminate() {
        if (terminated_) return;
        terminated_ = true;
        TermineApplication();
        FlushDeletes();
    }

    RecordingDesktop desktop;

private:
    bool terminated_ = false;
};

class UiTest : public ::testing::Test {
protected:
    TestPreferences prefs;
};

struct TokenCount {
    int red = 0, blue = 0;
    int Total() const { return red + blue; }
};

inline TokenCount CountTokens(const UnPlateau& board) {
    TokenCount count;
    for (int c = 0; c < 7; ++c)
        for (int r = 0; r < 6; ++r) {
            count.red += board.PCase(c, r)->PRouge;
            count.blue += board.PCase(c, r)->PBleu;
        }
    return count;
}

// Where the cells lie, worked out by hand for the window sizes the tests use: each column's left
// edge, each row's top from row 5 down, and the cell's size. A cell starts one pixel past the
// margin plus whole cells of the exact width, toward zero: at 672 × 590 the margins are 22.4 and
// 22.7 and the cells 628 / 7 = 89.71 by 545 / 6 = 90.83.
struct CellGrid {
    QSize window;
    int left[7], top[6];
    QSize cell;
};
inline const CellGrid kCellGrids[] = {
    {{672, 590}, {23, 112, 202, 292, 381, 471, 561}, {23, 113, 204, 295, 386, 477}, {89, 90}},
    {{800, 693}, {27, 133, 240, 347, 453, 560, 667}, {27, 133, 240, 347, 453, 560}, {106, 106}},
    {{750, 650}, {26, 126, 226, 326, 426, 526, 626}, {26, 126, 226, 326, 426, 526}, {100, 100}},
};
inline QRect CellRect(const WKestrova& w, int column, int row) {
    for (const CellGrid& g : kCellGrids)
        if (g.window == QSize(w.Width(), w.Height()))
            return QRect(QPoint(g.left[column], g.top[5 - row]), g.cell);
    ADD_FAILURE() << "no cells worked out for " << w.Width() << " x " << w.Height();
    return {};
}

// The middle of a column's cells.
inline int ColumnX(const WKestrova& w, int column) { return CellRect(w, column, 0).center().x(); }

// A real mouse click on the board area, let through the click filter.
inline void ClickAt(WKestrova& w, int x, int y) {
    w.PTicks = std::int32_t(Ticks() - 1);
    QTest::mouseClick(w.Content(), Qt::LeftButton, Qt::NoModifier, QPoint(x, y));
}
inline void Play(WKestrova& w, const std::vector<int>& columns) {
    for (int c : columns) ClickAt(w, ColumnX(w, c), w.Height() / 2);
}

// A window in front, as when the user opens its menus or types a shortcut.
inline void Front(QWidget& w) {
    w.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&w));
}

// A choice from the menu bar, the way the menus deliver it.
inline void Choose(WKestrova& w, MenuItem* item) {
    ASSERT_TRUE(item);
    Front(w);
    item->Action()->trigger();
}

// The check marks as the menus show them once prepared: levels Fort Moyen Faible, Solo Duo,
// proportional, log, the three themes, the four backgrounds.
inline QString Marks(WKestrova& w) {
    Front(w);
    MenuBar1Instance().PrepareMenus();
    QString marks;
    for (MenuItem* item :
         {w.MnFort(), w.MnMoyen(), w.MnFaible(), w.MnSolo(), w.MnDuo(), w.MnAgrandProp(), w.MnJournal(),
          w.MNPion(0), w.MNPion(1), w.MNPion(2), w.MNFond(0), w.MNFond(1), w.MNFond(2), w.MNFond(3)})
        marks += item->Checked() ? QLatin1Char('1') : QLatin1Char('0');
    return marks;
}

// A committed picture as Qt decodes it.
inline QImage Png(int id) {
    return QImage(QStringLiteral(KESTROVA_PICTURES_DIR "/%1.png").arg(id))
        .convertToFormat(QImage::Format_ARGB32_Premultiplied);
}

// The area `from` of a picture scaled smoothly over a new, white picture of size `to`.
inline QImage Scaled(const QImage& picture, const QRect& from, const QSize& to) {
    QImage out(to, QImage::Format_ARGB32_Premultiplied);
    out.fill(Qt::white);
    QPainter p(&out);
    p.setRenderHint(QPainter::SmoothPixmapTransform, true);
    p.drawImage(QRectF(QPointF(0, 0), QSizeF(to)), picture, QRectF(from));
    return out;
}

// A window as its layout makes it: its size, then each control's place, size and text size in
// pixels (0 for the standard size), and a static text's colour, in the order the controls were made.
inline QString Layout(const Window& w) {
    QString layout = QStringLiteral("%1x%2").arg(w.Width()).arg(w.Height());
    for (const QWidget* c : w.Content()->findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly))
        layout +=
            QStringLiteral(" | %1,%2 %3x%4 %5")
                .arg(c->x())
                .arg(c->y())
                .arg(c->width())
                .arg(c->height())
                .arg(qMax(0, c->font().pixelSize())) +
            (qobject_cast<const QLabel*>(c) ? " " + c->palette().color(QPalette::WindowText).name() : "");
    return layout;
}

// How far apart two colours are: 0 to 765.
inline int ColourDistance(QRgb a, QRgb b) {
    return std::abs(qRed(a) - qRed(b)) + std::abs(qGreen(a) - qGreen(b)) + std::abs(qBlue(a) - qBlue(b));
}

// The way a window manager closes a window when its close box is clicked.
inline void CloseBox(QWidget& window) {
    ASSERT_NE(window.windowHandle(), nullptr);
    window.windowHandle()->close();
}
