#pragma once
// The engine trace window: the main window writes the computer's last reasoning into it.
#include "ChampTexte.h"
#include "Window.h"

class WTrace : public Window {
    Q_OBJECT
public:
    WTrace();

    ChampTexte* ChTrace = nullptr;

protected:
    void Event_Open() override;
    void Event_Close() override;
};
