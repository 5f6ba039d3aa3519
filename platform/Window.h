#pragma once
// A window as the game's windows expect one: Open and Close events, a content area with its own
// frame picture (what the window shows), mouse and resize events, modal display, and menu
// handlers bound by item name.
#include "Menu.h"
#include "Picture.h"

#include <QMainWindow>
#include <QPointer>
#include <functional>
#include <map>

class WindowContent;

class Window : public QMainWindow, public DrawingSurface, public MenuHandler {
    Q_OBJECT
public:
    Window();
    ~Window() override;

    void Show();
    void ShowModal(); // returns once the window is closed or hidden
    void Hide();
    void Close(); // raises Event_Close, then the window is destroyed; a second request does nothing
    bool Visible() const { return isVisible(); }
    void SetVisible(bool visible);
    bool IsClosing() const { return closing_; }

    QString Title() const { return windowTitle(); }
    void SetTitle(const QString& title) { setWindowTitle(title); }
    // Sizes are those of the content area, below the menu bar.
    int Width() const;
    int Height() const;
    void SetWidth(int width);
    void SetSize(int width, int height);
    void SetMinSize(int width, int height);
    void SetMaxSize(int width, int height);

    QWidget* Content() const;
    Picture& Frame();
    Graphics GetGraphics() { return Graphics(*this); }
    void UpdateNow();    // paints the window at once
    void FrameChanged(); // the frame was drawn into: show it at the next paint
    Picture& SurfacePicture() override { return Frame(); }
    void SurfaceChanged() override { FrameChanged(); }

    void SetMenuBar(MenuBar& bar);
    MenuBar* GetMenuBar() const { return menuBar_; }

    void AddMenuHandler(const QString& itemName, std::function<bool()> handler);
    void AddMenuHandler(const QString& itemName, std::function<bool(int)> handler);
    bool HandleMenu(const QString& itemName, int index) override;
    void RaiseEnableMenuItems() override { Event_EnableMenuItems(); }

    // Called once by the window's accessor, after construction.
    void RaiseOpen();

    // Destroys every window still alive; used at tear-down after the event loop.
    static void DestroyAll();

signals:
    void closedOrHidden();

protected:
    virtual void Event_Open() {}
    virtual void Event_Close() {}
    virtual void Event_EnableMenuItems() {}
    virtual bool Event_MouseDown(int, int) { return false; }
    virtual void Event_MouseUp(int, int) {}
    virtual void Event_Resizing() {}
    virtual void Event_Resized() {}
    virtual void Event_Paint(Graphics&) {}

    void closeEvent(QCloseEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    friend class WindowContent;
    WindowContent* content_;
    MenuBar* menuBar_ = nullptr;
    std::unique_ptr<Picture> frame_;
    bool closing_ = false;
    bool painting_ = false;
    std::map<QString, std::function<bool(int)>> menuHandlers_;
};

// Single-instance accessors: the current window of a class, created (and opened) when there is
// none or when the current one is closing.
template <class W> QPointer<W>& WindowSlot() {
    static QPointer<W> slot;
    return slot;
}

template <class W> W& WindowInstance() {
    QPointer<W>& slot = WindowSlot<W>();
    if (!slot || slot->IsClosing()) {
        slot = new W();
        slot->RaiseOpen();
    }
    return *slot;
}

// The current window of a class if there is one; never creates a window.
template <class W> W* ExistingWindow() {
    QPointer<W>& slot = WindowSlot<W>();
    return (slot && !slot->IsClosing()) ? slot.data() : nullptr;
}
