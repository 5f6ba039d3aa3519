#include "WHelp.h"

#include "AppVersion.h"
#include "AuthorSite.h"
#include "ControlFont.h"
#include "Desktop.h"
#include "EndOfLine.h"
#include "PictureItems.h"
#include "StaticText.h"

#include <QLabel>
#include <QMouseEvent>
#include <functional>

namespace {
// A label that takes its own clicks, so that they do not reach the window and close it.
class ClickableLabel : public QLabel {
public:
    ClickableLabel(const QString& text, QWidget* parent, std::function<void()> onClick)
        : QLabel(text, parent), onClick_(std::move(onClick)) {}

protected:
    void mousePressEvent(QMouseEvent* event) override { event->accept(); }
    void mouseReleaseEvent(QMouseEvent* event) override {
        event->accept();
        if (rect().contains(event->position().toPoint())) onClick_();
    }

private:
    std::function<void()> onClick_;
};

void Place(QLabel* label, QRect geometry, int size, Qt::Alignment align, const QColor& colour) {
    PlaceStaticText(label, geometry, ControlFont(QStringLiteral("System"), size), align | Qt::AlignTop,
                    colour);
}

QString AboutText() {
    // Paragraphs are parted by an empty line.
    const QString gap = QLatin1String(EndOfLine) + QLatin1String(EndOfLine);
    return QStringLiteral(
               "Jeux de type Brassenay Quatre. Le moteur ne marche que sur analyse de position courante "
               "sans chercher dans le futur. Ce qui ne le rend pas invincible. Mais il n'est pas "
               "facile pour autant.") +
           gap +
           QStringLiteral(
               "Cette petite application a été écrite sur un Macintosh avec le langage ZENTRAFOR.") +
           gap + QStringLiteral("Gratuite, fonctionne sur Mac.") + gap +
           QStringLiteral("Vous pouvez aussi rechercher un jeu concurrent : Dornwig, dont le moteur est très "
                          "différent.");
}
} // namespace

WHelp::WHelp() {
    SetTitle(QStringLiteral("Sur mac ?"));
    setWindowFlags(Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint |
                   Qt::WindowMinMaxButtonsHint);
    SetSize(294, 345);
    SetMinSize(64, 64);
    SetMaxSize(32000, 32000);

    QWidget* content = Content();
    Ham1 = new Canvas(content);
    Ham1->setGeometry(13, 14, 27, 38);
    Ham2 = new Canvas(content);
    Ham2->setGeometry(253, 14, 27, 38);
    TApplic = new QLabel(QStringLiteral("Kestrova"), content);
    Place(TApplic, QRect(52, 15, 189, 33), 20, Qt::AlignHCenter, Qt::black);
    StaticText2 = new QLabel(AboutText(), content);
    Place(StaticText2, QRect(13, 78, 267, 218), 12, Qt::AlignLeft, Qt::black);
    StaticText2->setWordWrap(true);
    StaticText3 = new ClickableLabel(AuthorMailAddress(), content, [this] { StaticText3_MouseUp(); });
    Place(StaticText3, QRect(96, 299, 100, 20), 12, Qt::AlignHCenter, QColor(0x02, 0x00, 0xD5));
    TVersion = new QLabel(content);
    Place(TVersion, QRect(140, 48, 100, 20), 10, Qt::AlignRight, Qt::black);

    connect(Ham1, &Canvas::clicked, this, [this] { Ham1_MouseUp(); });
    connect(Ham2, &Canvas::clicked, this, [this] { Ham2_MouseUp(); });
}

void WHelp::Event_Open() {
    TApplic_Open();
    TVersion->setText(ShortVersion());
    Ham1->SetBackdrop(Hamster());
    Ham2->SetBackdrop(Hamster());
}

bool WHelp::Event_MouseDown(int, int) { return true; }

void WHelp::Event_MouseUp(int, int) { Close(); }

void WHelp::Ham1_MouseUp() { ShowURL(AuthorHomePage()); }

void WHelp::Ham2_MouseUp() { ShowURL(AuthorHomePage()); }

void WHelp::TApplic_Open() { TApplic->setText(LongVersion()); }

void WHelp::StaticText3_MouseUp() { ShowURL(AuthorMailLink()); }
