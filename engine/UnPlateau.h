#pragma once
// The board: 7 columns of 6 cells plus one shared outside cell, the move log, the computer's
// trace and the end-of-game flags. It reports to its owner through the event members below; an
// event left empty is not raised.
#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "EnginePlatform.h"
#include "JournalSink.h"
#include "UneCase.h"

class UnPlateau {
public:
    static constexpr int kColonnes = 7;
    static constexpr int kLignes = 6;

    explicit UnPlateau(EnginePlatform& platform) : plateforme_(platform) {}
    UnPlateau(const UnPlateau&) = delete;
    UnPlateau& operator=(const UnPlateau&) = delete;

    // The grid, column 0 at the left and row 0 at the bottom; nullptr before the first
    // MInitPlateau and for coordinates off the board.
    UneCase* PCase(int column, int row) const {
        if (column < 0 || column >= kColonnes || row < 0 || row >= kLignes) return nullptr;
        return cases_[static_cast<std::size_t>(column * kLignes + row)].get();
    }
    std::array<UneCase*, kColonnes> PCaseDuHaut{};
    UneCase* PCaseJouee = nullptr;
    bool PTopGagne = false;
    bool PTopEgalite = false;
    std::array<UneCase*, kColonnes> PCaseFuture{};
    std::array<std::int32_t, kColonnes> PTabInd{};
    UneCase* PCaseALEXTerieur = nullptr;
    JournalSink* PChJournal = nullptr;
    std::string PJournal;
    std::string TraceText;
    std::int32_t PNiveau = 0;

    std::function<void()> MDessinePlateau;
    std::function<void(std::int32_t, std::int32_t)> MDessineLaCase;
    std::function<void(bool, bool)> MGagnant;
    std::function<void()> MEgalite;
    std::function<void(UneCase&)> MCaseAJouer;

    void MInitPlateau();
    void MJoue(std::int32_t column, bool red, bool blue);
    void MNouvellePartie();
    void MAutomateSuivant();

private:
    bool Plein() const;
    void LigneTrace(std::int32_t colonne, const UneCase& h, const UneCase& f, const std::string& fin);

    EnginePlatform& plateforme_;
    std::array<std::unique_ptr<UneCase>, kColonnes * kLignes> cases_;
    std::unique_ptr<UneCase> exterieur_;
};
