#include "CheckTraces.h"
#include "LocalHttpServer.h"
#include "ProcessMemory.h"

#include "Desktop.h"
#include "MdNewVersion.h"
#include "UpdateCheckSettings.h"
#include "WNewVersion.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QTreeView>
#include <gtest/gtest.h>
#include <qpa/qwindowsysteminterface.h>
#include <vector>

using namespace std::chrono_literals;

namespace {
const QString kLatest = QStringLiteral("VOUS AVEZ LA DERNIERE VERSION !");
const QString kNew = QStringLiteral("UNE NOUVELLE VERSION EST DISPONIBLE : \nAbc Def 1.3");
const QString kProblem = QStringLiteral("PROBLEME DE CONNEXION ! ");
const QString kWaiting = QStringLiteral("CONTROLE INTERNET EN ATTENTE DE REPONSE !");
const QColor kRed(255, 0, 0);
const QColor kBlack(0, 0, 0);
using Mode = LocalHttpServer::Mode;

class LinkDesktop : public Desktop {
public:
    QStringList urls;
    void ShowURL(const QString& address) override { urls << address; }
};

void DestroyClosedWindows() { QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete); }

class UpdateCheck : public ::testing::Test {
protected:
    LocalHttpServer server;
    LinkDesktop desktop;

    void SetUp() override {
        ASSERT_TRUE(server.isListening());
        Configure(5s);
        SetDesktop(&desktop);
    }
    void TearDown() override {
        if (WNewVersion* w = ExistingWindow<WNewVersion>()) w->Close();
        DestroyClosedWindows();
        SetUpdateCheckSettingsForTests(UpdateCheckSettings());
        SetDesktop(nullptr);
    }
    // The whole check gives up after four idle times.
    void Configure(std::chrono::milliseconds idle,
                   const QString& longVersion = QStringLiteral("Abc Def 1.2")) {
        UpdateCheckSettings settings;
        settings.host = QStringLiteral("127.0.0.1");
        settings.port = server.Port();
        settings.idleTimeout = idle;
        settings.totalLimit = 4 * idle;
        settings.longVersion = longVersion;
        SetUpdateCheckSettingsForTests(settings);
    }
    // One check from the menu against the server's current behaviour.
    WNewVersion& Check(const QByteArray& body = {}) {
        if (!body.isEmpty()) server.response = LocalHttpServer::Ok(body);
        MdNewVersion::MdNewVersionOuvre();
        WNewVersion* w = ExistingWindow<WNewVersion>();
        EXPECT_NE(w, nullptr);
        return *w;
    }
    // The rows as the list lays them out, top to bottom: rows its model did not announce are not there.
    static QString Rows(const WNewVersion& w) {
        const QTreeView& view = *w.LBApplic;
        QStringList rows;
        for (QModelIndex row = view.indexAt(QPoint(0, 0)); row.isValid(); row = view.indexBelow(row)) {
            QStringList cells;
            for (const int column : {0, 1, 2}) cells << row.siblingAtColumn(column).data().toString();
            rows << cells.join('|');
        }
        return rows.join(';');
    }
    static QColor Colour(const WNewVersion& w) { return w.ChMess->palette().color(QPalette::WindowText); }
};

