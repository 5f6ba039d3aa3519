#pragma once
// What the window tests share: a desktop that records instead of acting, a preferences folder of
// the test's own, and the application launched and torn down the way the program does it.
#include "Demarrage.h"
#include "Desktop.h"
#include "FichierPreference.h"
#include "Ticks.h"
#include "WKestrova.h"

#include <QApplication>
#include <QByteArray>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QMap>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

#include <vector>

// Records beeps, messages, links and quits. A quit closes every window, as the real one does
// before it leaves the event loop; there is no loop to leave in a test.
class RecordingDesktop : public Desktop {
public:
    int beeps = 0;
    QStringList messages;
    QStringList urls;
    std::vector<int> quits;

    void Beep() override { ++beeps; }
    void MsgBox(const QString& text) override { messages << text; }
    void ShowURL(const QString& address) override { urls << address; }
    void Quit(int code) override {
        quits.push_back(code);
        QApplication::closeAllWindows();
    }
};

inline const QString kPrefFile = QStringLiteral("Talvo.Kestrova.Pref");

// A preferences folder for one test, used by the store while this object lives.
class TestPreferences {
public:
    TestPreferences() { FichierPreference::mPrefChangeDossier(dir_.path()); }
    ~TestPreferences() { FichierPreference::mPrefChangeDossier(QString()); }
    TestPreferences(const TestPreferences&) = delete;
    TestPreferences& operator=(const TestPreferences&) = delete;

    QString Path() const { return QDir(dir_.path()).filePath(kPrefFile); }
    bool Exists() const { return QFile::exists(Path()); }

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
        if (!file.open(QIODevice::ReadOnly)) return values;
        for (const QByteArray& raw : file.readAll().split('\n')) {
            const QString line = QString::fromUtf8(raw);
            const qsizetype sep = line.indexOf(QStringLiteral("-] "));
            if (line.startsWith(QStringLiteral("[-")) && sep > 0) values.insert(line.mid(2, sep - 2), line.mid(sep + 3));
        }
        return values;
    }

private:
    QTemporaryDir dir_;
};

// Deletes the windows that closed: they go at the next turn of the event loop.
inline void FlushDeletes() { QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete); }

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

// Counts the tokens of each colour on the board.
struct TokenCount {
    int red = 0;
    int blue = 0;
    int Total() const { return red + blue; }
};

inline TokenCount CountTokens(const UnPlateau& board) {
    TokenCount count;
    for (int c = 0; c < 7; ++c)
        for (int r = 0; r < 6; ++r) {
            if (board.PCase(c, r)->PRouge) ++count.red;
            if (board.PCase(c, r)->PBleu) ++count.blue;
        }
    return count;
}

// A real mouse click on the board area, let through the click filter.
inline void ClickAt(WKestrova& w, int x, int y) {
    w.PTicks = std::int32_t(Ticks() - 1);
    QTest::mouseClick(w.Content(), Qt::LeftButton, Qt::NoModifier, QPoint(x, y));
}

// The middle of a column, as the last full redraw placed it.
inline int ColumnX(const WKestrova& w, int column) { return w.PRetraitFondX + column * w.PLarg + w.PLarg / 2; }
