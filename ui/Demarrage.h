#pragma once
// Start-up and tear-down of the game around the event loop.

// Loads Qt's own texts in French, creates the application object and its menu bar, binds the
// about item, opens the application, then creates and shows the main window.
void LanceApplication();
// Closes the application object (which saves the preferences) and releases, in order, the
// pictures, the windows, the menu bar, the preferences store and Qt's French texts.
void TermineApplication();
// The whole program: start-up, event loop, tear-down; returns the exit status.
int KestrovaMain(int argc, char** argv);
