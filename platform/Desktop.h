#pragma once
// Desktop side effects (beep, message box, opening a link, quitting) go through one replaceable
// object, so that tests can watch them instead of disturbing the desktop.
#include <QString>

class Desktop {
public:
    virtual ~Desktop() = default;
    virtual void Beep();
    virtual void MsgBox(const QString& text);
    virtual void ShowURL(const QString& address);
    virtual void Quit(int code);
};

// Replaces the desktop (nullptr puts the real one back). The caller keeps ownership.
void SetDesktop(Desktop* desktop);
Desktop& CurrentDesktop();

void Beep();
void MsgBox(const QString& text);
void ShowURL(const QString& address);
void Quit(int code = 0);
