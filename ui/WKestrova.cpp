#include "WKestrova.h"

#include "App.h"
#include "BoardGeometry.h"
#include "Canvas.h"
#include "ChampTexte.h"
#include "Desktop.h"
#include "DoubleToInteger.h"
#include "FichierPreference.h"
#include "MenuBar1.h"
#include "PictureItems.h"
#include "Ticks.h"
#include "WEgalite.h"
#include "WGagnant.h"
#include "WJournal.h"
#include "WQuiDoitJouer.h"
#include "WTrace.h"
#include "WindowEnginePlatform.h"

#include <QCheckBox>

namespace {
// Shown in place of a background when the stored background number names none.
const QColor kPlainBoardColour(0x1f, 0x4e, 0x9c);
} // namespace

WKestrova::WKestrova()
    : enginePlatform_(std::make_unique<WindowEnginePlatform>()), PPlateau(*enginePlatform_) {
    SetMenuBar(MenuBar1Instance());
    SetTitle(QStringLiteral("Kestrova Béta"));
    SetMinSize(390, 330);
    SetMaxSize(32000, 32000);
    SetSize(672, 590);

    PPlateau.MDessinePlateau = [this] { PPlateau_MDessinePlateau(); };
    PPlateau.MDessineLaCase = [this](std::int32_t c, std::int32_t r) { PPlateau_MDessineLaCase(c, r); };
    PPlateau.MGagnant = [this](bool rouge, bool bleu) { PPlateau_MGagnant(rouge, bleu); };
    PPlateau.MEgalite = [this] { PPlateau_MEgalite(); };
    PPlateau.MCaseAJouer = [this](UneCase& cell) { PPlateau_MCaseAJouer(cell); };

    // Lies wholly above the content area: only the trace window's developers reach it.
    BtTest = new QCheckBox(QStringLiteral("Mode Test"), Content());
    BtTest->setObjectName(QStringLiteral("BtTest"));
    BtTest->setGeometry(624, -49, 89, 20);
    // Out of sight, so out of the keyboard's reach too: Space or Tab must never tick it.
    BtTest->setFocusPolicy(Qt::NoFocus);
    connect(BtTest, &QCheckBox::toggled, this, [this] { BtTest_Action(); });

    AddMenuHandlers();
}

WKestrova::~WKestrova() {
    PPlateau.PChJournal = nullptr;
    PPlateau.MDessinePlateau = nullptr;
    PPlateau.MDessineLaCase = nullptr;
    PPlateau.MGagnant = nullptr;
    PPlateau.MEgalite = nullptr;
    PPlateau.MCaseAJouer = nullptr;
}

// ---- Open and Close ----

void WKestrova::Event_Open() {
    SetTitle(AppInstance().LongVersion());
    // The background thumbnails wait for the menus (Event_EnableMenuItems): they need all four
    // backgrounds, and the first frame only the one it shows.
    PTopChoixPion = DoubleToInteger(FichierPreference::mPrefNbLit(QStringLiteral("NoDePion"), 0));
    PPlateau.PNiveau = DoubleToInteger(FichierPreference::mPrefNbLit(QStringLiteral("NiveauDeJeu"), 0));
    mChoixLeFond(DoubleToInteger(FichierPreference::mPrefNbLit(QStringLiteral("NoDeFond"), 0)));
    PTopRetailProp = FichierPreference::mPrefBoolLit(QStringLiteral("RetailProp"), false);
    mChoixImagePion(PTopChoixPion);
    mDisplayCouleurPrep();
    PPlateau.MInitPlateau();
    MInitialisePlateau();
    MDessin(GetGraphics());
}

void WKestrova::Event_Close() {
    FichierPreference::mPrefNbIntegerEcrit(PTopChoixPion, QStringLiteral("NoDePion"));
    FichierPreference::mPrefNbIntegerEcrit(PPlateau.PNiveau, QStringLiteral("NiveauDeJeu"));
    FichierPreference::mPrefNbIntegerEcrit(PNoDeFond, QStringLiteral("NoDeFond"));
    FichierPreference::mPrefBoolEcrit(PTopRetailProp, QStringLiteral("RetailProp"));
    Quit(0);
}

