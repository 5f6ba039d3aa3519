#include "UnPlateau.h"

#include <charconv>
#include <string_view>

namespace {

void AjouteNombre(std::string& texte, std::int64_t n) {
    char tampon[24];
    const auto fin = std::to_chars(tampon, tampon + sizeof tampon, n).ptr;
    texte.append(tampon, fin);
}

} // namespace

void UnPlateau::MInitPlateau() {
    if (!exterieur_) exterieur_ = std::make_unique<UneCase>(-1, -1);
    UneCase& dehors = *exterieur_;
    PCaseALEXTerieur = &dehors;
    dehors.PTopALExterieur = true;
    dehors.PPlateforme = &plateforme_;
    dehors.PCaseHorMoins = dehors.PCaseHorPlus = dehors.PCaseVerMoins = dehors.PCaseVerPlus = &dehors;
    dehors.PCaseMonPlus = dehors.PCaseMonMoins = dehors.PCaseDesPlus = dehors.PCaseDesMoins = &dehors;

    for (int x = 0; x < kColonnes; ++x) {
        for (int y = 0; y < kLignes; ++y) {
            auto& c = cases_[static_cast<std::size_t>(x * kLignes + y)];
            if (!c) c = std::make_unique<UneCase>(x, y);
            c->PPlateforme = &plateforme_;
            c->MInit();
        }
    }

    // Off-board neighbours lead to the outside cell, so no walk ever meets a missing link.
    auto voisin = [this](int x, int y) {
        UneCase* c = PCase(x, y);
        return c ? c : PCaseALEXTerieur;
    };
    for (int x = 0; x < kColonnes; ++x) {
        for (int y = 0; y < kLignes; ++y) {
            UneCase& c = *PCase(x, y);
            c.PCaseHorMoins = voisin(x - 1, y);
            c.PCaseHorPlus = voisin(x + 1, y);
            c.PCaseVerMoins = voisin(x, y - 1);
            c.PCaseVerPlus = voisin(x, y + 1);
            c.PCaseMonMoins = voisin(x - 1, y - 1);
            c.PCaseMonPlus = voisin(x + 1, y + 1);
            c.PCaseDesPlus = voisin(x - 1, y + 1);
            c.PCaseDesMoins = voisin(x + 1, y - 1);
        }
        PCaseDuHaut[static_cast<std::size_t>(x)] = PCase(x, 0);
    }

    // Centre first, then alternately one further left and one further right.
    std::size_t indice = 0;
    std::int32_t valeur = 3;
    std::int32_t pas = 1;
    while (valeur >= 0 && valeur <= 6 && indice < PTabInd.size()) {
        PTabInd[indice++] = valeur;
        valeur -= pas;
        pas = -(pas + (pas > 0 ? 1 : -1));
    }
}

void UnPlateau::MJoue(std::int32_t column, bool red, bool blue) {
    // Refused outright: an unbuilt board, a column off the grid, or a colour that is not exactly one.
    if (!exterieur_ || column < 0 || column >= kColonnes || red == blue) return;
    if (PTopGagne || PTopEgalite) return;
    if (PCase(column, kLignes - 1)->MSiOccup()) {
        plateforme_.Beep();
        return;
    }

    PJournal += red ? "Réponse --------> " : "-> ";
    AjouteNombre(PJournal, column + 1);
    PJournal += plateforme_.EndOfLine();
    if (PChJournal) PChJournal->SetText(PJournal);

    auto& haut = PCaseDuHaut[static_cast<std::size_t>(column)];
    haut = haut->PCaseVerPlus;

    // The token falls from the top: each empty cell is drawn full, then the one above it emptied.
    UneCase* precedente = nullptr;
    for (int y = kLignes - 1; y >= 0; --y) {
        UneCase* c = PCase(column, y);
        if (c->MSiVide()) {
            PCaseJouee = c;
            c->MMettreCouleur(red, blue);
            if (MDessineLaCase) MDessineLaCase(column, y);
            if (precedente) {
                precedente->MMettreCouleur(false, false);
                if (MDessineLaCase) MDessineLaCase(precedente->PX, precedente->PY);
            }
        }
        precedente = c;
    }

    UneCase& jouee = *PCaseJouee;
    if (jouee.CALCCalculAlignMaxMemeCouleur() > 3) {
        const bool rouge = jouee.PRouge;
        const bool bleu = jouee.PBleu;
        if (MGagnant) MGagnant(rouge, bleu);
        PTopGagne = true;
        plateforme_.Beep();
        return;
    }

    PTopEgalite = Plein();
    if (PTopEgalite) {
        if (MEgalite) MEgalite();
        plateforme_.Beep();
    }
}

