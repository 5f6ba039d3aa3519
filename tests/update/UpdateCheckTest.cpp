#include "LocalHttpServer.h"

#include "Desktop.h"
#include "MdNewVersion.h"
#include "UpdateCheckSettings.h"
#include "WNewVersion.h"

#include <QCoreApplication>
#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QTreeWidget>
#include <array>
#include <gtest/gtest.h>
#include <vector>

using namespace std::chrono_literals;

namespace {
const QString kLatest = QStringLiteral("VOUS AVEZ LA DERNIERE VERSION !");
const QString kNewPrefix = QStringLiteral("UNE NOUVELLE VERSION EST DISPONIBLE : \n");
const QString kProblem = QStringLiteral("PROBLEME DE CONNEXION ! ");
const QString kWaiting = QStringLiteral("CONTROLE INTERNET EN ATTENTE DE REPONSE !");
const QColor kRed(255, 0, 0);
const QColor kBlack(0, 0, 0);

using Row = std::array<QString, 3>;

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
        Configure(QStringLiteral("Abc Def 1.2"), 5s, 20s);
        SetDesktop(&desktop);
    }

    void TearDown() override {
        if (WNewVersion* w = ExistingWindow<WNewVersion>()) w->Close();
        DestroyClosedWindows();
        SetUpdateCheckSettingsForTests(UpdateCheckSettings());
        SetDesktop(nullptr);
    }

    void Configure(const QString& longVersion, std::chrono::milliseconds idle, std::chrono::milliseconds total) {
        UpdateCheckSettings settings;
        settings.host = QStringLiteral("127.0.0.1");
        settings.port = server.Port();
        settings.idleTimeout = idle;
        settings.totalLimit = total;
        settings.longVersion = longVersion;
        SetUpdateCheckSettingsForTests(settings);
    }

    // One check from the menu against the server's current behaviour.
    WNewVersion& Check() {
        MdNewVersion::MdNewVersionOuvre();
        WNewVersion* w = ExistingWindow<WNewVersion>();
        EXPECT_NE(w, nullptr);
        return *w;
    }

    WNewVersion& Check(const QByteArray& body) {
        server.mode = LocalHttpServer::Mode::Reply;
        server.response = LocalHttpServer::Ok(body);
        return Check();
    }

    static std::vector<Row> Rows(const WNewVersion& w) {
        std::vector<Row> rows;
        for (int i = 0; i < w.LBApplic->topLevelItemCount(); ++i) {
            const QTreeWidgetItem* item = w.LBApplic->topLevelItem(i);
            rows.push_back({item->text(0), item->text(1), item->text(2)});
        }
        return rows;
    }

    static QColor MessageColour(const WNewVersion& w) { return w.ChMess->palette().color(QPalette::WindowText); }
};

