#include "ChampTexte.h"

#include <QMimeData>
#include <QPalette>

ChampTexte::ChampTexte(QWidget* parent) : QPlainTextEdit(parent) {
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setLineWrapMode(QPlainTextEdit::WidgetWidth);
    // Tab moves the focus on rather than going into the text.
    setTabChangesFocus(true);
    setFrameShape(QFrame::StyledPanel);
    QPalette p = palette();
    p.setColor(QPalette::Base, Qt::white);
    p.setColor(QPalette::Text, Qt::black);
    setPalette(p);
}

void ChampTexte::SetText(const std::string& text) { SetText(QString::fromStdString(text)); }

void ChampTexte::SetText(const QString& text) {
    setPlainText(text);
    // Show the newest lines: the log grows at the bottom.
    moveCursor(QTextCursor::End);
    ensureCursorVisible();
}

void ChampTexte::insertFromMimeData(const QMimeData* source) {
    // An empty clipboard on X is data with no format at all, and Qt 6.4 reads the first format
    // without looking: every paste (keys, middle click, menu) ends here, so it stops here too.
    if (!source || source->formats().isEmpty()) return;
    QPlainTextEdit::insertFromMimeData(source);
}
