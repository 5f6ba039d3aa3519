#pragma once
// The secondary windows are top-level, never modal and of a fixed size, with a title bar, a
// minimise box, no maximise box, and a close box only where asked.
class Window;

void FenetreFixe(Window& window, int width, int height, bool closeBox);
