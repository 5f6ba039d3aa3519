#pragma once
// Fonts of controls as the window layouts state them: a family ("System" for the platform's own)
// and a size in pixels, 0 for the standard size.
#include <QApplication>
#include <QFont>

inline QFont ControlFont(const QString& family, int size, bool bold = false) {
    QFont font = QApplication::font();
    if (family != QLatin1String("System")) font.setFamily(family);
    if (size > 0) font.setPixelSize(size);
    font.setBold(bold);
    return font;
}
