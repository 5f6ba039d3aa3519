#pragma once
#include "Menu.h"

// The game's one menu bar, shared by the application and the main window.
class MenuBar1 : public MenuBar {
    Q_OBJECT
public:
    MenuBar1();
    void Untitled0(); // "Fichier"
    void Untitled1(); // "Niveaux"
    void Untitled2(); // "Pions"
    void Untitled3(); // "Fonds"
};

// Built on first use, kept until tear-down.
MenuBar1& MenuBar1Instance();
void ReleaseMenuBar1();
