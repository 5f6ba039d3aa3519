#include "Menu.h"

#include "Application.h"

#include <QAction>
#include <QApplication>
#include <QKeyEvent>
#include <QMenu>
#include <QMenuBar>
#include <QPainter>
#include <QPainterPath>
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
    // Checkable from the first mark set, ticked or not: the style draws an unticked item alike
    // before and after its first tick.
    action_->setCheckable(true);
    action_->setChecked(checked);
}

bool MenuItem::Enabled() const { return action_->isEnabled(); }
void MenuItem::SetEnabled(bool enabled) { action_->setEnabled(enabled); }

namespace {
// The icon with a tick over it. Styles that show an item's icon in place of its check box (the
// default one on Linux among them) mark a ticked item only by a faint frame round the icon; the
// icon's "on" state shows the tick instead.
QPixmap WithTick(const QPixmap& plain) {
    QPixmap ticked = plain;
    const qreal size = qMin(ticked.width(), ticked.height());
    QPainterPath tick;
    tick.moveTo(0.18 * size, 0.52 * size);
    tick.lineTo(0.42 * size, 0.76 * size);
    tick.lineTo(0.84 * size, 0.24 * size);
    QPainter p(&ticked);
    p.setRenderHint(QPainter::Antialiasing);
    // A halo in the menu's background colour keeps the tick clear on dark and light icons alike.
    const QPalette palette = QApplication::palette();
    p.strokePath(
        tick, QPen(palette.color(QPalette::Base), 0.26 * size, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.strokePath(
        tick, QPen(palette.color(QPalette::Text), 0.13 * size, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    return ticked;
}
} // namespace

void MenuItem::SetIcon(const PictureRef& icon) {
    icon_ = icon;
    if (!icon) {
        action_->setIcon(QIcon());
        return;
    }
    const QPixmap plain = QPixmap::fromImage(icon->Composed());
    QIcon shown(plain);
    shown.addPixmap(WithTick(plain), QIcon::Normal, QIcon::On);
    action_->setIcon(shown);
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
void ResetEnabled(const MenuItem& parent) {
    for (auto& child : parent.Children()) {
        child->SetEnabled(child->AutoEnable);
        ResetEnabled(*child);
    }
}
} // namespace

void MenuBar::PrepareMenus() {
    ResetEnabled(*this);
    if (MenuHandler* h = Front()) h->RaiseEnableMenuItems();
}

void MenuBar::Dispatch(MenuItem* item) {
    if (item->ItemKind() == Kind::QuitMenuItem) {
        QuitAction();
        return;
    }
    const QString name = item->Name;
    const int index = item->Index;
    if (MenuHandler* h = Front(); h && h->HandleMenu(name, index)) return;
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
