#include "WGagnant.h"

#include "BoutonNouvellePartie.h"
#include "FenetreFixe.h"

#include <QLabel>
#include <QPalette>
#include <QPushButton>

WGagnant::WGagnant() {
    SetTitle(QStringLiteral("Le gagnant est ..."));
    FenetreFixe(*this, 330, 60, true);

    PushButton1 = BoutonNouvellePartie(*this, 166, 20);
    connect(PushButton1, &QPushButton::clicked, this, &WGagnant::PushButton1_Action);

    StaticText1 = new QLabel(QStringLiteral("Gain :"), Content());
    StaticText1->setObjectName(QStringLiteral("StaticText1"));
    StaticText1->setGeometry(20, 19, 80, 20);
    StaticText1->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    // The layout was drawn at one pixel per point.
    QFont font = StaticText1->font();
    font.setPixelSize(24);
    StaticText1->setFont(font);
    QPalette p = StaticText1->palette();
    p.setColor(QPalette::WindowText, Qt::black);
    StaticText1->setPalette(p);

    // One token place wide: shows the first token of the strip it is given.
    ChGain = new Canvas(Content());
    ChGain->setObjectName(QStringLiteral("ChGain"));
    ChGain->setGeometry(102, 11, 35, 37);
    ChGain->setFocusPolicy(Qt::NoFocus);
}

void WGagnant::Event_Open() { Show(); }

void WGagnant::PushButton1_Action() { NouvellePartieDepuis(*this); }
