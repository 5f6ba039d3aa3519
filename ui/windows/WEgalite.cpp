#include "WEgalite.h"

#include "BoutonNouvellePartie.h"
#include "FenetreFixe.h"

#include <QLabel>
#include <QPalette>
#include <QPushButton>

WEgalite::WEgalite() {
    SetTitle(QStringLiteral("Egalité"));
    FenetreFixe(*this, 402, 60, true);

    StaticText1 = new QLabel(QStringLiteral("Egalité !"), Content());
    StaticText1->setObjectName(QStringLiteral("StaticText1"));
    StaticText1->setGeometry(20, 1, 198, 51);
    StaticText1->setAlignment(Qt::AlignCenter);
    // The layout was drawn at one pixel per point.
    QFont font = StaticText1->font();
    font.setPixelSize(40);
    font.setBold(true);
    font.setItalic(true);
    StaticText1->setFont(font);
    QPalette p = StaticText1->palette();
    p.setColor(QPalette::WindowText, QColor(0x00, 0xCC, 0x00));
    StaticText1->setPalette(p);

    PushButton1 = BoutonNouvellePartie(*this, 238, 20);
    connect(PushButton1, &QPushButton::clicked, this, &WEgalite::PushButton1_Action);
}

void WEgalite::Event_Open() { Show(); }

void WEgalite::PushButton1_Action() { NouvellePartieDepuis(*this); }