// ---- Resizing, mouse, paint ----

void WKestrova::Event_Resizing() {
    if (!PPlateau.PCase(0, 0)) return; // not opened yet
    MDisplayCouleur();
}

void WKestrova::Event_Resized() {
    if (!PPlateau.PCase(0, 0)) return; // not opened yet
    if (PTopRetailProp) {
        const std::int32_t w = DoubleToInteger(BoardGeometry::ProportionalWidth(Height()));
        if (w != Width()) SetWidth(w);
    }
    MDisplayCouleur();
}

bool WKestrova::Event_MouseDown(int, int) { return true; }

void WKestrova::Event_MouseUp(int x, int) {
    if (!(Ticks() > PTicks)) return;
    PTicks = std::int32_t(Ticks() + 20);
    std::int32_t column = DoubleToInteger(double(x - PRetraitFondX) / double(PLarg));
    if (column > 6) column = 6;
    if (column < 0) column = 0;
    QPointer<WKestrova> self(this);
    PPlateau.MJoue(column, TopAJouerRouge, TopAJouerBleu);
    if (!self) return;
    if (PPlateau.PCaseJouee) {
        TopAJouerRouge = PPlateau.PCaseJouee->MSiBleu();
        TopAJouerBleu = !TopAJouerRouge;
    }
    MDisplayCouleur();
    if (PSolo && TopAJouerRouge) MAutomateSuivant();
}

void WKestrova::Event_Paint(Graphics&) {
    if (!PBlocage) MDessin(GetGraphics());
}

// ---- Game ----

void WKestrova::MInitialisePlateau() {
    TopFinPartie = false;
    PPlateau.MNouvellePartie();
    MDessinePlateau(GetGraphics());
    TopDemarreRouge = !TopDemarreRouge;
    TopAJouerRouge = TopDemarreRouge;
    TopAJouerBleu = !TopDemarreRouge;
    MDisplayCouleur();
    if (PSolo && TopAJouerRouge) MAutomateSuivant();
}

void WKestrova::MAutomateSuivant() {
    QPointer<WKestrova> self(this);
    PPlateau.MAutomateSuivant();
    if (!self) return;
    if (PWTrace) PWTrace->ChTrace->SetText(QString::fromStdString(PPlateau.TraceText));
}

void WKestrova::PPlateau_MCaseAJouer(UneCase& cell) {
    PPlateau.MJoue(cell.PX, true, false);
    if (PPlateau.PCaseJouee) {
        TopAJouerRouge = PPlateau.PCaseJouee->MSiBleu();
        TopAJouerBleu = !TopAJouerRouge;
    }
    MDisplayCouleur();
}

void WKestrova::PPlateau_MGagnant(bool rouge, bool) {
    TopFinPartie = true;
    WGagnant& dialog = WindowInstance<WGagnant>();
    dialog.ChGain->SetBackdrop(rouge ? PCoulRouge : PCoulBleu);
    dialog.Show();
}

void WKestrova::PPlateau_MEgalite() {
    TopFinPartie = true;
    WindowInstance<WEgalite>().Show();
}

void WKestrova::PPlateau_MDessineLaCase(std::int32_t column, std::int32_t row) {
    MDessinePionSurPlateau(GetGraphics(), column, row);
}

void WKestrova::PPlateau_MDessinePlateau() { MDessin(GetGraphics()); }

void WKestrova::MDisplayCouleur() {
    if (IsClosing()) return; // nothing to show while the game shuts down
    WQuiDoitJouer& strip = WindowInstance<WQuiDoitJouer>();
    if (!PSolo && !TopFinPartie) {
        strip.SetVisible(true);
        strip.ChCouleur->SetBackdrop(TopAJouerBleu ? PCoulBleu : PCoulRouge);
    } else {
        strip.SetVisible(false);
    }
}

