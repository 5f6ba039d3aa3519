#include "BoutonNouvellePartie.h"

#include "WKestrova.h"

#include <QKeySequence>
#include <QPointer>
#include <QPushButton>
#include <QShortcut>

QPushButton* BoutonNouvellePartie(Window& dialog, int left, int top) {
    auto* button = new QPushButton(QStringLiteral("Nouvelle Partie"), dialog.Content());
    button->setObjectName(QStringLiteral("PushButton1"));
    button->setGeometry(left, top, 144, 20);
    button->setDefault(true);
    button->setFocus();
    for (int key : {Qt::Key_Return, Qt::Key_Enter}) {
        auto* shortcut = new QShortcut(QKeySequence(key), &dialog);
        QObject::connect(shortcut, &QShortcut::activated, button, &QPushButton::click);
    }
    return button;
}

void NouvellePartieDepuis(Window& dialog) {
    QPointer<Window> self(&dialog);
    // Out of sight before the new game starts, and the computer's opening move is played.
    dialog.Hide();
    if (WKestrova* main = ExistingWindow<WKestrova>()) main->MInitialisePlateau();
    if (self) self->Close();
}
