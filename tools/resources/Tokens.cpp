// Token pictures of the three themes and their masks. The mask is a black disc of radius 90
// centred in a 184 × 184 square, white elsewhere, grey on the edge. The token is painted on the
// same disc, slightly larger, and is transparent beyond it (menu icons are drawn from it without
// the mask).
#include "PicGen.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>

#include <cmath>

namespace picgen {
namespace {

constexpr QPointF kCentre(kTokenSize / 2.0, kTokenSize / 2.0);
// The paint runs a little past the mask's disc, so that where the mask's edge is grey the token
// shows its own rim colour and not whatever lay under a transparent border.
constexpr double kPaintRadius = kTokenRadius + 1.5;

struct Palette {
    QColor light;
    QColor base;
    QColor dark;
};

Palette PaletteOf(Side side) {
    if (side == Side::Red)
        return {QColor(0xff, 0x74, 0x5e), QColor(0xd8, 0x1e, 0x24), QColor(0x6e, 0x06, 0x0c)};
    return {QColor(0x74, 0xb0, 0xff), QColor(0x1c, 0x58, 0xda), QColor(0x08, 0x1e, 0x6a)};
}

QImage NewToken() {
    QImage image(kTokenSize, kTokenSize, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    return image;
}

// Gives the fully transparent pixels the colour of the disc's edge, so that a viewer which drops
// the alpha channel and relies on the mask alone shows no dark or light fringe when scaling.
QImage Finish(const QImage& drawn, QColor edge) {
    QImage out = drawn.convertToFormat(QImage::Format_ARGB32);
    const QRgb fill = qRgba(edge.red(), edge.green(), edge.blue(), 0);
    for (int y = 0; y < out.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(out.scanLine(y));
        for (int x = 0; x < out.width(); ++x)
            if (qAlpha(line[x]) == 0) line[x] = fill;
    }
    return out;
}

void ClipToDisc(QPainter& p) {
    QPainterPath disc;
    disc.addEllipse(kCentre, kPaintRadius, kPaintRadius);
    p.setClipPath(disc);
    p.setRenderHint(QPainter::Antialiasing);
}

// Annular sector between two radii, from angle a0 over span degrees (counter-clockwise).
QPainterPath Sector(double rIn, double rOut, double a0, double span) {
    QPainterPath path;
    const QRectF outer(kCentre.x() - rOut, kCentre.y() - rOut, 2 * rOut, 2 * rOut);
    const QRectF inner(kCentre.x() - rIn, kCentre.y() - rIn, 2 * rIn, 2 * rIn);
    path.arcMoveTo(outer, a0);
    path.arcTo(outer, a0, span);
    path.arcTo(inner, a0 + span, -span);
    path.closeSubpath();
    return path;
}

// Soft light from the upper left over the whole disc, and a dark line on its edge.
void ShadeDisc(QPainter& p, QColor edge) {
    QRadialGradient shade(kCentre, kTokenRadius, kCentre - QPointF(30, 34));
    shade.setColorAt(0.0, QColor(255, 255, 255, 60));
    shade.setColorAt(0.55, QColor(255, 255, 255, 0));
    shade.setColorAt(0.85, QColor(0, 0, 0, 20));
    shade.setColorAt(1.0, QColor(0, 0, 0, 80));
    p.setPen(Qt::NoPen);
    p.setBrush(shade);
    p.drawEllipse(kCentre, kPaintRadius, kPaintRadius);
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(edge, 4));
    p.drawEllipse(kCentre, kTokenRadius - 0.5, kTokenRadius - 0.5);
}

} // namespace

QImage DrawGlossyToken(Side side) {
    const Palette pal = PaletteOf(side);
    QImage image = NewToken();
    QPainter p(&image);
    ClipToDisc(p);

    QRadialGradient body(kCentre, kTokenRadius, kCentre - QPointF(24, 28));
    body.setColorAt(0.0, pal.light);
    body.setColorAt(0.55, pal.base);
    body.setColorAt(1.0, pal.dark);
    p.setPen(Qt::NoPen);
    p.setBrush(body);
    p.drawEllipse(kCentre, kPaintRadius + 1, kPaintRadius + 1);

    // Moulded groove: a shadowed ring with a lit lip just outside it.
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(QColor(0, 0, 0, 90), 5));
    p.drawEllipse(kCentre, 63, 63);
    p.setPen(QPen(QColor(255, 255, 255, 90), 2.5));
    p.drawEllipse(kCentre + QPointF(1.5, 1.5), 67, 67);

