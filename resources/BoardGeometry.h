#pragma once
// Where the board's parts lie. The backgrounds are drawn on a reference area that the window
// scales to its own size; the window places cells and tokens with the same numbers, and the
// picture tool puts the holes where the tokens land. Plain C++, so every side can include it.
namespace BoardGeometry {

// The area of a background that the board scales over the window.
inline constexpr int kReferenceWidth = 1500;
inline constexpr int kReferenceHeight = 1300;
// Around the grid, on each side, in reference pixels.
inline constexpr int kMargin = 50;
inline constexpr int kColumns = 7;
inline constexpr int kRows = 6;
// A cell of the reference area; cells are square there.
inline constexpr int kCell = (kReferenceWidth - 2 * kMargin) / kColumns;
static_assert(kCell * kColumns + 2 * kMargin == kReferenceWidth);
static_assert(kCell * kRows + 2 * kMargin == kReferenceHeight);
// A cell starts one pixel past its grid line, and its token sits this far inside it.
inline constexpr int kCellOffset = 1;
inline constexpr int kTokenInset = 8;
// Proportional resizing keeps the reference's width to height.
inline constexpr int kRatioWidth = 15;
inline constexpr int kRatioHeight = 13;
static_assert(kReferenceWidth * kRatioHeight == kReferenceHeight * kRatioWidth);

// `referencePixels` of the reference area, scaled to a board `width` (or `height`) wide.
constexpr double ScaledX(int width, int referencePixels) {
    return double(width) * double(referencePixels) / double(kReferenceWidth);
}
constexpr double ScaledY(int height, int referencePixels) {
    return double(height) * double(referencePixels) / double(kReferenceHeight);
}

// The corner of cell (column, row), row 0 at the bottom, given the scaled cell size and margin.
constexpr double CellLeft(int column, double cellWidth, int marginX) {
    return double(column) * cellWidth + double(marginX) + double(kCellOffset);
}
constexpr double CellTop(int row, double cellHeight, int marginY) {
    return double(kRows - 1 - row) * cellHeight + double(marginY) + double(kCellOffset);
}

// The width that keeps the proportions of a board `height` high, before rounding.
constexpr double ProportionalWidth(int height) { return double(height * kRatioWidth) / double(kRatioHeight); }

} // namespace BoardGeometry
