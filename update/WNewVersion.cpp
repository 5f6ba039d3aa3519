#include "WNewVersion.h"

#include "AuthorSite.h"
#include "ControlFont.h"
#include "Desktop.h"
#include "EndOfLine.h"
#include "HTTPSocket.h"
#include "ListeApplications.h"
#include "StaticText.h"
#include "UpdateCheckSettings.h"

#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QTimer>
#include <QTreeView>

namespace {
const QString kListPath = QStringLiteral("/Zentrafor/Telecharg/TalvoVersion.txt");
const QString kWaiting = QStringLiteral("CONTROLE INTERNET EN ATTENTE DE REPONSE !");

QLabel* NewLabel(QWidget* parent, const QString& text, QRect geometry, const QFont& font,
                 Qt::Alignment align) {
    auto* label = new QLabel(text, parent);
    PlaceStaticText(label, geometry, font, align | Qt::AlignTop);
    return label;
}

QPushButton* NewButton(QWidget* parent, const QString& text, QRect geometry) {
    auto* button = new QPushButton(text, parent);
    button->setGeometry(geometry);
    button->setFont(ControlFont(QStringLiteral("System"), 12));
    button->setAutoDefault(false);
    button->setDefault(false);
    return button;
}
} // namespace

WNewVersion::WNewVersion() {
    SetTitle(QStringLiteral("Recherche mise à jour"));
    // Close and minimise boxes, no maximise box; the size is fixed.
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint |
                   Qt::WindowMinimizeButtonHint);
    SetSize(412, 463);
    // On the window itself, so that the window manager is told a maximum as well as a minimum.
    setFixedSize(412, 463);

    QWidget* content = Content();
    const QFont system12 = ControlFont(QStringLiteral("System"), 12);
    StaticText1 = NewLabel(content, QStringLiteral("Votre version actuelle :"), QRect(20, 14, 225, 20),
                           system12, Qt::AlignLeft);
    ChApplic = NewLabel(content, QStringLiteral("Label:"), QRect(20, 38, 361, 40),
                        ControlFont(QStringLiteral("Arial"), 30, true), Qt::AlignHCenter);
    BtPageTelech = NewButton(content, QStringLiteral("Page de Téléchargement"), QRect(195, 166, 196, 20));
    ChMess = NewLabel(content, kWaiting, QRect(6, 105, 397, 45), ControlFont(QStringLiteral("System"), 14),
                      Qt::AlignHCenter);
    ChMess->setWordWrap(true);
    BtNewEssai = NewButton(content, QStringLiteral("Nouveau Contrôle"), QRect(22, 166, 154, 20));

    Timer1 = new QTimer(this);
    Timer1->setSingleShot(true);
    Timer1->setInterval(20000);

    GroupBox1 = new QGroupBox(QStringLiteral("Autres applications à chercher sur le site"), content);
    GroupBox1->setGeometry(14, 202, 384, 249);
    GroupBox1->setFont(system12);
    LBApplic = new QTreeView(GroupBox1);
    LBApplic->setGeometry(21 - 14, 224 - 202, 370, 219); // the group box's own coordinates
    LBApplic->setFont(system12);
    LBApplicLignes = new ListeApplications(LBApplic);
    LBApplic->setModel(LBApplicLignes);
    LBApplic->setRootIsDecorated(false);
    LBApplic->setItemsExpandable(false);
    LBApplic->setSortingEnabled(false); // a click on a heading never reorders the rows
    LBApplic->setSelectionMode(QAbstractItemView::SingleSelection);
    LBApplic->setDragEnabled(false);
    LBApplic->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    LBApplic->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    QHeaderView* header = LBApplic->header();
    header->setSectionsMovable(false);
    header->setStretchLastSection(false);
    header->setSectionResizeMode(QHeaderView::Fixed);
    const int inner = LBApplic->width() - 2 * LBApplic->frameWidth();
    const int percents[] = {48, 20, 33};
    for (int column = 0; column < 3; ++column)
        LBApplic->setColumnWidth(column, inner * percents[column] / 100);

    connect(BtPageTelech, &QPushButton::clicked, this, &WNewVersion::BtPageTelech_Action);
    // Queued: the check waits in a nested loop, during which the window (and so the button that
    // was clicked) may be destroyed; it must not run inside the button's own click handling.
    connect(BtNewEssai, &QPushButton::clicked, this, &WNewVersion::BtNewEssai_Action, Qt::QueuedConnection);
    connect(Timer1, &QTimer::timeout, this, &WNewVersion::Timer1_Action);
    Timer1->start();
}

