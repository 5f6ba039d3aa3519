#pragma once
// One cell of the board: its token, its place, links to its eight neighbours and the results of
// its latest evaluation, which are kept until the cell is evaluated again.
#include <cstdint>
#include <string>
#include <string_view>

class EnginePlatform;

class UneCase {
public:
    bool PRouge = false;
    bool PBleu = false;
    std::int32_t PX = 0;
    std::int32_t PY = 0;
    UneCase* PCaseHorMoins = nullptr;
    UneCase* PCaseHorPlus = nullptr;
    UneCase* PCaseVerMoins = nullptr;
    UneCase* PCaseVerPlus = nullptr;
    UneCase* PCaseMonPlus = nullptr;
    UneCase* PCaseMonMoins = nullptr;
    UneCase* PCaseDesPlus = nullptr;
    UneCase* PCaseDesMoins = nullptr;
    std::int32_t PCalcMaxRouge = 0;
    std::int32_t PCalcMaxBleu = 0;
    std::int32_t PCalcPossibleBleu = 0;
    std::int32_t PCalcPossibleRouge = 0;
    bool PCalcMaxRougeMult = false;
    bool PCalcPossibleRougeMult = false;
    bool PCalcMaxBleuMult = false;
    bool PCalcPossibleBleuMult = false;
    std::int32_t PScore = 0;
    bool PTopALExterieur = false;
    std::int32_t PCalcMaxEncadrBleu = 0;
    std::int32_t PCalcMaxEncadrRouge = 0;
    std::int32_t PCalcMaxEncadrBLBleu = 0;
    std::int32_t PCalcMaxEncadrBLRouge = 0;
    std::int32_t PCalcDanger2Bleu = 0;
    std::int32_t PCalcDanger2Rouge = 0;
    bool PTopCaseFuture = false;
    // Where a wrong direction letter is reported; set by the board that builds the cell.
    EnginePlatform* PPlateforme = nullptr;

    UneCase(std::int32_t x, std::int32_t y) : PX(x), PY(y) {}
    // Links and the board's references point at cells, so a cell keeps its identity.
    UneCase(const UneCase&) = delete;
    UneCase& operator=(const UneCase&) = delete;

    void MInit();
    void MMettreRouge();
    void MMettreBleu();
    bool MSiRouge() const { return PRouge; }
    bool MSiBleu() const { return PBleu; }
    bool MSiVide() const { return !PBleu && !PRouge; }
    bool MSiOccup() const { return PBleu || PRouge; }
    void MMettreCouleur(bool red, bool blue);
    std::string MCouleur() const;
    void MCalculPosition(bool future);
    std::int32_t CALCCalculAlignMaxMemeCouleur() const;
    void CALCMaxCouleur();
    void CALCMaxPossible();
    void MCALCULDuScore(std::int32_t level);
    bool MSiDehors() const { return PTopALExterieur; }
    bool MSiPasRouge() const { return !PTopALExterieur && !PRouge; }
    bool MSiPasBleu() const { return !PTopALExterieur && !PBleu; }
    bool MSiDedans() const { return !PTopALExterieur; }
    std::int32_t mLargeurRouge(std::string_view direction) const;
    std::int32_t mLargeurBleu(std::string_view direction) const;
    void CALCMaxEncadrBlanc();
    bool mSiPurBlanc() const { return !MSiDehors() && !PBleu && !PRouge; }
    void CALCMaxDanger2();
    void mCALCULDuScoreTOP();
    void mCalculDuScoreMoyen();
    void mCalculDuScoreBas();

private:
    // The colour name that MCouleur returns, without building a string.
    std::string_view NomCouleur() const;
    std::int32_t Largeur(int ligne, bool rouge) const;
    std::int32_t MauvaiseDirection() const;
    // Each returns true when it has set the final score.
    bool DebutScore();
    bool PenaliteDessus();
    bool MenaceBleue();
    void SommeScore(bool avecBleuDeux);
};
