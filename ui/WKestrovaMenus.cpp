// The main window's menu commands: item accessors, handler binding, handlers and the
// preparation of the menus before they show.
#include "App.h"
#include "BoardGeometry.h"
#include "DoubleToInteger.h"
#include "MdNewVersion.h"
#include "Menu.h"
#include "PictureItems.h"
#include "WKestrova.h"

namespace {
MenuItem* Item(const Window& w, const char* name, int index = -1) {
    return w.GetMenuBar() ? w.GetMenuBar()->Find(QString::fromLatin1(name), index) : nullptr;
}
} // namespace

MenuItem* WKestrova::MNFondBase() { return Item(*this, "MNFondBase"); }
MenuItem* WKestrova::MNFond(int index) { return Item(*this, "MNFond", index); }
MenuItem* WKestrova::MNPionBase() { return Item(*this, "MNPionBase"); }
MenuItem* WKestrova::MNPion(int index) { return Item(*this, "MNPion", index); }
MenuItem* WKestrova::MNNiveau() { return Item(*this, "MNNiveau"); }
MenuItem* WKestrova::MnFort() { return Item(*this, "MnFort"); }
MenuItem* WKestrova::MnMoyen() { return Item(*this, "MnMoyen"); }
MenuItem* WKestrova::MnFaible() { return Item(*this, "MnFaible"); }
MenuItem* WKestrova::FileMenu() { return Item(*this, "FileMenu"); }
MenuItem* WKestrova::FileQuit() { return Item(*this, "FileQuit"); }
MenuItem* WKestrova::UntitledSeparator() { return Item(*this, "UntitledSeparator"); }
MenuItem* WKestrova::MnJournal() { return Item(*this, "MnJournal"); }
MenuItem* WKestrova::UntitledSeparator2() { return Item(*this, "UntitledSeparator2"); }
MenuItem* WKestrova::MnAgrandProp() { return Item(*this, "MnAgrandProp"); }
MenuItem* WKestrova::UntitledSeparator1() { return Item(*this, "UntitledSeparator1"); }
MenuItem* WKestrova::MnDuo() { return Item(*this, "MnDuo"); }
MenuItem* WKestrova::MnSolo() { return Item(*this, "MnSolo"); }
MenuItem* WKestrova::UntitledSeparator0() { return Item(*this, "UntitledSeparator0"); }
MenuItem* WKestrova::MnVersion() { return Item(*this, "MnVersion"); }
MenuItem* WKestrova::MnAPropos() { return Item(*this, "MnAPropos"); }
MenuItem* WKestrova::MNNewPartie() { return Item(*this, "MNNewPartie"); }

void WKestrova::AddMenuHandlers() {
    AddMenuHandler(QStringLiteral("MNNewPartie"),
                   std::function<bool()>([this] { return _MNNewPartie_Action(); }));
    AddMenuHandler(QStringLiteral("MnFaible"), std::function<bool()>([this] { return _MnFaible_Action(); }));
    AddMenuHandler(QStringLiteral("MnMoyen"), std::function<bool()>([this] { return _MnMoyen_Action(); }));
    AddMenuHandler(QStringLiteral("MnFort"), std::function<bool()>([this] { return _MnFort_Action(); }));
    AddMenuHandler(QStringLiteral("MnSolo"), std::function<bool()>([this] { return _MnSolo_Action(); }));
    AddMenuHandler(QStringLiteral("MnDuo"), std::function<bool()>([this] { return _MnDuo_Action(); }));
    AddMenuHandler(QStringLiteral("MnJournal"),
                   std::function<bool()>([this] { return _MnJournal_Action(); }));
    AddMenuHandler(QStringLiteral("MNFond"),
                   std::function<bool(int)>([this](int i) { return _MNFond_Action(i); }));
    AddMenuHandler(QStringLiteral("MnVersion"),
                   std::function<bool()>([this] { return _MnVersion_Action(); }));
    AddMenuHandler(QStringLiteral("MnAgrandProp"),
                   std::function<bool()>([this] { return _MnAgrandProp_Action(); }));
    AddMenuHandler(QStringLiteral("MNPion"),
                   std::function<bool(int)>([this](int i) { return _MNPion_Action(i); }));
}

