#include "FenetreFixe.h"

#include "Window.h"

void FenetreFixe(Window& window, int width, int height, bool closeBox) {
    Qt::WindowFlags flags =
        Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowMinimizeButtonHint;
    if (closeBox) flags |= Qt::WindowCloseButtonHint;
    window.setWindowFlags(flags);
    window.setWindowModality(Qt::NonModal);
    // These windows carry no menu bar, so the content is the whole window.
    window.setFixedSize(width, height);
}
