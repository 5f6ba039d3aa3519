#pragma once
// The draw dialog.
#include "Window.h"

class QLabel;
class QPushButton;

class WEgalite : public Window {
    Q_OBJECT
public:
    WEgalite();

    QLabel* StaticText1 = nullptr;
    QPushButton* PushButton1 = nullptr;
    void PushButton1_Action();

protected:
    void Event_Open() override;
};
