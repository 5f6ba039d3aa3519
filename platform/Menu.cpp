#include "Menu.h"

#include "Application.h"
#include "Window.h"

#include <QAction>
#include <QApplication>
#include <QKeyEvent>
#include <QMenu>
#include <QMenuBar>
#include <QPixmap>

MenuItem::MenuItem(Kind kind) : kind_(kind), action_(new QAction()) {
    if (kind == Kind::AppleMenuItem) action_->setMenuRole(QAction::ApplicationSpecificRole);
    if (kind == Kind::QuitMenuItem) action_->setMenuRole(QAction::QuitRole);
    connect(action_, &QAction::triggered, this, [this] { emit chosen(this); });
}

MenuItem::~MenuItem() {
    children_.clear();
    delete menu_;
    delete action_;
}

QString MenuItem::Text() const { return text_; }

void MenuItem::SetText(const QString& text) {
    text_ = text;
    // A "-" item is a separator line; Qt would print the dash beside the line.
    const bool separator = text == QStringLiteral("-");
    action_->setSeparator(separator);
    action_->setText(separator ? QString() : text);
    if (menu_) menu_->setTitle(text);
}

void MenuItem::SetShortcut(const QString& shortcut) {
    shortcut_ = shortcut;
    QString keys = shortcut;
    keys.replace(QStringLiteral("Cmd+"), QStringLiteral("Ctrl+"), Qt::CaseInsensitive);
    action_->setShortcut(QKeySequence(keys.toUpper()));
    action_->setShortcutContext(Qt::ApplicationShortcut);
}

bool MenuItem::Checked() const { return action_->isChecked(); }

void MenuItem::SetChecked(bool checked) {
    if (checked) action_->setCheckable(true);
    action_->setChecked(checked);
}

bool MenuItem::Enabled() const { return action_->isEnabled(); }
void MenuItem::SetEnabled(bool enabled) { action_->setEnabled(enabled); }

void MenuItem::SetIcon(const PictureRef& icon) {
    icon_ = icon;
    action_->setIcon(icon ? QIcon(QPixmap::fromImage(icon->Composed())) : QIcon());
}

QMenu* MenuItem::AsMenu() {
    if (!menu_) {
        menu_ = new QMenu(Text());
        menu_->setToolTipsVisible(false);
        connect(menu_, &QMenu::aboutToShow, this, [this] { emit aboutToShow(); });
        for (auto& child : children_) menu_->addAction(child->action_);
    }
    return menu_;
}

void MenuItem::Append(std::unique_ptr<MenuItem> child) {
    if (menu_) menu_->addAction(child->action_);
    children_.push_back(std::move(child));
}

MenuItem* MenuItem::Child(const QString& name, int index) const {
    for (auto& child : children_)
        if (child->Name == name && (index < 0 || child->Index == index)) return child.get();
    return nullptr;
}

MenuItem* MenuItem::Find(const QString& name, int index) const {
    for (auto& child : children_) {
        if (child->Name == name && (index < 0 || child->Index == index)) return child.get();
        if (MenuItem* below = child->Find(name, index)) return below;
    }
    return nullptr;
}

MenuBar::MenuBar() { qApp->installEventFilter(this); }

MenuBar::~MenuBar() {
    if (qApp) qApp->removeEventFilter(this);
}

void MenuBar::Wire(MenuItem& item) {
    for (auto& child : item.Children()) {
        connect(child.get(), &MenuItem::chosen, this, &MenuBar::Dispatch, Qt::UniqueConnection);
        connect(child.get(), &MenuItem::aboutToShow, this, &MenuBar::PrepareMenus, Qt::UniqueConnection);
        Wire(*child);
    }
}

QMenuBar* MenuBar::MakeWidget(QWidget* parent) {
    Wire(*this);
    auto* bar = new QMenuBar(parent);
    bar->setNativeMenuBar(false);
    for (auto& menu : Children()) {
        bar->addMenu(menu->AsMenu());
        // Shortcuts work even while no menu is open.
        for (auto& item : menu->Children()) parent->addAction(item->Action());
    }
    return bar;
}

namespace {
Window* FrontWindow() {
    // The menus live in the window that shows the menu bar; a secondary window in front (log,
    // trace, dialogs) has none, so its shortcuts and menu choices go to that window.
    auto* active = qobject_cast<Window*>(QApplication::activeWindow());
    if (active && !active->IsClosing() && active->GetMenuBar()) return active;
    for (QWidget* top : QApplication::topLevelWidgets()) {
        auto* w = qobject_cast<Window*>(top);
        if (w && !w->IsClosing() && w->GetMenuBar()) return w;
    }
    return nullptr;
}

void ResetEnabled(const MenuItem& parent) {
    for (auto& child : parent.Children()) {
        child->SetEnabled(child->AutoEnable);
        ResetEnabled(*child);
    }
}
} // namespace

void MenuBar::PrepareMenus() {
    ResetEnabled(*this);
    if (Window* w = FrontWindow()) w->RaiseEnableMenuItems();
}

void MenuBar::Dispatch(MenuItem* item) {
    if (item->ItemKind() == Kind::QuitMenuItem) {
        QuitAction();
        return;
    }
    const QString name = item->Name;
    const int index = item->Index;
    if (Window* w = FrontWindow(); w && w->HandleMenu(name, index)) return;
    if (Application* app = Application::Current()) app->HandleMenu(name, index);
}

bool MenuBar::eventFilter(QObject* watched, QEvent* event) {
    // Menus are prepared before a shortcut is matched, as before they are shown.
    if (event->type() == QEvent::ShortcutOverride) {
        auto* key = static_cast<QKeyEvent*>(event);
        if (key->modifiers() & Qt::ControlModifier && !key->isAutoRepeat()) PrepareMenus();
    }
    return QObject::eventFilter(watched, event);
}
