#include "UneCase.h"

#include "DoubleToInteger.h"
#include "EnginePlatform.h"

namespace {

// A line through a cell: the link walked first, then the link walked second.
struct Ligne {
    UneCase* UneCase::*moins;
    UneCase* UneCase::*plus;
};

// Horizontal, vertical, rising diagonal, falling diagonal: the order every evaluation takes them in.
constexpr int kHorizontale = 0;
constexpr int kVerticale = 1;
constexpr int kMontante = 2;
constexpr int kDescendante = 3;
constexpr Ligne kLignes[4] = {
    {&UneCase::PCaseHorMoins, &UneCase::PCaseHorPlus},
    {&UneCase::PCaseVerMoins, &UneCase::PCaseVerPlus},
    {&UneCase::PCaseMonMoins, &UneCase::PCaseMonPlus},
    {&UneCase::PCaseDesMoins, &UneCase::PCaseDesPlus},
};

// Cells taken from `depart` along `lien` while `test` holds, at most three.
template <class Test> int Pas(const UneCase& depart, UneCase* UneCase::*lien, Test test) {
    int n = 0;
    for (const UneCase* c = depart.*lien; n < 3 && test(*c); c = c->*lien) ++n;
    return n;
}

// Best count over the lines taking part; the tie counter says whether another line matched it.
struct Meilleur {
    std::int32_t compte = 0;
    int egaux = 0;
    void Voir(std::int32_t n) {
        if (n == compte) ++egaux;
        if (n > compte) {
            compte = n;
            egaux = 0;
        }
    }
    bool Mult() const { return egaux > 0; }
};

bool R(const UneCase& c) { return c.MSiRouge(); }
bool B(const UneCase& c) { return c.MSiBleu(); }
bool E(const UneCase& c) { return c.mSiPurBlanc(); }

// The cells at positions -3..-1 and +1..+3 of one line.
struct Positions {
    const UneCase* m[4]; // m[1..3]
    const UneCase* p[4]; // p[1..3]
    Positions(const UneCase& c, const Ligne& l) {
        m[1] = c.*l.moins;
        m[2] = m[1]->*l.moins;
        m[3] = m[2]->*l.moins;
        p[1] = c.*l.plus;
        p[2] = p[1]->*l.plus;
        p[3] = p[2]->*l.plus;
    }
};

bool MotifRouge(const Positions& q) {
    return (E(*q.m[3]) && R(*q.m[2]) && R(*q.m[1]) && E(*q.p[1])) ||
           (E(*q.m[1]) && R(*q.p[1]) && R(*q.p[2]) && E(*q.p[3])) ||
           (E(*q.m[2]) && R(*q.m[1]) && R(*q.p[1]) && E(*q.p[2]));
}

// The blue pairs leave the near end unexamined, unlike red's.
bool MotifBleu(const Positions& q) {
    return (E(*q.m[3]) && B(*q.m[2]) && B(*q.m[1])) || (B(*q.p[1]) && B(*q.p[2]) && E(*q.p[3])) ||
           (E(*q.m[2]) && B(*q.m[1]) && B(*q.p[1]) && E(*q.p[2]));
}

std::int32_t Bonus(std::int32_t score) { return DoubleToInteger(static_cast<double>(score) * 1.1); }

} // namespace

void UneCase::MInit() {
    PRouge = false;
    PBleu = false;
}

void UneCase::MMettreRouge() {
    if (PTopALExterieur) return;
    PBleu = false;
    PRouge = true;
}

void UneCase::MMettreBleu() {
    if (PTopALExterieur) return;
    PRouge = false;
    PBleu = true;
}

void UneCase::MMettreCouleur(bool red, bool blue) {
    if (PTopALExterieur) return;
    PBleu = blue;
    PRouge = red;
}

std::string_view UneCase::NomCouleur() const {
    if (PBleu) return "Bleu";
    if (PRouge) return "Rouge";
    return {};
}

std::string UneCase::MCouleur() const { return std::string(NomCouleur()); }

void UneCase::MCalculPosition(bool future) {
    PTopCaseFuture = future;
    CALCMaxCouleur();
    CALCMaxPossible();
    CALCMaxDanger2();
}

std::int32_t UneCase::CALCCalculAlignMaxMemeCouleur() const {
    if (PTopALExterieur) return 0;
    const std::string_view couleur = NomCouleur();
    auto meme = [couleur](const UneCase& c) { return c.NomCouleur() == couleur; };
    std::int32_t meilleur = 0;
    for (const Ligne& l : kLignes) {
        const std::int32_t n = Pas(*this, l.moins, meme) + Pas(*this, l.plus, meme);
        if (n > meilleur) meilleur = n;
    }
    return meilleur + 1;
}