void WKestrova::mJournal() {
    PJournal = !PJournal;
    if (PJournal) {
        WJournal& log = WindowInstance<WJournal>();
        log.Show();
        PPlateau.PChJournal = log.ChText;
        log.ChText->SetText(QString::fromStdString(PPlateau.PJournal));
    } else if (WJournal* log = ExistingWindow<WJournal>()) {
        // Hidden, not closed: the board keeps the hidden field current.
        log->Hide();
    }
}

void WKestrova::BtTest_Action() {
    if (BtTest->isChecked()) {
        WTrace& trace = WindowInstance<WTrace>();
        trace.Show();
        PWTrace = &trace;
        trace.ChTrace->SetText(QString::fromStdString(PPlateau.TraceText));
    } else if (PWTrace) {
        PWTrace->Close();
    }
}

// ---- Drawing ----

void WKestrova::MDessin(Graphics g) { MDessinePlateau(g); }

void WKestrova::MDessinePlateau(Graphics g) {
    const std::int32_t W = g.Width();
    const std::int32_t H = g.Height();
    if (!PFond || PFond->Width() != W || PFond->Height() != H) {
        PFond = NewPicture(W, H, 32);
        PFondPlateau = NewPicture(W, H, 32);
        Graphics background(*PFondPlateau);
        if (PFondCourant) {
            background.DrawPicture(*PFondCourant, 0, 0, W, H, 0, 0, BoardGeometry::kReferenceWidth,
                                   BoardGeometry::kReferenceHeight);
        } else {
            background.ForeColor = kPlainBoardColour;
            background.FillRect(0, 0, W, H);
        }
    }
    using namespace BoardGeometry;
    PRetraitFondX = DoubleToInteger(ScaledX(W, kMargin));
    PRetrait2xFondX = DoubleToInteger(ScaledX(W, 2 * kMargin));
    PRetrait2xFondY = DoubleToInteger(ScaledY(H, 2 * kMargin));
    PDecalFondX = DoubleToInteger(ScaledX(W, kMargin));
    PDecalFondY = DoubleToInteger(ScaledY(H, kMargin));
    const std::int32_t A = PFond->Width() - PRetrait2xFondX;
    const std::int32_t B = PFond->Height() - PRetrait2xFondY;
    PLarg = DoubleToInteger(A / double(kColumns));
    PHaut = DoubleToInteger(B / double(kRows));
    PLargFl = A / double(kColumns);
    PHautFl = B / double(kRows);
    if (!PPionBleu || PPionBleu->Width() != PLarg - 2 * kTokenInset ||
        PPionBleu->Height() != PHaut - 2 * kTokenInset)
        mPrepareLesPions(PLarg, PHaut);
    Graphics(*PFond).DrawPicture(*PFondPlateau, 0, 0);
    if (PPlateau.PCase(0, 0)) {
        for (std::int32_t column = 0; column < kColumns; ++column)
            for (std::int32_t row = 0; row < kRows; ++row)
                if (PPlateau.PCase(column, row)->MSiOccup()) MDessinePionSurImage(column, row);
    }
    g.DrawPicture(*PFond, 0, 0);
}

void WKestrova::MDessinePionSurImage(std::int32_t column, std::int32_t row) {
    if (!PFond || !PFondPlateau || !PPionBleu || !PPionRouge) return;
    const std::int32_t x = DoubleToInteger(BoardGeometry::CellLeft(column, PLargFl, PDecalFondX));
    const std::int32_t y = DoubleToInteger(BoardGeometry::CellTop(row, PHautFl, PDecalFondY));
    Graphics frame(*PFond);
    frame.DrawPicture(*PFondPlateau, x, y, PLarg, PHaut, x, y, PLarg, PHaut);
    const UneCase* cell = PPlateau.PCase(column, row);
    constexpr int inset = BoardGeometry::kTokenInset;
    if (cell->PBleu)
        frame.DrawPicture(*PPionBleu, x + inset, y + inset);
    else if (cell->PRouge)
        frame.DrawPicture(*PPionRouge, x + inset, y + inset);
}