TEST_F(UpdateCheck, WorkedExamplesThroughALocalServer) {
    struct Case {
        const char* name;
        QByteArray body;
        QString message;
        QString rows; // cells split by "|", rows by ";"
        QString longVersion = QStringLiteral("Abc Def 1.2");
        QByteArray status = "200 OK";
    };
    const QString three = "Abc|1.2|d1;Xyz|3|d2;Qrs|4|d3";
    const std::vector<Case> cases = {
        {"same version", "Abc--Abc Def 1.2--1.2--2008-01-01", kLatest, "Abc|1.2|2008-01-01"},
        {"newer version", "Abc--Abc Def 1.3--1.3--2008-01-01", kNew, "Abc|1.3|2008-01-01"},
        {"1.20 is not 1.2", "Abc--Abc Def 1.20--1.20--d", QString(kNew).replace("1.3", "1.20"), "Abc|1.20|d"},
        {"later line decides", "Abc--Abc Def 1.3--1.3--d1\r\nAbc--Abc Def 1.2--1.2--d2", kLatest,
         "Abc|1.3|d1;Abc|1.2|d2"},
        {"later line decides", "Abc--Abc Def 1.2--1.2--d2\nAbc--Abc Def 1.3--1.3--d1", kNew,
         "Abc|1.2|d2;Abc|1.3|d1"},
        {"CR LF", "Abc--Abc Def 1.2--1.2--d1\r\nXyz--X 3--3--d2\r\nQrs--Q 4--4--d3\r\n", kLatest, three},
        {"LF", "Abc--Abc Def 1.2--1.2--d1\nXyz--X 3--3--d2\nQrs--Q 4--4--d3", kLatest, three},
        {"CR and mixed", "Abc--Abc Def 1.2--1.2--d1\rXyz--X 3--3--d2\nQrs--Q 4--4--d3\r", kLatest, three},
        {"short lines", "Xyz--Xyz 2.0\nAbc\n\nQrs--Q 1--1", kProblem, "Xyz||;Abc||;||;Qrs|1|"},
        {"empty reply", "", kProblem, ""},
        {"without this application", "Xyz--Xyz Def 1.2--1.2--d\r\nAbcD--Abc Deff 1.2--1.2--d", kProblem,
         "Xyz|1.2|d;AbcD|1.2|d"},
        // The whole name counts, not its first word.
        {"another second word", "Ab--Ab Cd 1.2--1.2--d", kProblem, "Ab|1.2|d",
         QStringLiteral("Ab Cdefg 1.2")},
        {"name shorter than 5", "Ab--Ab 2.0--2.0--d", kProblem, "Ab|2.0|d", QStringLiteral("Ab 1.2")},
        // Five characters are compared, so a short name's blank and first figure count.
        {"name and blank of 4", "Abc--Abc 2.0--2.0--d", kProblem, "Abc|2.0|d", QStringLiteral("Abc 1.2")},
        {"accents", "Éèà--Éèà Ç 1.2--1.2--été", kLatest, "Éèà|1.2|été", QStringLiteral("Éèà Ç 1.2")},
        {"error page", "<html>absent</html>", kProblem, "<html>absent</html>||", "Abc Def 1.2",
         "404 Not Found"},
        // A redirect is not followed: the count of requests below shows nothing else was asked.
        {"redirect", "ailleurs", kProblem, "ailleurs||", "Abc Def 1.2",
         "302 Found\r\nLocation: http://www.talvo.example/"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Configure(5s, c.longVersion);
        server.response = LocalHttpServer::Ok(c.body, c.status);
        WNewVersion& w = Check();
        EXPECT_EQ(w.ChMess->text(), c.message);
        EXPECT_EQ(Colour(w), c.message.startsWith("UNE") ? kRed : kBlack);
        EXPECT_EQ(Rows(w), c.rows);
        EXPECT_TRUE(w.BtNewEssai->isEnabled());
        EXPECT_TRUE(w.isVisible());
    }
    // The headings, and widths of 48, 20 and 33 % of the list's 370 pixels, its frame aside.
    const QTreeView& list = *ExistingWindow<WNewVersion>()->LBApplic;
    for (const int column : {0, 1, 2}) {
        EXPECT_EQ(list.model()->headerData(column, Qt::Horizontal).toString(),
                  QStringList({"Application", "Version", "Date"})[column]);
        EXPECT_NEAR(list.columnWidth(column), (std::vector{177, 74, 122})[column], 3);
    }
    // Asked of the web site's port 80, waited for 15 seconds without new data.
    EXPECT_EQ(UpdateCheckSettings().port, 80);
    EXPECT_EQ(UpdateCheckSettings().idleTimeout, 15s);
    // One window served every check.
    EXPECT_EQ(server.requests.size(), qsizetype(cases.size()));
    EXPECT_EQ(WNewVersion::MExtractLeNom("A B C"), "A B ");
    EXPECT_EQ(WNewVersion::MExtractLeNom("Abc"), "");
    EXPECT_TRUE(server.requests.front().startsWith("GET /Zentrafor/Telecharg/TalvoVersion.txt HTTP/1.1\r\n"));
}

TEST_F(UpdateCheck, DuringTheWaitTheMessageSaysSoAndTheMenuRunsANewerCheckWhoseResultStays) {
    Check("Abc--Abc Def 1.3--1.3--d"); // red, until the next check starts
    Configure(2s);
    server.mode = Mode::Silent;
    server.response = LocalHttpServer::Ok("Abc--Abc Def 1.2--1.2--d");
    bool looked = false;
    QLineEdit elsewhere; // the rest of the program, which a key typed during the wait reaches
    elsewhere.show();
    QTimer::singleShot(100, [&] {
        QWindowSystemInterface::handleKeyEvent<QWindowSystemInterface::AsynchronousDelivery>(
            elsewhere.windowHandle(), QEvent::KeyPress, Qt::Key_A, Qt::NoModifier, QStringLiteral("a"));
        WNewVersion* w = ExistingWindow<WNewVersion>();
        ASSERT_NE(w, nullptr);
        EXPECT_EQ(w->ChMess->text(), kWaiting);
        EXPECT_EQ(Colour(*w), kBlack);
        EXPECT_FALSE(w->BtNewEssai->isEnabled());
        server.mode = Mode::Reply; // for the inner check only: the outer request has come
        MdNewVersion::MdNewVersionOuvre();
        EXPECT_EQ(w->ChMess->text(), kLatest);
        EXPECT_EQ(elsewhere.text(), "a");
        looked = true;
    });
    QElapsedTimer clock;
    clock.start();
    WNewVersion& w = Check();
    EXPECT_TRUE(looked);
    // The newer check closed the older one, which ended without touching the window.
    EXPECT_LT(clock.elapsed(), 1500);
    EXPECT_EQ(w.ChMess->text(), kLatest);
    EXPECT_EQ(Rows(w), "Abc|1.2|d");
    EXPECT_TRUE(w.BtNewEssai->isEnabled());
}

TEST_F(UpdateCheck, TheButtonsRunANewCheckAndOpenTheDownloadPageAndTheHiddenWindowCloses) {
    WNewVersion& w = Check("Abc--Abc Def 1.2--1.2--d");
    ASSERT_EQ(w.ChMess->text(), kLatest);
    EXPECT_EQ(w.ChApplic->text(), "Abc Def 1.2"); // the running long version
    server.response = LocalHttpServer::Ok("Abc--Abc Def 1.3--1.3--d");
    QTest::mouseClick(w.BtNewEssai, Qt::LeftButton);
    QCoreApplication::processEvents(); // the check runs from the event loop
    EXPECT_EQ(server.requests.size(), 2);
    EXPECT_EQ(w.ChMess->text(), kNew);
    QTest::mouseClick(w.BtPageTelech, Qt::LeftButton);
    EXPECT_EQ(desktop.urls, QStringList{"http://www.talvo.example/Zentrafor"});
    // Twenty seconds after it opened, the window closes if it is hidden.
    QPointer<WNewVersion> window = &w;
    EXPECT_TRUE(window->Timer1->isSingleShot());
    EXPECT_NEAR(window->Timer1->remainingTime(), 20000, 1000);
    for (const bool shown : {true, false}) {
        window->setVisible(shown);
        window->Timer1->start(0); // as if the time had come
        QTest::qWait(20);
        DestroyClosedWindows();
        EXPECT_EQ(window.isNull(), !shown);
    }
}

TEST_F(UpdateCheck, ClosingTheWindowDuringTheWaitEndsEveryCheckSilently) {
    Configure(60s); // only the close can end these waits
    server.mode = Mode::Silent;
    QPointer<WNewVersion> first;
    QTimer::singleShot(100, [&] {
        first = ExistingWindow<WNewVersion>();
        QTimer::singleShot(100, [] { ExistingWindow<WNewVersion>()->Close(); });
        MdNewVersion::MdNewVersionOuvre(); // a second check, inside the first
    });
    QElapsedTimer clock;
    clock.start();
    MdNewVersion::MdNewVersionOuvre();
    EXPECT_LT(clock.elapsed(), 30000); // the close ended them, long before their time
    DestroyClosedWindows();
    EXPECT_EQ(server.requests.size(), 2);
    EXPECT_TRUE(first.isNull());
    EXPECT_EQ(ExistingWindow<WNewVersion>(), nullptr);

    // The next menu choice makes a new window and checks again.
    Configure(5s);
    server.mode = Mode::Reply;
    EXPECT_EQ(Check("Abc--Abc Def 1.2--1.2--d").ChMess->text(), kLatest);
}

TEST_F(UpdateCheck, HostileServersEndTheCheckAtOnceAndLeaveNothingBehind) {
    const QByteArray head = "HTTP/1.1 200 OK\r\n", chunked = head + "Transfer-Encoding: chunked\r\n\r\n";
    const QByteArray line = "Abc--Abc Def 1.3--1.3--d\n";
    // Long waits: only a bound can end these checks within the idle time, however slow the machine.
    Configure(30s);
    const UpdateCheckSettings settings = CurrentUpdateCheckSettings();

    // A well-formed chunked reply counts; it also makes the window and pays every first-use cost
    // before the counting starts.
    server.response = chunked + QByteArray::number(line.size(), 16) + ";x=y\r\n" + line + "\r\n0\r\n\r\n";
    ASSERT_EQ(Check().ChMess->text(), kNew);

    // The response, what is sent after it for as long as the peer takes it, and a reset at its end.
    const std::vector<std::tuple<const char*, QByteArray, QByteArray, bool>> cases = {
        {"closes at once", {}, {}, false},
        // A valid line comes first and the rest never does: a partial reply must not count.
        {"stops half-way", head + "Content-Length: 500\r\n\r\n" + line, {}, false},
        {"endless header line", head + "X-Long: ", QByteArray(16384, 'a'), false},
        {"endless list of headers", head, QByteArray("X-A: b\r\n").repeated(2048), false},
        {"endless chunk extension", chunked + "5;ext=", QByteArray(16384, 'e'), false},
        {"huge chunk size", chunked + "7FFFFFFFFFFFFFFF\r\n", QByteArray(16384, 'd'), false},
        {"endless chunks", chunked, "4000\r\n" + QByteArray(0x4000, 'd') + "\r\n", false},
        {"endless body without a length", head + "\r\n" + line, QByteArray(16384, 'd'), false},
        // Valid lines, then a reset in the middle of a line: the cut reply must not count.
        {"reset mid-line", head + "Connection: close\r\n\r\n" + line + line + "Abc--Abc De", {}, true},
        {"chunked, reset mid-line", chunked + "1a\r\n" + line + "\r\n6\r\nAbc--A", {}, true},
    };
    for (const auto& [name, response, filler, reset] : cases) {
        SCOPED_TRACE(name);
        server.response = response;
        server.filler = filler;
        server.reset = reset;
        const int threads = ThreadCount();
        const qint64 resident = ResidentBytes();
        ResetPeakMemory();
        const qint64 peakBefore = PeakResidentBytes();
        QElapsedTimer clock;
        clock.start();
        ObjectCensus census;
        WNewVersion& w = Check();
        EXPECT_LT(PeakResidentBytes() - std::max(resident, peakBefore),
                  settings.maxReplyBytes + (qint64(8) << 20));
        EXPECT_EQ(w.ChMess->text(), kProblem);
        EXPECT_EQ(Rows(w), QString());
        EXPECT_TRUE(w.BtNewEssai->isEnabled());
        EXPECT_EQ(census.WorkingObjectsAlive(&server), 0);
        // A bound, not a wait, ends each of these: the peers never fall silent.
        EXPECT_LT(clock.elapsed(), qint64(settings.idleTimeout.count()));
        EXPECT_LE(ThreadCount(), threads); // idle pool threads of earlier work may end meanwhile
        EXPECT_EQ(OpenSocketsTo(server.Port()), 0);
    }
}

} // namespace
