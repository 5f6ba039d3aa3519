#pragma once
// Menu items found by name (and index), shared by the application and its windows. Each item
// wraps one QAction; a menu also owns the QMenu that shows its items.
#include "Picture.h"

#include <QObject>
#include <QString>
#include <functional>
#include <memory>
#include <vector>

class QAction;
class QMenu;
class QMenuBar;
class QWidget;

class MenuItem : public QObject {
    Q_OBJECT
public:
    enum class Kind { Plain, AppleMenuItem, QuitMenuItem };
    explicit MenuItem(Kind kind = Kind::Plain);
    ~MenuItem() override;

    Kind ItemKind() const { return kind_; }
    QString Name;
    int Index = -1;
    bool AutoEnable = true;

    QString Text() const;
    void SetText(const QString& text);
    QString Shortcut() const { return shortcut_; }
    void SetShortcut(const QString& shortcut); // "Cmd+n" binds Ctrl+N
    bool Checked() const;
    void SetChecked(bool checked);
    bool Enabled() const;
    void SetEnabled(bool enabled);
    PictureRef Icon() const { return icon_; }
    void SetIcon(const PictureRef& icon);

    void Append(std::unique_ptr<MenuItem> child);
    const std::vector<std::unique_ptr<MenuItem>>& Children() const { return children_; }
    MenuItem* Child(const QString& name, int index = -1) const; // this menu's own items
    MenuItem* Find(const QString& name, int index = -1) const;  // anywhere below

    QAction* Action() const { return action_; }
    QMenu* AsMenu(); // the QMenu showing this item's children

signals:
    void chosen(MenuItem* item);
    void aboutToShow();

private:
    Kind kind_;
    QAction* action_;
    QMenu* menu_ = nullptr;
    QString text_;
    QString shortcut_;
    PictureRef icon_;
    std::vector<std::unique_ptr<MenuItem>> children_;
};

// Who answers the menu bar: prepares its items before they show and handles a chosen item.
class MenuHandler {
public:
    virtual void RaiseEnableMenuItems() = 0;
    virtual bool HandleMenu(const QString& itemName, int index) = 0;

protected:
    ~MenuHandler() = default;
};

// The menu bar: its items are the menus. Choosing an item asks the front window, then the
// application, for a handler bound to the item's name.
class MenuBar : public MenuItem {
    Q_OBJECT
public:
    MenuBar();
    ~MenuBar() override;
    MenuItem* Menu(const QString& name) const { return Child(name); }
    QMenuBar* MakeWidget(QWidget* parent);
    // Every item back to its auto-enable state, then the front window prepares the menus.
    void PrepareMenus();
    void Dispatch(MenuItem* item);
    // The handler in front (the window showing this bar), or none; set by whoever shows the bar.
    std::function<MenuHandler*()> FrontHandler;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void Wire(MenuItem& item);
    MenuHandler* Front() const { return FrontHandler ? FrontHandler() : nullptr; }
};
