#include "MenuBar1.h"

#include <memory>

namespace {
std::unique_ptr<MenuBar1> menuBarSlot;

struct ItemEntry {
    const char* name;
    MenuItem::Kind kind;
    const char* text;
    const char* shortcut; // nullptr for separators
    int index = -1;
    bool autoEnable = true;
};

void BuildMenu(MenuBar& bar, const char* menuName, const char* menuText,
               std::initializer_list<ItemEntry> items) {
    auto menu = std::make_unique<MenuItem>();
    menu->Name = QString::fromUtf8(menuName);
    menu->AutoEnable = true;
    menu->SetText(QString::fromUtf8(menuText));
    menu->SetShortcut(QString());
    bar.Append(std::move(menu));
    for (const ItemEntry& entry : items) {
        auto item = std::make_unique<MenuItem>(entry.kind);
        item->Name = QString::fromUtf8(entry.name);
        item->AutoEnable = entry.autoEnable;
        item->Index = entry.index;
        item->SetText(QString::fromUtf8(entry.text));
        if (entry.shortcut) item->SetShortcut(QString::fromUtf8(entry.shortcut));
        bar.Menu(QString::fromUtf8(menuName))->Append(std::move(item));
    }
}

constexpr auto Plain = MenuItem::Kind::Plain;
constexpr auto Apple = MenuItem::Kind::AppleMenuItem;
} // namespace

MenuBar1::MenuBar1() {
    Untitled0();
    Untitled1();
    Untitled2();
    Untitled3();
}

void MenuBar1::Untitled0() {
    BuildMenu(*this, "FileMenu", "Fichier",
              {
                  {"MNNewPartie", Plain, "Nouvelle Partie", "Cmd+n"},
                  {"MnAPropos", Apple, "A propos de Kestrova...", ""},
                  {"MnVersion", Apple, "Recherche mise à jour...", ""},
                  {"UntitledSeparator0", Plain, "-", nullptr},
                  {"MnSolo", Plain, "Mode Solo", "Cmd+1"},
                  {"MnDuo", Plain, "Mode Duo", "Cmd+2"},
                  {"UntitledSeparator1", Plain, "-", nullptr},
                  {"MnAgrandProp", Plain, "Agrandissement proportionnel", ""},
                  {"UntitledSeparator2", Plain, "-", nullptr},
                  {"MnJournal", Plain, "Journal", "Cmd+j", -1, false},
                  {"UntitledSeparator", Plain, "-", nullptr},
                  {"FileQuit", MenuItem::Kind::QuitMenuItem, "Quitter", "Cmd+Q"},
              });
}

void MenuBar1::Untitled1() {
    BuildMenu(*this, "MNNiveau", "Niveaux",
              {
                  {"MnFaible", Plain, "Faible", ""},
                  {"MnMoyen", Plain, "Moyen", ""},
                  {"MnFort", Plain, "Fort", ""},
              });
}

void MenuBar1::Untitled2() {
    BuildMenu(*this, "MNPionBase", "Pions",
              {
                  {"MNPion", Plain, "", "", 0},
                  {"MNPion", Plain, "", "", 1},
                  {"MNPion", Plain, "", "", 2},
              });
}

void MenuBar1::Untitled3() {
    BuildMenu(*this, "MNFondBase", "Fonds",
              {
                  {"MNFond", Plain, "", "", 0},
                  {"MNFond", Plain, "", "", 1},
                  {"MNFond", Plain, "", "", 2},
                  {"MNFond", Plain, "", "", 3},
              });
}

MenuBar1& MenuBar1Instance() {
    if (!menuBarSlot) menuBarSlot = std::make_unique<MenuBar1>();
    return *menuBarSlot;
}

void ReleaseMenuBar1() { menuBarSlot.reset(); }
