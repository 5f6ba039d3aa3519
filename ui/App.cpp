#include "App.h"

#include "FichierPreference.h"
#include "NomFichierPref.h"
#include "PictureItems.h"
#include "WHelp.h"
#include "Window.h"

namespace {
PictureRef MakeIcon(const PictureRef& source) {
    PictureRef icon = NewPicture(100, 100, 32);
    if (source)
        icon->GetGraphics().DrawPicture(*source, 0, 0, 100, 100, 0, 0, source->Width(), source->Height());
    return icon;
}
} // namespace

App& AppInstance() { return *static_cast<App*>(Application::Current()); }

void App::Event_Open() {
    MenuVlek = MakeIcon(VlekRouge());
    MenuPoker = MakeIcon(PokerRouge());
    MenuPoker2 = MakeIcon(Poker2Rouge());
    FichierPreference::mAppPrefFichierLecture(QString::fromLatin1(kNomFichierPref));
}

void App::Event_Close() { FichierPreference::mAppPrefFichierEcriture(); }

bool App::_MnAPropos_Action() {
    WindowInstance<WHelp>().ShowModal();
    return true;
}
