#pragma once
// The running application object: Open and Close events, the menu bar, version strings and the
// menu handlers that no window takes.
#include <QObject>
#include <QString>
#include <functional>
#include <map>

class MenuBar;

class Application : public QObject {
    Q_OBJECT
public:
    Application();
    ~Application() override;
    static Application* Current();

    void SetMenuBar(MenuBar* bar) { menuBar_ = bar; }
    MenuBar* GetMenuBar() const { return menuBar_; }
    QString LongVersion() const;
    QString ShortVersion() const;

    void AddMenuHandler(const QString& itemName, std::function<bool()> handler);
    bool HandleMenu(const QString& itemName, int index);

    void RaiseOpen() { Event_Open(); }
    void RaiseClose() { Event_Close(); }

protected:
    virtual void Event_Open() {}
    virtual void Event_Close() {}

private:
    MenuBar* menuBar_ = nullptr;
    std::map<QString, std::function<bool()>> menuHandlers_;
};

// The quit item's action: close every window, each through its Close event, then leave the loop.
void QuitAction();
