#include <QApplication>
#include <QStandardPaths>
#include <gtest/gtest.h>

// Window tests share one offscreen application and never touch the user's real settings.
int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QStandardPaths::setTestModeEnabled(true);
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
