#pragma once
// The about window: versions, the mascot twice, a word on the game, the author's address.
// The pictures open the author's home page, the address a new mail; the background closes it.
#include "Canvas.h"
#include "Window.h"

class QLabel;

class WHelp : public Window {
    Q_OBJECT
public:
    WHelp();

    Canvas* Ham1;
    Canvas* Ham2;
    QLabel* TApplic;
    QLabel* StaticText2;
    QLabel* StaticText3;
    QLabel* TVersion;

protected:
    void Event_Open() override;
    bool Event_MouseDown(int x, int y) override;
    void Event_MouseUp(int x, int y) override;

private:
    void Ham1_MouseUp();
    void Ham2_MouseUp();
    void TApplic_Open();
    void StaticText3_MouseUp();
};
