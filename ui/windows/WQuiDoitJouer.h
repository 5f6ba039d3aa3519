#pragma once
// The who-plays strip of duo mode: a row of tokens of the side to play. The main window alone
// decides when it shows and what; the user cannot close it.
#include "Canvas.h"
#include "Window.h"

class WQuiDoitJouer : public Window {
    Q_OBJECT
public:
    WQuiDoitJouer();

    Canvas* ChCouleur = nullptr;

protected:
    void Event_Open() override;
    void closeEvent(QCloseEvent* event) override;
};