TEST_F(UpdateCheck, WorkedExamplesThroughALocalServer) {
    struct Case {
        const char* name;
        QString longVersion;
        QByteArray body;
        QString message;
        QColor colour;
        std::vector<Row> rows;
        QByteArray status = "200 OK";
    };
    const QString abc = QStringLiteral("Abc Def 1.2");
    const std::vector<Case> cases = {
        {"same version", abc, "Abc--Abc Def 1.2--1.2--2008-01-01", kLatest, kBlack, {{"Abc", "1.2", "2008-01-01"}}},
        {"newer version", abc, "Abc--Abc Def 1.3--1.3--2008-01-01", kNewPrefix + "Abc Def 1.3", kRed,
         {{"Abc", "1.3", "2008-01-01"}}},
        {"the later line decides (same)", abc, "Abc--Abc Def 1.3--1.3--d1\r\nAbc--Abc Def 1.2--1.2--d2", kLatest,
         kBlack, {{"Abc", "1.3", "d1"}, {"Abc", "1.2", "d2"}}},
        {"the later line decides (new)", abc, "Abc--Abc Def 1.2--1.2--d2\nAbc--Abc Def 1.3--1.3--d1",
         kNewPrefix + "Abc Def 1.3", kRed, {{"Abc", "1.2", "d2"}, {"Abc", "1.3", "d1"}}},
        {"short lines", abc, "Xyz--Xyz 2.0\nAbc\n\nQrs--Q 1--1", kProblem, kBlack,
         {{"Xyz", "", ""}, {"Abc", "", ""}, {"", "", ""}, {"Qrs", "1", ""}}},
        {"empty reply", abc, "", kProblem, kBlack, {}},
        {"without this application", abc, "Xyz--Xyz Def 1.2--1.2--d\r\nAbcD--Abc Deff 1.2--1.2--d", kProblem,
         kBlack, {{"Xyz", "1.2", "d"}, {"AbcD", "1.2", "d"}}},
        {"name shorter than 5 characters", QStringLiteral("Ab 1.2"), "Ab--Ab 2.0--2.0--d", kProblem, kBlack,
         {{"Ab", "2.0", "d"}}},
        {"accented names", QStringLiteral("Éèà Ç 1.2"), "Éèà--Éèà Ç 1.2--1.2--été", kLatest, kBlack,
         {{"Éèà", "1.2", "été"}}},
        {"error page", abc, "<html>absent</html>", kProblem, kBlack, {{"<html>absent</html>", "", ""}},
         "404 Not Found"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Configure(c.longVersion, 5s, 20s);
        server.response = LocalHttpServer::Ok(c.body, c.status);
        WNewVersion& w = Check();
        EXPECT_EQ(w.ChMess->text(), c.message);
        EXPECT_EQ(MessageColour(w), c.colour);
        EXPECT_EQ(Rows(w), c.rows);
        EXPECT_TRUE(w.BtNewEssai->isEnabled());
        EXPECT_TRUE(w.isVisible());
    }
    // One window served every check.
    EXPECT_EQ(server.requests.size(), qsizetype(cases.size()));
    EXPECT_TRUE(server.requests.front().startsWith("GET /Zentrafor/Telecharg/TalvoVersion.txt HTTP/1.1\r\n"));
}

TEST_F(UpdateCheck, LineEndsOfEveryKindFillTheSameRows) {
    const std::vector<Row> expected = {{"Abc", "1.2", "d1"}, {"Xyz", "3", "d2"}, {"Qrs", "4", "d3"}};
    for (const char* body : {"Abc--Abc Def 1.2--1.2--d1\r\nXyz--X 3--3--d2\r\nQrs--Q 4--4--d3\r\n",
                             "Abc--Abc Def 1.2--1.2--d1\nXyz--X 3--3--d2\nQrs--Q 4--4--d3",
                             "Abc--Abc Def 1.2--1.2--d1\rXyz--X 3--3--d2\nQrs--Q 4--4--d3\r"}) {
        SCOPED_TRACE(body);
        WNewVersion& w = Check(body);
        EXPECT_EQ(Rows(w), expected);
        EXPECT_EQ(w.ChMess->text(), kLatest);
    }
}

TEST_F(UpdateCheck, ExtractsTheNamePartOfALongVersion) {
    EXPECT_EQ(WNewVersion::MExtractLeNom(QStringLiteral("Abc")), QString());
    EXPECT_EQ(WNewVersion::MExtractLeNom(QStringLiteral("A B C")), QStringLiteral("A B "));
    EXPECT_EQ(WNewVersion::MExtractLeNom(QStringLiteral("Abc Def 1.2")), QStringLiteral("Abc Def "));
    EXPECT_EQ(WNewVersion::MExtractLeNom(QString()), QString());
    EXPECT_EQ(WNewVersion::MExtractLeNom(QStringLiteral("A B ")), QStringLiteral("A B "));
}

TEST_F(UpdateCheck, PeersThatFailEndTheCheckWithTheConnectionMessage) {
    Configure(QStringLiteral("Abc Def 1.2"), 1s, 3s);
    const QByteArray line = "Abc--Abc Def 1.2--1.2--d\n";
    QByteArray big;
    while (big.size() <= 5 * 1024 * 1024) big += line;
    const QByteArray bigUnannounced = "HTTP/1.1 200 OK\r\nConnection: close\r\n\r\n" + big;
    // A valid line comes first and the rest never does: a partial reply must not count.
    const QByteArray trickled = "HTTP/1.1 200 OK\r\nContent-Length: 1000000\r\n\r\n" + line;

    struct Case {
        const char* name;
        LocalHttpServer::Mode mode;
        QByteArray response;
    };
    const std::vector<Case> cases = {
        {"accepts and never answers", LocalHttpServer::Mode::Silent, {}},
        {"closes at once", LocalHttpServer::Mode::CloseAtOnce, {}},
        {"5 MiB with its length", LocalHttpServer::Mode::Reply, LocalHttpServer::Ok(big)},
        {"5 MiB without a length", LocalHttpServer::Mode::Reply, bigUnannounced},
        {"trickles a byte at a time", LocalHttpServer::Mode::Trickle, trickled},
        {"stops half-way", LocalHttpServer::Mode::Reply,
         "HTTP/1.1 200 OK\r\nContent-Length: 500\r\nConnection: close\r\n\r\n" + line},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        server.mode = c.mode;
        server.response = c.response;
        WNewVersion& w = Check();
        EXPECT_EQ(w.ChMess->text(), kProblem);
        EXPECT_EQ(MessageColour(w), kBlack);
        EXPECT_TRUE(Rows(w).empty());
        EXPECT_TRUE(w.BtNewEssai->isEnabled());
    }
}

TEST_F(UpdateCheck, WhileWaitingTheMessageSaysSoAndTheButtonIsDisabled) {
    // A red message from an earlier check turns black at the start of the next one.
    Check("Abc--Abc Def 1.3--1.3--d");
    Configure(QStringLiteral("Abc Def 1.2"), 1s, 3s);
    server.mode = LocalHttpServer::Mode::Silent;
    QString message;
    QColor colour;
    bool buttonEnabled = true;
    QTimer::singleShot(200, [&] {
        WNewVersion* w = ExistingWindow<WNewVersion>();
        ASSERT_NE(w, nullptr);
        message = w->ChMess->text();
        colour = MessageColour(*w);
        buttonEnabled = w->BtNewEssai->isEnabled();
    });
    WNewVersion& w = Check();
    EXPECT_EQ(message, kWaiting);
    EXPECT_EQ(colour, kBlack);
    EXPECT_FALSE(buttonEnabled);
    EXPECT_EQ(w.ChMess->text(), kProblem);
    EXPECT_TRUE(w.BtNewEssai->isEnabled());
}

TEST_F(UpdateCheck, TheButtonsRunANewCheckAndOpenTheDownloadPage) {
    WNewVersion& w = Check("Abc--Abc Def 1.2--1.2--d");
    ASSERT_EQ(w.ChMess->text(), kLatest);
    server.response = LocalHttpServer::Ok("Abc--Abc Def 2.0--2.0--d");
    QTest::mouseClick(w.BtNewEssai, Qt::LeftButton);
    QCoreApplication::processEvents(); // the check runs from the event loop
    EXPECT_EQ(server.requests.size(), 2);
    EXPECT_EQ(w.ChMess->text(), kNewPrefix + "Abc Def 2.0");

    QTest::mouseClick(w.BtPageTelech, Qt::LeftButton);
    ASSERT_EQ(desktop.urls.size(), 1);
    EXPECT_EQ(desktop.urls.front(), QStringLiteral("http://www.talvo.example/Zentrafor"));
}

TEST_F(UpdateCheck, TheMenuChosenAgainDuringAWaitRunsAnInnerCheck) {
    Configure(QStringLiteral("Abc Def 1.2"), 2s, 10s);
    server.mode = LocalHttpServer::Mode::Silent;
    server.overrides.append({1, LocalHttpServer::Mode::Reply, LocalHttpServer::Ok("Abc--Abc Def 1.2--1.2--d")});
    QString innerMessage;
    bool innerButton = true;
    QTimer::singleShot(100, [&] {
        MdNewVersion::MdNewVersionOuvre();
        WNewVersion* w = ExistingWindow<WNewVersion>();
        ASSERT_NE(w, nullptr);
        innerMessage = w->ChMess->text();
        innerButton = w->BtNewEssai->isEnabled();
    });
    WNewVersion& w = Check();
    EXPECT_EQ(innerMessage, kLatest);
    EXPECT_FALSE(innerButton); // the outer check still waited
    EXPECT_EQ(w.ChMess->text(), kProblem);
    EXPECT_TRUE(w.BtNewEssai->isEnabled());
}

TEST_F(UpdateCheck, ClosingTheWindowDuringTheWaitEndsEveryCheckSilently) {
    Configure(QStringLiteral("Abc Def 1.2"), 60s, 120s); // only the close can end these waits
    server.mode = LocalHttpServer::Mode::Silent;
    QPointer<WNewVersion> first;
    QTimer::singleShot(100, [&] {
        first = ExistingWindow<WNewVersion>();
        QTimer::singleShot(100, [] { ExistingWindow<WNewVersion>()->Close(); });
        MdNewVersion::MdNewVersionOuvre(); // a second check, inside the first
    });
    MdNewVersion::MdNewVersionOuvre();
    DestroyClosedWindows();
    EXPECT_EQ(server.requests.size(), 2);
    EXPECT_TRUE(first.isNull());
    EXPECT_EQ(ExistingWindow<WNewVersion>(), nullptr);

    // The next menu choice makes a new window and checks again.
    Configure(QStringLiteral("Abc Def 1.2"), 5s, 20s);
    EXPECT_EQ(Check("Abc--Abc Def 1.2--1.2--d").ChMess->text(), kLatest);
}

} // namespace