void WKestrova::MDessinePionSurPlateau(Graphics g, std::int32_t column, std::int32_t row) {
    PBlocage = true;
    MDessinePionSurImage(column, row);
    if (PFond) g.DrawPicture(*PFond, 0, 0);
    UpdateNow();
    PBlocage = false;
}

namespace {
void DrawScaled(const PictureRef& source, Picture& target, std::int32_t w, std::int32_t h) {
    if (source) Graphics(target).DrawPicture(*source, 0, 0, w, h, 0, 0, source->Width(), source->Height());
}
} // namespace

void WKestrova::mPrepareLesPions(std::int32_t w, std::int32_t h) {
    const std::int32_t tw = w - 2 * BoardGeometry::kTokenInset;
    const std::int32_t th = h - 2 * BoardGeometry::kTokenInset;
    PPionBleu = NewPicture(tw, th, 32);
    PPionRouge = NewPicture(tw, th, 32);
    DrawScaled(Bleu, *PPionBleu, tw, th);
    DrawScaled(BleuFond, PPionBleu->Mask(), tw, th);
    DrawScaled(Rouge, *PPionRouge, tw, th);
    DrawScaled(RougeFond, PPionRouge->Mask(), tw, th);
}

// ---- Themes and backgrounds ----

void WKestrova::mChoixImagePion(std::int32_t n) {
    PTopChoixPion = n;
    const int row = n == 0 ? 0 : (n == 1 ? 1 : 2);
    // The pictures named Bleu draw the red side, and those named Rouge the blue side.
    switch (row) {
    case 0:
        Rouge = VlekBleu();
        RougeFond = VlekBleuFond();
        Bleu = VlekRouge();
        BleuFond = VlekRougeFond();
        break;
    case 1:
        Rouge = PokerBleu();
        RougeFond = PokerBleuFond();
        Bleu = PokerRouge();
        BleuFond = PokerRougeFond();
        break;
    default:
        Rouge = Poker2Bleu();
        RougeFond = Poker2BleuFond();
        Bleu = Poker2Rouge();
        BleuFond = Poker2RougeFond();
        break;
    }
}

namespace {
PictureRef Background(std::int32_t n) {
    switch (n) {
    case 0:
        return FondQuatre4b();
    case 1:
        return FondCinq();
    case 2:
        return FondSix();
    case 3:
        return FondSept();
    default:
        return nullptr;
    }
}
} // namespace

void WKestrova::mChoixLeFond(std::int32_t n) {
    PFond = nullptr;
    PNoDeFond = n;
    if (n >= 0 && n <= 3) PFondCourant = Background(n);
}

void WKestrova::mPrepMiniFond() {
    for (std::int32_t i = 0; i <= 3; ++i) {
        PFondDemo[i] = NewPicture(100, 100, 32);
        if (PictureRef background = Background(i))
            PFondDemo[i]->GetGraphics().DrawPicture(*background, 0, 0, 100, 100, 0, 0, 350, 350);
        // A background that is not shown was read for its thumbnail only.
        ReleaseUnusedPixels();
    }
}

void WKestrova::mDisplayCouleurPrep() {
    PCoulBleu = NewPicture(296, 35, 32);
    PCoulRouge = NewPicture(296, 35, 32);
    for (Picture* strip : {PCoulBleu.get(), PCoulRouge.get()}) {
        Graphics mask(strip->Mask());
        mask.ForeColor = QColor(0xFF, 0xFF, 0xFF);
        mask.FillRect(0, 0, strip->Width(), strip->Height());
    }
    auto place = [](const PictureRef& source, Picture& target, int k) {
        if (source)
            Graphics(target).DrawPicture(*source, 37 * k, 0, 35, 35, 0, 0, source->Width(), source->Height());
    };
    for (int k = 0; k <= 7; ++k) {
        place(Bleu, *PCoulBleu, k);
        place(Rouge, *PCoulRouge, k);
        place(BleuFond, PCoulBleu->Mask(), k);
        place(RougeFond, PCoulRouge->Mask(), k);
    }
}
