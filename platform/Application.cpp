#include "Application.h"

#include "AppVersion.h"
#include "Desktop.h"

#include <QCoreApplication>

namespace {
Application* running = nullptr;
}

Application::Application() { running = this; }

Application::~Application() {
    if (running == this) running = nullptr;
}

Application* Application::Current() { return running; }

QString Application::LongVersion() const { return ::LongVersion(); }
QString Application::ShortVersion() const { return ::ShortVersion(); }

void Application::AddMenuHandler(const QString& itemName, std::function<bool()> handler) {
    menuHandlers_[itemName] = std::move(handler);
}

bool Application::HandleMenu(const QString& itemName, int) {
    auto it = menuHandlers_.find(itemName);
    if (it == menuHandlers_.end()) return false;
    auto handler = it->second;
    return handler();
}

// Through the desktop hook, like every other quit, so that tests can watch it.
void QuitAction() { Quit(0); }
