#include "WQuiDoitJouer.h"

#include "FenetreFixe.h"

#include <QCloseEvent>

WQuiDoitJouer::WQuiDoitJouer() {
    SetTitle(QStringLiteral("Qui doit jouer"));
    FenetreFixe(*this, 300, 35, false);

    ChCouleur = new Canvas(Content());
    ChCouleur->setObjectName(QStringLiteral("ChCouleur"));
    ChCouleur->setGeometry(3, 0, 301, 35);
    ChCouleur->setFocusPolicy(Qt::NoFocus);
}

void WQuiDoitJouer::Event_Open() { Show(); }

void WQuiDoitJouer::closeEvent(QCloseEvent* event) {
    // No close box: a close asked by the window manager (a key, a task bar) is refused. The
    // program's own closes, the quit among them, go through.
    if (event->spontaneous()) {
        event->ignore();
        return;
    }
    Window::closeEvent(event);
}
