#include "ChampTexte.h"

#include <QAbstractTextDocumentLayout>
#include <QMimeData>
#include <QPalette>
#include <QTextBlock>
#include <QTextBoundaryFinder>

namespace {

// Wrapping at word boundaries, Qt looks for the end of an unbroken run again for each line it
// lays out inside it: a run of n characters costs about n * n / (2 * characters a line), and one
// pasted megabyte without a break held the game for minutes. Past this cost in one paragraph
// (a run of 10,000 characters, about 20 ms in the log's narrow field) the field wraps anywhere,
// which costs the same for each character. No text a player writes comes near it.
constexpr qsizetype kSuiteMax = 10000;

// Whether a paragraph of the text costs more than that to lay out word by word. A text no longer
// than that run cannot: the squares of its runs add up to no more than its length squared.
bool TropLongAuMot(const QString& texte) {
    if (texte.size() <= kSuiteMax) return false;
    QTextBoundaryFinder coupures(QTextBoundaryFinder::Line, texte);
    qint64 charge = 0;
    qsizetype debut = 0;
    for (qsizetype fin = coupures.toNextBoundary(); fin > 0; fin = coupures.toNextBoundary()) {
        charge += qint64(fin - debut) * (fin - debut);
        if (charge > qint64(kSuiteMax) * kSuiteMax) return true;
        if (coupures.boundaryReasons() & QTextBoundaryFinder::MandatoryBreak) charge = 0;
        debut = fin;
    }
    return false;
}

} // namespace

ChampTexte::ChampTexte(QWidget* parent) : QPlainTextEdit(parent) {
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setLineWrapMode(QPlainTextEdit::WidgetWidth);
    setWordWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    // Tab moves the focus on rather than going into the text.
    setTabChangesFocus(true);
    setFrameShape(QFrame::StyledPanel);
    QPalette p = palette();
    p.setColor(QPalette::Base, Qt::white);
    p.setColor(QPalette::Text, Qt::black);
    setPalette(p);
    // Typing, undoing and the log's own updates: told before the field lays the text out.
    connect(document(), &QTextDocument::contentsChange, this,
            [this](int position, int, int ajoutes) { mChoisitRetour(position, ajoutes); });
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
    // Chosen before the text goes in: a change of wrapping once it is in lays it out once more.
    if (source->hasText() && TropLongAuMot(source->text())) {
        setWordWrapMode(QTextOption::WrapAnywhere);
        // The change drops every paragraph's layout, and Qt measures the paragraph that takes the
        // text before laying it out: measured now, while it is short, not once the text is in.
        document()->documentLayout()->blockBoundingRect(textCursor().block());
    }
    QPlainTextEdit::insertFromMimeData(source);
}

void ChampTexte::mChoisitRetour(int position, int ajoutes) {
    // Wrapping at words, only the paragraphs just changed can have become too long; wrapping
    // anywhere, it goes back to words once no paragraph is.
    const bool partout = wordWrapMode() == QTextOption::WrapAnywhere;
    const QTextDocument& texte = *document();
    const QTextBlock fin = partout ? texte.lastBlock() : texte.findBlock(position + ajoutes);
    bool tropLong = false;
    for (QTextBlock b = partout ? texte.firstBlock() : texte.findBlock(position); b.isValid() && !tropLong;
         b = b == fin ? QTextBlock() : b.next())
        tropLong = b.length() > kSuiteMax && TropLongAuMot(b.text());
    if (tropLong != partout)
        setWordWrapMode(tropLong ? QTextOption::WrapAnywhere : QTextOption::WrapAtWordBoundaryOrAnywhere);
}
