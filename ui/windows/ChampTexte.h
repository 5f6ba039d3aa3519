#pragma once
// A scrolling plain-text field. The board writes its move log straight into it, so it is also
// the engine's log sink.
#include "JournalSink.h"

#include <QPlainTextEdit>
#include <QString>
#include <string>

class ChampTexte : public QPlainTextEdit, public JournalSink {
    Q_OBJECT
public:
    explicit ChampTexte(QWidget* parent = nullptr);

    void SetText(const std::string& text) override;
    void SetText(const QString& text);
    void SetText(const char* text) { SetText(QString::fromUtf8(text)); }
    QString Text() const { return toPlainText(); }

protected:
    void insertFromMimeData(const QMimeData* source) override;

private:
    void mChoisitRetour(int position, int ajoutes);
};