    p.setPen(QPen(pal.dark, 4));
    p.drawEllipse(kCentre, kTokenRadius - 0.5, kTokenRadius - 0.5);

    // Bright highlight on the upper left and a faint reflected light on the lower right.
    p.save();
    p.translate(kCentre + QPointF(-26, -34));
    p.rotate(-35);
    QRadialGradient highlight(QPointF(0, 0), 44);
    highlight.setColorAt(0.0, QColor(255, 255, 255, 230));
    highlight.setColorAt(0.5, QColor(255, 255, 255, 110));
    highlight.setColorAt(1.0, QColor(255, 255, 255, 0));
    p.setPen(Qt::NoPen);
    p.setBrush(highlight);
    p.scale(1.0, 0.55);
    p.drawEllipse(QPointF(0, 0), 44, 44);
    p.restore();
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(QColor(255, 255, 255, 70), 4, Qt::SolidLine, Qt::RoundCap));
    p.drawArc(QRectF(kCentre.x() - 80, kCentre.y() - 80, 160, 160), -20 * 16, -50 * 16);
    p.end();
    return Finish(image, pal.dark);
}

QImage DrawChipToken(Side side) {
    const Palette pal = PaletteOf(side);
    const QColor cream(0xf6, 0xee, 0xdc);
    QImage image = NewToken();
    QPainter p(&image);
    ClipToDisc(p);

    p.setPen(Qt::NoPen);
    p.setBrush(pal.base);
    p.drawEllipse(kCentre, kPaintRadius + 1, kPaintRadius + 1);

    // Six edge spots.
    for (int i = 0; i < 6; ++i) {
        p.setBrush(cream);
        p.setPen(Qt::NoPen);
        p.drawPath(Sector(66, kPaintRadius + 1, 90 + 60 * i - 11, 22));
    }
    // Central inlay with its own coloured ring and a coloured centre.
    p.setBrush(cream);
    p.drawEllipse(kCentre, 56, 56);
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(pal.base, 7));
    p.drawEllipse(kCentre, 45, 45);
    p.setPen(Qt::NoPen);
    p.setBrush(pal.base);
    p.drawEllipse(kCentre, 22, 22);

    ShadeDisc(p, pal.dark);
    p.end();
    return Finish(image, pal.dark);
}

QImage DrawChip2Token(Side side) {
    const Palette pal = PaletteOf(side);
    const QColor gold(0xf4, 0xc4, 0x2c);
    const QColor white(0xfa, 0xfa, 0xf6);
    QImage image = NewToken();
    QPainter p(&image);
    ClipToDisc(p);

    p.setPen(Qt::NoPen);
    p.setBrush(pal.dark);
    p.drawEllipse(kCentre, kPaintRadius + 1, kPaintRadius + 1);
    p.setBrush(pal.base);
    p.drawEllipse(kCentre, 74, 74);

    // Edge in twelve segments, gold between coloured ones, under a gold ring.
    for (int i = 0; i < 12; i += 2) {
        p.setBrush(gold);
        p.drawPath(Sector(75, kPaintRadius + 1, 15 + 30 * i, 30));
    }
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(gold, 4));
    p.drawEllipse(kCentre, 73, 73);

    // Dashed ring.
    QPen dash(white, 4, Qt::CustomDashLine, Qt::FlatCap);
    dash.setDashPattern({3.0, 2.2});
    p.setPen(dash);
    p.drawEllipse(kCentre, 58, 58);

    // White centre carrying an eight-pointed star.
    p.setPen(Qt::NoPen);
    p.setBrush(white);
    p.drawEllipse(kCentre, 44, 44);
    QPolygonF star;
    for (int i = 0; i < 16; ++i) {
        const double r = (i % 2 == 0) ? 36 : 15;
        const double a = M_PI * i / 8 - M_PI / 2;
        star << kCentre + QPointF(r * std::cos(a), r * std::sin(a));
    }
    p.setBrush(pal.base);
    p.drawPolygon(star);

    ShadeDisc(p, pal.dark);
    p.end();
    return Finish(image, pal.dark);
}

QImage DrawTokenMask() {
    QImage mask(kTokenSize, kTokenSize, QImage::Format_Grayscale8);
    mask.fill(Qt::white);
    QPainter p(&mask);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(Qt::NoPen);
    p.setBrush(Qt::black);
    p.drawEllipse(kCentre, kTokenRadius, kTokenRadius);
    return mask;
}

} // namespace picgen
