#include "Window.h"

#include "WindowContent.h"

#include <QApplication>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QEventLoop>
#include <QGuiApplication>
#include <QMenuBar>
#include <QMouseEvent>
#include <QPainter>
#include <QResizeEvent>
#include <QSet>

namespace {
QSet<Window*>& LiveWindows() {
    static QSet<Window*> windows;
    return windows;
}

// The menus live in the window that shows the menu bar; a secondary window in front (log,
// trace, dialogs) has none, so its shortcuts and menu choices go to that window.
MenuHandler* FrontWindowWithMenus() {
    auto* active = qobject_cast<Window*>(QApplication::activeWindow());
    if (active && !active->IsClosing() && active->GetMenuBar()) return active;
    for (QWidget* top : QApplication::topLevelWidgets()) {
        auto* w = qobject_cast<Window*>(top);
        if (w && !w->IsClosing() && w->GetMenuBar()) return w;
    }
    return nullptr;
}
} // namespace

WindowContent::WindowContent(Window& owner) : QWidget(&owner), owner_(owner) {
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void WindowContent::paintEvent(QPaintEvent*) {
    if (!owner_.closing_) {
        owner_.painting_ = true;
        Graphics g(owner_);
        owner_.Event_Paint(g);
        owner_.painting_ = false;
    }
    QPainter p(this);
    p.drawImage(0, 0, owner_.Frame().Image());
}

void WindowContent::mousePressEvent(QMouseEvent* event) {
    pressTaken_ = owner_.Event_MouseDown(int(event->position().x()), int(event->position().y()));
}

void WindowContent::mouseReleaseEvent(QMouseEvent* event) {
    if (!pressTaken_) return;
    pressTaken_ = false;
    owner_.Event_MouseUp(int(event->position().x()), int(event->position().y()));
}

void WindowContent::resizeEvent(QResizeEvent* event) {
    // The first layout, when the window shows, is no change of its size: Open keeps the size.
    if (!event->oldSize().isValid()) return;
    owner_.Event_Resizing();
    owner_.Event_Resized();
}

Window::Window() : content_(new WindowContent(*this)) {
    setAttribute(Qt::WA_DeleteOnClose);
    setCentralWidget(content_);
    LiveWindows().insert(this);
}

Window::~Window() { LiveWindows().remove(this); }

void Window::DestroyAll() {
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    const auto windows = LiveWindows();
    for (Window* w : windows) {
        if (LiveWindows().contains(w)) delete w;
    }
}

void Window::Show() {
    show();
    // The offscreen platform cannot raise a window and says so on every call.
    if (QGuiApplication::platformName() != QStringLiteral("offscreen")) raise();
}

void Window::ShowModal() {
    QPointer<Window> self(this);
    setWindowModality(Qt::ApplicationModal);
    Show();
    if (!self || closing_ || !isVisible()) return;
    QEventLoop loop;
    connect(this, &Window::closedOrHidden, &loop, &QEventLoop::quit);
    connect(this, &QObject::destroyed, &loop, &QEventLoop::quit);
    loop.exec();
    // The window may be gone now; touch nothing of it.
}

void Window::Hide() { hide(); }

void Window::SetVisible(bool visible) {
    if (visible)
        Show();
    else
        Hide();
}

void Window::Close() {
    if (closing_) return;
    close();
}

void Window::closeEvent(QCloseEvent* event) {
    if (closing_) {
        event->accept();
        return;
    }
    closing_ = true;
    QPointer<Window> self(this);
    Event_Close();
    if (!self) return;
    event->accept();
    emit closedOrHidden();
}

void Window::hideEvent(QHideEvent* event) {
    QMainWindow::hideEvent(event);
    if (!event->spontaneous()) emit closedOrHidden();
}

int Window::Width() const { return content_->width(); }
int Window::Height() const { return content_->height(); }

void Window::SetWidth(int width) { SetSize(width, Height()); }

void Window::SetSize(int width, int height) {
    // Only the menu bar lies between the window's edges and its content.
    const int menuHeight = menuWidget() ? menuWidget()->sizeHint().height() : 0;
    resize(width, height + menuHeight);
    content_->resize(width, height);
}

void Window::SetMinSize(int width, int height) { content_->setMinimumSize(width, height); }
void Window::SetMaxSize(int width, int height) { content_->setMaximumSize(width, height); }

QWidget* Window::Content() const { return content_; }

Picture& Window::Frame() {
    const QSize size = content_->size().expandedTo(QSize(1, 1));
    if (!frame_ || frame_->Image().size() != size) {
        auto frame = std::make_unique<Picture>(size.width(), size.height());
        // The windows have no background colour of their own: undrawn parts show the platform's.
        frame->MutableImage().fill(content_->palette().color(QPalette::Window));
        if (frame_) {
            QPainter p(&frame->MutableImage());
            p.drawImage(0, 0, frame_->Image());
        }
        frame_ = std::move(frame);
    }
    return *frame_;
}

void Window::UpdateNow() { content_->repaint(); }

void Window::FrameChanged() {
    if (!painting_) content_->update();
}

void Window::SetMenuBar(MenuBar& bar) {
    menuBar_ = &bar;
    bar.FrontHandler = FrontWindowWithMenus;
    setMenuBar(bar.MakeWidget(this));
}

void Window::AddMenuHandler(const QString& itemName, std::function<bool()> handler) {
    menuHandlers_[itemName] = [handler = std::move(handler)](int) { return handler(); };
}

void Window::AddMenuHandler(const QString& itemName, std::function<bool(int)> handler) {
    menuHandlers_[itemName] = std::move(handler);
}

bool Window::HandleMenu(const QString& itemName, int index) {
    auto it = menuHandlers_.find(itemName);
    if (it == menuHandlers_.end()) return false;
    auto handler = it->second; // the window may be destroyed while the handler runs
    return handler(index);
}

void Window::RaiseOpen() { Event_Open(); }
