#include "WJournal.h"

#include "FenetreFixe.h"
#include "WKestrova.h"

#include <QFont>

WJournal::WJournal() {
    SetTitle(QStringLiteral("Journal des Coups"));
    FenetreFixe(*this, 192, 407, true);

    ChText = new ChampTexte(Content());
    ChText->setObjectName(QStringLiteral("ChText"));
    ChText->setGeometry(20, 14, 152, 373);
    // The window's layout was drawn at one pixel per point.
    QFont font(QStringLiteral("Courier"));
    font.setStyleHint(QFont::TypeWriter);
    font.setPixelSize(10);
    ChText->setFont(font);
}

void WJournal::Event_Open() { Show(); }

void WJournal::Event_Close() {
    // A main window that is itself closing is still alive: its board must not keep pointing at
    // this field, which is about to go.
    if (WKestrova* main = WindowSlot<WKestrova>().data()) {
        if (main->PPlateau.PChJournal == ChText) main->PPlateau.PChJournal = nullptr;
    }
    if (WKestrova* main = ExistingWindow<WKestrova>()) main->PJournal = false;
}
