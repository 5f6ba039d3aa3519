#include "WGagnant.h"

#include "BoutonNouvellePartie.h"
#include "ControlFont.h"
#include "FenetreFixe.h"
#include "StaticText.h"

#include <QPushButton>

WGagnant::WGagnant() {
    SetTitle(QStringLiteral("Le gagnant est ..."));
    FenetreFixe(*this, 330, 60, true);

    PushButton1 = BoutonNouvellePartie(*this, 166, 20);
    connect(PushButton1, &QPushButton::clicked, this, &WGagnant::PushButton1_Action);

    StaticText1 = new QLabel(QStringLiteral("Gain :"), Content());
    StaticText1->setObjectName(QStringLiteral("StaticText1"));
    PlaceStaticText(StaticText1, QRect(20, 19, 80, 20), ControlFont(QStringLiteral("System"), 24),
                    Qt::AlignLeft | Qt::AlignVCenter);

    // One token place wide: shows the first token of the strip it is given.
    ChGain = new Canvas(Content());
    ChGain->setObjectName(QStringLiteral("ChGain"));
    ChGain->setGeometry(102, 11, 35, 37);
    ChGain->setFocusPolicy(Qt::NoFocus);
}

void WGagnant::Event_Open() { Show(); }

void WGagnant::PushButton1_Action() { NouvellePartieDepuis(*this); }
