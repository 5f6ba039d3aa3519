#include "WEgalite.h"

#include "BoutonNouvellePartie.h"
#include "ControlFont.h"
#include "FenetreFixe.h"
#include "StaticText.h"

#include <QPushButton>

WEgalite::WEgalite() {
    SetTitle(QStringLiteral("Egalité"));
    FenetreFixe(*this, 402, 60, true);

    StaticText1 = new QLabel(QStringLiteral("Egalité !"), Content());
    StaticText1->setObjectName(QStringLiteral("StaticText1"));
    QFont font = ControlFont(QStringLiteral("System"), 40, true);
    font.setItalic(true);
    PlaceStaticText(StaticText1, QRect(20, 1, 198, 51), font, Qt::AlignCenter, QColor(0x00, 0xCC, 0x00));

    PushButton1 = BoutonNouvellePartie(*this, 238, 20);
    connect(PushButton1, &QPushButton::clicked, this, &WEgalite::PushButton1_Action);
}

void WEgalite::Event_Open() { Show(); }

void WEgalite::PushButton1_Action() { NouvellePartieDepuis(*this); }