bool WKestrova::_MNNewPartie_Action() {
    MInitialisePlateau();
    return true;
}

bool WKestrova::_MnFaible_Action() {
    PPlateau.PNiveau = 2;
    return true;
}

bool WKestrova::_MnMoyen_Action() {
    PPlateau.PNiveau = 1;
    return true;
}

bool WKestrova::_MnFort_Action() {
    PPlateau.PNiveau = 0;
    return true;
}

bool WKestrova::_MnSolo_Action() {
    PSolo = true;
    QPointer<WKestrova> self(this);
    if (TopAJouerRouge) MAutomateSuivant();
    if (self) MDisplayCouleur();
    return true;
}

bool WKestrova::_MnDuo_Action() {
    PSolo = false;
    MDisplayCouleur();
    return true;
}

bool WKestrova::_MnJournal_Action() {
    mJournal();
    return true;
}

bool WKestrova::_MNFond_Action(int index) {
    mChoixLeFond(index);
    mDisplayCouleurPrep();
    MDessinePlateau(GetGraphics());
    // The background shown until now is drawn no more.
    ReleaseUnusedPixels();
    MDisplayCouleur();
    return true;
}

bool WKestrova::_MnVersion_Action() {
    MdNewVersion::MdNewVersionOuvre();
    return true;
}

bool WKestrova::_MnAgrandProp_Action() {
    PTopRetailProp = !PTopRetailProp;
    if (PTopRetailProp) {
        const std::int32_t w = DoubleToInteger(BoardGeometry::ProportionalWidth(Height()));
        if (w != Width()) SetWidth(w);
    }
    return true;
}

bool WKestrova::_MNPion_Action(int index) {
    mChoixImagePion(index);
    PPionBleu = nullptr;
    mDisplayCouleurPrep();
    MDessinePlateau(GetGraphics());
    MDisplayCouleur();
    return true;
}

void WKestrova::Event_EnableMenuItems() {
    App& app = AppInstance();
    MNPion(0)->SetIcon(app.MenuVlek);
    MNPion(1)->SetIcon(app.MenuPoker);
    MNPion(2)->SetIcon(app.MenuPoker2);
    for (int k = 0; k <= 2; ++k) MNPion(k)->SetChecked(PTopChoixPion == k);
    MnFort()->SetChecked(PPlateau.PNiveau == 0);
    MnMoyen()->SetChecked(PPlateau.PNiveau == 1);
    MnFaible()->SetChecked(PPlateau.PNiveau == 2);
    if (!PFondDemo[0]) mPrepMiniFond(); // once, when the menus first show
    for (int i = 0; i <= 3; ++i) {
        MNFond(i)->SetIcon(PFondDemo[i]);
        MNFond(i)->SetChecked(i == PNoDeFond);
    }
    MnSolo()->SetChecked(PSolo);
    MnDuo()->SetChecked(!PSolo);
    MnJournal()->SetChecked(PJournal);
    MnAgrandProp()->SetChecked(PTopRetailProp);
    MnJournal()->SetEnabled(true);
    MNPion(0)->SetText(QStringLiteral("Brassenay 4"));
    MNPion(1)->SetText(QStringLiteral("Poker 1"));
    MNPion(2)->SetText(QStringLiteral("Poker 2"));
    MNFond(0)->SetText(QStringLiteral("Bois 1"));
    MNFond(1)->SetText(QStringLiteral("Bois 2"));
    MNFond(2)->SetText(QStringLiteral("Métal"));
    MNFond(3)->SetText(QStringLiteral("Fusion"));
}