void WNewVersion::Event_Open() { ChApplic->setText(RunningLongVersion()); }

void WNewVersion::Event_Close() {
    // Ends the check waiting on this window; it then returns without touching it.
    if (pendingGet_) pendingGet_->Close();
}

void WNewVersion::MOuvrir() {
    QPointer<WNewVersion> self(this);
    Show();
    MContrlDerVersion();
    if (self && !self->IsClosing() && !self->isVisible()) self->Close();
}

void WNewVersion::MContrlDerVersion() {
    QPointer<WNewVersion> self(this);
    SetTextColour(ChMess, Qt::black);
    BtNewEssai->setEnabled(false);

    const UpdateCheckSettings& settings = CurrentUpdateCheckSettings();
    HTTPSocket socket;
    socket.Yield = true;
    socket.Port = settings.port;
    socket.MaxBodyBytes = settings.maxReplyBytes;
    socket.TotalLimit = settings.totalLimit;
    ChMess->setText(kWaiting);
    // The newest check's result is the one shown: an older one still waiting ends without a word.
    if (pendingGet_) pendingGet_->Close();
    pendingGet_ = &socket;
    const QString reply =
        socket.Get(QStringLiteral("http://") + settings.host + kListPath, settings.idleTimeout);
    // Destroyed while waiting, or overtaken: nothing left to report to.
    if (!self || pendingGet_ != &socket) return;
    pendingGet_ = nullptr;
    socket.Close();
    if (IsClosing()) return;

    const QString found = MTraitReponse(reply);
    const QString running = RunningLongVersion();
    if (found == running) {
        ChMess->setText(QStringLiteral("VOUS AVEZ LA DERNIERE VERSION !"));
        SetTextColour(ChMess, Qt::black);
    } else if (found.left(5) == running.left(5)) {
        // Any other listed version counts as new: versions are compared, not ordered.
        // A label breaks its line only on a line feed, not on a lone carriage return.
        ChMess->setText(QStringLiteral("UNE NOUVELLE VERSION EST DISPONIBLE : ") + QLatin1String(EndOfLine) +
                        found);
        SetTextColour(ChMess, QColor(255, 0, 0));
        Show();
    } else {
        ChMess->setText(QStringLiteral("PROBLEME DE CONNEXION ! "));
        SetTextColour(ChMess, Qt::black);
    }
    BtNewEssai->setEnabled(true);
}

QString WNewVersion::MTraitReponse(const QString& reponse) {
    const QString ownName = MExtractLeNom(RunningLongVersion());
    QString text = reponse;
    text.replace(QLatin1String("\r\n"), QLatin1String("\r"));
    text.replace(QLatin1Char('\n'), QLatin1Char('\r'));
    LBApplicLignes->MRemplit(text); // an empty reply holds no line
    QString found;
    for (int row = 0; row < LBApplicLignes->rowCount(); ++row) {
        const QString longVersion = ListeApplications::MChamp(LBApplicLignes->MLigne(row), 1).toString();
        if (MExtractLeNom(longVersion) == ownName) found = longVersion; // the last wins
    }
    return found;
}

QString WNewVersion::MExtractLeNom(const QString& s) {
    const QString lastWord = s.section(QLatin1Char(' '), -1);
    return s.left(s.size() - lastWord.size());
}

void WNewVersion::BtPageTelech_Action() { ShowURL(AuthorHomePage() + QStringLiteral("/Zentrafor")); }

void WNewVersion::BtNewEssai_Action() { MContrlDerVersion(); }

void WNewVersion::Timer1_Action() {
    if (!isVisible()) Close();
}
