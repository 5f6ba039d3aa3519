#pragma once
// The "Nouvelle Partie" button of the end-of-game dialogs, and the dialogs' shared action.
class QPushButton;
class Window;

// A default button: Return or Enter anywhere in the dialog presses it.
QPushButton* BoutonNouvellePartie(Window& dialog, int left, int top);

// Hides the dialog, starts the next game, then closes the dialog.
void NouvellePartieDepuis(Window& dialog);