void UneCase::CALCMaxCouleur() {
    if (PTopALExterieur) {
        PCalcMaxRouge = 0;
        PCalcMaxRougeMult = false;
        PCalcMaxBleu = 0;
        PCalcMaxBleuMult = false;
        return;
    }
    Meilleur rouge, bleu;
    for (int i = 0; i < 4; ++i) {
        // The cell above a playable cell cannot extend the column's run: the playable cell is between.
        if (i == kVerticale && PTopCaseFuture) continue;
        rouge.Voir(Pas(*this, kLignes[i].moins, R) + Pas(*this, kLignes[i].plus, R));
        bleu.Voir(Pas(*this, kLignes[i].moins, B) + Pas(*this, kLignes[i].plus, B));
    }
    PCalcMaxRouge = rouge.compte;
    PCalcMaxRougeMult = rouge.Mult();
    PCalcMaxBleu = bleu.compte;
    PCalcMaxBleuMult = bleu.Mult();
}

void UneCase::CALCMaxPossible() {
    if (PTopALExterieur) {
        PCalcPossibleRouge = 0;
        PCalcPossibleRougeMult = false;
        PCalcPossibleBleu = 0;
        PCalcPossibleBleuMult = false;
        return;
    }
    // Walks the room of one colour on one side and counts that colour's tokens met on the way.
    auto compte = [this](UneCase* UneCase::*lien, bool rouge) {
        std::int32_t n = 0;
        int pas = 0;
        for (const UneCase* c = this->*lien; pas < 3 && (rouge ? c->MSiPasBleu() : c->MSiPasRouge());
             c = c->*lien, ++pas) {
            if (rouge ? c->MSiRouge() : c->MSiBleu()) ++n;
        }
        return n;
    };
    for (bool rouge : {true, false}) {
        Meilleur m;
        for (int i = 0; i < 4; ++i) {
            if (i == kVerticale && PTopCaseFuture) continue;
            if (Largeur(i, rouge) <= 3) continue; // no room for four of this colour on the line
            m.Voir(compte(kLignes[i].moins, rouge) + compte(kLignes[i].plus, rouge));
        }
        if (rouge) {
            PCalcPossibleRouge = m.compte;
            PCalcPossibleRougeMult = m.Mult();
        } else {
            PCalcPossibleBleu = m.compte;
            PCalcPossibleBleuMult = m.Mult();
        }
    }
}

void UneCase::MCALCULDuScore(std::int32_t level) {
    switch (level) {
    case 1:
        mCalculDuScoreMoyen();
        break;
    case 2:
        mCalculDuScoreBas();
        break;
    default:
        mCALCULDuScoreTOP();
        break;
    }
}

std::int32_t UneCase::Largeur(int ligne, bool rouge) const {
    const Ligne& l = kLignes[ligne];
    if (rouge)
        return 1 + Pas(*this, l.moins, [](const UneCase& c) { return c.MSiPasBleu(); }) +
               Pas(*this, l.plus, [](const UneCase& c) { return c.MSiPasBleu(); });
    return 1 + Pas(*this, l.moins, [](const UneCase& c) { return c.MSiPasRouge(); }) +
           Pas(*this, l.plus, [](const UneCase& c) { return c.MSiPasRouge(); });
}

std::int32_t UneCase::MauvaiseDirection() const {
    if (PPlateforme) {
        PPlateforme->MsgBox("Mauvais Paramètre : H,V,D,M !");
        PPlateforme->Quit(0);
    }
    return 0;
}

namespace {
int IndiceDirection(std::string_view direction) {
    if (direction == "H") return kHorizontale;
    if (direction == "V") return kVerticale;
    if (direction == "D") return kDescendante;
    if (direction == "M") return kMontante;
    return -1;
}
} // namespace

std::int32_t UneCase::mLargeurRouge(std::string_view direction) const {
    const int i = IndiceDirection(direction);
    return i < 0 ? MauvaiseDirection() : Largeur(i, true);
}

std::int32_t UneCase::mLargeurBleu(std::string_view direction) const {
    const int i = IndiceDirection(direction);
    return i < 0 ? MauvaiseDirection() : Largeur(i, false);
}

void UneCase::CALCMaxEncadrBlanc() {
    if (PTopALExterieur) {
        PCalcMaxEncadrRouge = 0;
        PCalcMaxEncadrBLRouge = 0;
        PCalcMaxEncadrBleu = 0;
        PCalcMaxEncadrBLBleu = 0;
        return;
    }
    for (bool rouge : {true, false}) {
        std::int32_t maxSuite = 0;
        std::int32_t maxEncadre = 0;
        for (const Ligne& l : kLignes) {
            std::int32_t suite = 0;
            std::int32_t encadre = 0;
            for (UneCase* UneCase::*lien : {l.moins, l.plus}) {
                const UneCase* c = this;
                for (int pas = 0; pas < 3; ++pas) {
                    c = c->*lien;
                    if (rouge ? c->MSiRouge() : c->MSiBleu()) {
                        ++suite;
                        ++encadre;
                        continue;
                    }
                    if (c->mSiPurBlanc()) ++encadre;
                    break;
                }
            }
            if (suite > maxSuite) maxSuite = suite;
            if (encadre > maxEncadre) maxEncadre = encadre;
        }
        if (rouge) {
            PCalcMaxEncadrRouge = maxSuite;
            PCalcMaxEncadrBLRouge = maxEncadre;
        } else {
            PCalcMaxEncadrBleu = maxSuite;
            PCalcMaxEncadrBLBleu = maxEncadre;
        }
    }
}

