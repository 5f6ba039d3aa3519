#include <QApplication>
#include <QStandardPaths>
#include <cstdio>
#include <gtest/gtest.h>

// Window tests share one offscreen application and never touch the user's real settings.
int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QStandardPaths::setTestModeEnabled(true);
    QApplication app(argc, argv);
    // A warning from Qt is a fault of the code under test, save the offscreen platform's notices
    // of what it cannot do.
    qInstallMessageHandler([](QtMsgType type, const QMessageLogContext&, const QString& text) {
        std::fprintf(stderr, "%s\n", qPrintable(text));
        if (type != QtDebugMsg && type != QtInfoMsg &&
            !text.startsWith(QStringLiteral("This plugin does not")))
            ADD_FAILURE() << "Qt: " << text.toStdString();
    });
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