void UnPlateau::MNouvellePartie() {
    if (!exterieur_) return;
    for (int x = 0; x < kColonnes; ++x) {
        for (int y = 0; y < kLignes; ++y) PCase(x, y)->MInit();
        PCaseDuHaut[static_cast<std::size_t>(x)] = PCase(x, 0);
    }
    PCaseJouee = nullptr;
    PTopGagne = false;
    PTopEgalite = false;
    PJournal.clear();
    TraceText.clear();
}

bool UnPlateau::Plein() const {
    for (int x = 0; x < kColonnes; ++x) {
        if (PCase(x, kLignes - 1)->MSiVide()) return false;
    }
    return true;
}

void UnPlateau::LigneTrace(std::int32_t colonne, const UneCase& h, const UneCase& f, const std::string& fin) {
    std::string& t = TraceText;
    t += fin;
    t += '(';
    AjouteNombre(t, colonne + 1);
    t += ")--> (";
    AjouteNombre(t, h.PX);
    t += '-';
    AjouteNombre(t, h.PY);
    t += ")••••max: ";
    AjouteNombre(t, h.PCalcMaxRouge);
    t += '/';
    AjouteNombre(t, h.PCalcMaxBleu);
    t += " ••poss: ";
    AjouteNombre(t, h.PCalcPossibleRouge);
    t += '/';
    AjouteNombre(t, h.PCalcPossibleBleu);
    t += "•• d2: ";
    AjouteNombre(t, h.PCalcDanger2Rouge);
    t += '/';
    AjouteNombre(t, h.PCalcDanger2Bleu);
    t += "•••••fut: ";
    AjouteNombre(t, f.PCalcMaxRouge);
    t += '/';
    AjouteNombre(t, f.PCalcMaxBleu);
    t += " •• ";
    AjouteNombre(t, f.PCalcPossibleRouge);
    t += '/';
    AjouteNombre(t, f.PCalcPossibleBleu);
}

void UnPlateau::MAutomateSuivant() {
    if (!exterieur_) return;
    const std::string fin = plateforme_.EndOfLine();
    TraceText += fin;
    TraceText += "NbRouge/NbBleu";

    if (Plein()) {
        // Asked to move on a full board: the draw is reported again, unless the game was won.
        if (!PTopGagne) {
            PTopEgalite = true;
            if (MEgalite) MEgalite();
            plateforme_.Beep();
        }
        return;
    }

    for (int x = 0; x < kColonnes; ++x) {
        const auto i = static_cast<std::size_t>(x);
        UneCase& h = *PCaseDuHaut[i];
        UneCase& f = *h.PCaseVerPlus;
        PCaseFuture[i] = &f;
        h.MCalculPosition(false);
        f.MCalculPosition(true);
        LigneTrace(x, h, f, fin);
    }
    TraceText += fin;

    // Every evaluation is done before the first score, which may read a neighbour's results.
    for (int x = 0; x < kColonnes; ++x) {
        UneCase& h = *PCaseDuHaut[static_cast<std::size_t>(x)];
        if (!h.MSiDedans()) continue;
        h.MCALCULDuScore(PNiveau);
        TraceText += "• score (";
        AjouteNombre(TraceText, x + 1);
        TraceText += ") • ";
        AjouteNombre(TraceText, h.PScore);
        TraceText += fin;
    }

    // The tick parity mirrors the centre-out order, the only variation in the computer's play.
    const bool pair = plateforme_.Ticks() % 2 == 0;
    int meilleure = -1;
    for (std::int32_t indice : PTabInd) {
        const int x = pair ? indice : 6 - indice;
        const UneCase& h = *PCaseDuHaut[static_cast<std::size_t>(x)];
        if (!h.MSiDedans()) continue;
        if (meilleure < 0 || PCaseDuHaut[static_cast<std::size_t>(meilleure)]->PScore < h.PScore)
            meilleure = x;
    }

    if (meilleure < 0) return; // only if PCaseDuHaut was tampered with: a column with room has one
    TraceText += "•••••Choix : ";
    AjouteNombre(TraceText, meilleure + 1);
    TraceText += fin;
    if (MCaseAJouer) MCaseAJouer(*PCaseDuHaut[static_cast<std::size_t>(meilleure)]);
}