void UneCase::CALCMaxDanger2() {
    PCalcDanger2Bleu = 0;
    PCalcDanger2Rouge = 0;
    // No vertical line: a column fills from below, so its patterns cannot occur.
    for (int i : {kHorizontale, kMontante, kDescendante}) {
        const Positions q(*this, kLignes[i]);
        if (MotifRouge(q)) PCalcDanger2Rouge = 10;
        if (MotifBleu(q)) ++PCalcDanger2Bleu;
    }
}

bool UneCase::DebutScore() {
    PScore = 0;
    if (PTopALExterieur) return true;
    if (PCalcMaxRouge >= 3 && PCalcMaxRougeMult) {
        PScore = 9000000;
    } else if (PCalcMaxRouge >= 3) {
        PScore = 5000000;
    } else if (PCalcMaxBleu >= 3 && PCalcMaxBleuMult) {
        PScore = 2990000;
    } else if (PCalcMaxBleu >= 3) {
        PScore = 2580000;
    } else {
        return false;
    }
    return true;
}

void UneCase::SommeScore(bool avecBleuDeux) {
    if (PCalcPossibleRouge == 2 && PCalcMaxRougeMult) PScore += 4000;
    if (PCalcPossibleRouge == 2) PScore += 3200;
    if (avecBleuDeux) {
        if (PCalcPossibleBleu == 2 && PCalcMaxBleuMult) PScore += 3000;
        if (PCalcPossibleBleu == 2) PScore += 1500;
    }
    if (PCalcPossibleRouge == 2 && PCalcMaxRougeMult) PScore += 400;
    if (PCalcPossibleRouge == 2) PScore += 300;
    if (PCalcPossibleBleu == 1 && PCalcMaxBleuMult) PScore += 90;
    if (PCalcPossibleBleu == 1) PScore += 95;
    if (PCalcPossibleRouge == 1 && PCalcMaxRougeMult) PScore += 4;
    if (PCalcPossibleRouge == 1) PScore += 3;
    PScore += 1;
}

bool UneCase::PenaliteDessus() {
    const UneCase& dessus = *PCaseVerPlus;
    if (dessus.PCalcMaxBleu >= 3) {
        PScore = -900000; // blue would complete four just above
        return true;
    }
    if (dessus.PCalcPossibleBleu >= 2) PScore -= 1000;
    if (dessus.PCalcMaxRouge >= 4) {
        PScore -= 40000;
        return true;
    }
    return false;
}

bool UneCase::MenaceBleue() {
    if (PCalcDanger2Bleu >= 2) {
        PScore = 950000;
        return true;
    }
    if (PCalcDanger2Bleu >= 1) {
        PScore = 900000;
        return true;
    }
    return false;
}

void UneCase::mCALCULDuScoreTOP() {
    if (DebutScore() || PenaliteDessus()) return;
    // The neighbours' results are read as stored, possibly from an earlier turn.
    const UneCase& droite = *PCaseMonPlus;
    const UneCase& gauche = *PCaseDesPlus;
    if (droite.PCalcMaxRouge >= 3) PScore += 50000;
    if (gauche.PCalcMaxRouge >= 3) PScore += 50000;
    if (droite.PCalcMaxRouge == 2) PScore += 5000;
    if (gauche.PCalcMaxRouge == 2) PScore += 5000;
    if (MenaceBleue()) return;
    if (PCalcDanger2Rouge > 1) PScore += 9000;
    if (PCalcDanger2Rouge > 0) PScore += 2000;
    if (PCalcPossibleBleu == 3 && PCalcMaxBleuMult) PScore += 9500;
    if (PCalcPossibleBleu == 3) PScore += 9000;
    SommeScore(true);
    if (PX >= 2 && PX <= 4 && PY >= 1 && PY <= 2 && PScore < 9000) PScore = Bonus(PScore);
    if (PX == 3 && PY >= 1 && PY <= 2 && PScore < 9000) PScore = Bonus(PScore);
}

void UneCase::mCalculDuScoreMoyen() {
    if (DebutScore() || PenaliteDessus()) return;
    if (MenaceBleue()) return;
    SommeScore(true);
    if (PX >= 2 && PX <= 4 && PY >= 1 && PY <= 2 && PScore < 9000) PScore = Bonus(PScore);
}

void UneCase::mCalculDuScoreBas() {
    if (DebutScore()) return;
    SommeScore(false);
}
