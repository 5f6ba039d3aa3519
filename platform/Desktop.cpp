#include "Desktop.h"

#include <QApplication>
#include <QDesktopServices>
#include <QMessageBox>
#include <QUrl>

void Desktop::Beep() { QApplication::beep(); }

void Desktop::MsgBox(const QString& text) {
    QMessageBox box(QMessageBox::NoIcon, QString(), text, QMessageBox::Ok);
    box.exec();
}

void Desktop::ShowURL(const QString& address) { QDesktopServices::openUrl(QUrl(address)); }

void Desktop::Quit(int code) {
    // Closing every window first lets each one run its Close handler, as on a normal quit.
    QApplication::closeAllWindows();
    QCoreApplication::exit(code);
}

namespace {
Desktop realDesktop;
Desktop* current = nullptr;
} // namespace

void SetDesktop(Desktop* desktop) { current = desktop; }
Desktop& CurrentDesktop() { return current ? *current : realDesktop; }

void Beep() { CurrentDesktop().Beep(); }
void MsgBox(const QString& text) { CurrentDesktop().MsgBox(text); }
void ShowURL(const QString& address) { CurrentDesktop().ShowURL(address); }
void Quit(int code) { CurrentDesktop().Quit(code); }
