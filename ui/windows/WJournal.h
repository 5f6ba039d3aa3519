#pragma once
// The move log window: one field that the board keeps filled while it is attached.
#include "ChampTexte.h"
#include "Window.h"

class WJournal : public Window {
    Q_OBJECT
public:
    WJournal();

    ChampTexte* ChText = nullptr;

protected:
    void Event_Open() override;
    void Event_Close() override;
};
