#pragma once
// Drawing of the game's pictures. Every picture is drawn from code with a fixed seed, so running
// the tool again gives the same pictures.
#include "BoardGeometry.h"

#include <QColor>
#include <QImage>
#include <QPointF>

#include <cstdint>

namespace picgen {

// Board layout of the reference area that the board drawing scales, as the window places it.
constexpr int kBackgroundWidth = BoardGeometry::kReferenceWidth;
constexpr int kBackgroundHeight = BoardGeometry::kReferenceHeight;
constexpr int kMargin = BoardGeometry::kMargin;
constexpr int kCell = BoardGeometry::kCell;
constexpr int kColumns = BoardGeometry::kColumns;
constexpr int kRows = BoardGeometry::kRows;

// Token pictures: square, the size a token is drawn at in a reference cell, the disc filling it
// but for a thin border.
constexpr int kTokenSize = kCell - 2 * BoardGeometry::kTokenInset;
constexpr double kTokenRadius = 90.0;

// A token is drawn inside its cell, which starts past the grid line; the holes are centred under
// the token's centre.
constexpr double kHoleCentreOffset =
    BoardGeometry::kCellOffset + BoardGeometry::kTokenInset + kTokenSize / 2.0;
constexpr double kHoleRadius = kTokenRadius + 3.0; // a dark ring shows around a token
constexpr double kRimWidth = 4.0;

QPointF HoleCentre(int column, int row);

// The about window shows its mascot through 27 × 38 areas, at the picture's own size.
constexpr int kHamsterWidth = 27;
constexpr int kHamsterHeight = 38;

// Small deterministic generator (xorshift), so the art is identical on every run and platform.
class Rng {
public:
    explicit Rng(std::uint32_t seed) : state_(seed ? seed : 1u) {}
    std::uint32_t Next() {
        state_ ^= state_ << 13;
        state_ ^= state_ >> 17;
        state_ ^= state_ << 5;
        return state_;
    }
    double Uniform(double lo, double hi) { return lo + (hi - lo) * (Next() / 4294967296.0); }

private:
    std::uint32_t state_;
};

enum class Side { Red, Blue };

QImage DrawBoisClair(); // "Bois 1"
QImage DrawBoisFonce(); // "Bois 2"
QImage DrawMetal();     // "Métal"
QImage DrawFusion();    // "Fusion"

QImage DrawGlossyToken(Side side);
QImage DrawChipToken(Side side);
QImage DrawChip2Token(Side side);
QImage DrawTokenMask();

QImage DrawHamster();

} // namespace picgen
