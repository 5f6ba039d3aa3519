#pragma once
// The winner dialog: one token of the winning colour.
#include "Canvas.h"
#include "Window.h"

class QLabel;
class QPushButton;

class WGagnant : public Window {
    Q_OBJECT
public:
    WGagnant();

    QPushButton* PushButton1 = nullptr;
    QLabel* StaticText1 = nullptr;
    Canvas* ChGain = nullptr;
    void PushButton1_Action();

protected:
    void Event_Open() override;
};
