#pragma once
// Static texts as the window layouts state them: position, font, alignment and text colour.
#include <QLabel>

inline void SetTextColour(QLabel* label, const QColor& colour) {
    QPalette palette = label->palette();
    palette.setColor(QPalette::WindowText, colour);
    label->setPalette(palette);
}

inline void PlaceStaticText(QLabel* label, QRect geometry, const QFont& font, Qt::Alignment align,
                            const QColor& colour = Qt::black) {
    label->setGeometry(geometry);
    label->setFont(font);
    label->setAlignment(align);
    SetTextColour(label, colour);
}
