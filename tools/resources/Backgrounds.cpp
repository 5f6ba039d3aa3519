// The four board backgrounds: a board face with 42 round holes over a dark back, lit from the
// top left. Textures stay smooth (bands and strokes, no per-pixel noise) so the PNG files keep
// small.
#include "PicGen.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>

#include <cmath>
#include <vector>

namespace picgen {

QPointF HoleCentre(int column, int row) {
    return {kMargin + kCell * column + kHoleCentreOffset,
            kMargin + kCell * (kRows - 1 - row) + kHoleCentreOffset};
}

namespace {

struct HoleLook {
    QColor inside;    // deepest part of the hole
    QColor insideLit; // far (lower right) wall, reached by the light
    QColor rimShadow; // chamfer on the upper left, turned away from the light
    QColor rimLight;  // chamfer on the lower right, facing the light
};

QImage NewBackground() {
    QImage image(kBackgroundWidth, kBackgroundHeight, QImage::Format_RGB32);
    image.fill(Qt::black);
    return image;
}

void DrawHole(QPainter& p, QPointF c, const HoleLook& look) {
    const double rOut = kHoleRadius + kRimWidth;
    const QPointF diag(rOut * 0.7071, rOut * 0.7071);

    QPainterPath ring;
    ring.addEllipse(c, rOut, rOut);
    ring.addEllipse(c, kHoleRadius, kHoleRadius);
    QLinearGradient rimGrad(c - diag, c + diag);
    rimGrad.setColorAt(0.0, look.rimShadow);
    rimGrad.setColorAt(0.45, look.rimShadow);
    rimGrad.setColorAt(0.75, look.rimLight);
    rimGrad.setColorAt(1.0, look.rimLight);
    p.setPen(Qt::NoPen);
    p.setBrush(rimGrad);
    p.drawPath(ring);

    // The board's edge throws a shadow on the upper left of the back wall.
    QRadialGradient inner(c + QPointF(14, 16), kHoleRadius + 14, c + QPointF(26, 30));
    inner.setColorAt(0.0, look.insideLit);
    inner.setColorAt(0.75, look.inside);
    inner.setColorAt(1.0, look.inside.darker(160));
    p.setBrush(inner);
    p.drawEllipse(c, kHoleRadius, kHoleRadius);
}

void DrawHoles(QPainter& p, const HoleLook& look) {
    p.setRenderHint(QPainter::Antialiasing);
    for (int column = 0; column < kColumns; ++column)
        for (int row = 0; row < kRows; ++row) DrawHole(p, HoleCentre(column, row), look);
}

// A raised border around the whole picture: light on top and left, dark on bottom and right.
void DrawOuterBevel(QPainter& p, int width, QColor light, QColor dark) {
    const double w = kBackgroundWidth, h = kBackgroundHeight, b = width;
    p.setRenderHint(QPainter::Antialiasing, false);
    p.setPen(Qt::NoPen);
    p.setBrush(light);
    p.drawPolygon(QPolygonF({{0, 0}, {w, 0}, {w - b, b}, {b, b}, {b, h - b}, {0, h}}));
    p.setBrush(dark);
    p.drawPolygon(QPolygonF({{w, 0}, {w, h}, {0, h}, {b, h - b}, {w - b, h - b}, {w - b, b}}));
}

// A groove around the grid, where the face would meet its frame.
void DrawGridGroove(QPainter& p, double inset, QColor shadow, QColor light) {
    p.setRenderHint(QPainter::Antialiasing, false);
    p.setBrush(Qt::NoBrush);
    const QRectF r(inset, inset, kBackgroundWidth - 2 * inset, kBackgroundHeight - 2 * inset);
    p.setPen(QPen(shadow, 2));
    p.drawRect(r);
    p.setPen(QPen(light, 2));
    p.drawRect(r.translated(2, 2));
}

// Frame details and holes, drawn last over the face's texture.
struct BoardFinish {
    double grooveInset;
    QColor grooveShadow;
    QColor grooveLight;
    int bevelWidth;
    QColor bevelLight;
    QColor bevelDark;
    HoleLook holes;
};

void FinishBoard(QPainter& p, const BoardFinish& f) {
    DrawGridGroove(p, f.grooveInset, f.grooveShadow, f.grooveLight);
    DrawOuterBevel(p, f.bevelWidth, f.bevelLight, f.bevelDark);
    DrawHoles(p, f.holes);
}

// Wood grain over a rectangle: long wavy lines that bulge around a few slow swirls.
struct GrainLook {
    QColor dark;  // late wood lines
    QColor light; // broad pale streaks
    double spacingMin;
    double spacingMax;
};

struct Swirl {
    double along;  // position along the grain
    double across; // position across it
    double amplitude;
    double reach;  // how far along the grain the bulge spreads
    double spread; // how many lines across it reaches
};

void DrawGrain(QPainter& p, const QRectF& area, bool horizontal, const GrainLook& look, Rng& rng) {
    const double length = horizontal ? area.width() : area.height();
    const double breadth = horizontal ? area.height() : area.width();
    auto toPoint = [&](double along, double across) {
        return horizontal ? QPointF(area.left() + along, area.top() + across)
                          : QPointF(area.left() + across, area.top() + along);
    };

    std::vector<Swirl> swirls;
    const int swirlCount = 2 + static_cast<int>(length / 500);
    for (int i = 0; i < swirlCount; ++i)
        swirls.push_back({rng.Uniform(0, length), rng.Uniform(0, breadth), rng.Uniform(8, 22),
                          rng.Uniform(90, 220), rng.Uniform(40, 120)});
    const double f1 = rng.Uniform(0.002, 0.004), f2 = rng.Uniform(0.008, 0.014);
    const double ph1 = rng.Uniform(0, 6.28), ph2 = rng.Uniform(0, 6.28);

    auto offset = [&](double along, double across) {
        double d =
            6 * std::sin(along * f1 + ph1 + across * 0.004) + 2 * std::sin(along * f2 + ph2 + across * 0.01);
        for (const Swirl& s : swirls) {
            const double ka = (along - s.along) / s.reach;
            const double kb = (across - s.across) / s.spread;
            d += s.amplitude * std::exp(-ka * ka - kb * kb);
        }
        return d;
    };

    p.setRenderHint(QPainter::Antialiasing);
    p.setBrush(Qt::NoBrush);

    // Broad pale and dark streaks first, then the fine lines over them.
    for (double across = -40; across < breadth + 40; across += rng.Uniform(25, 70)) {
        QColor c = (rng.Next() & 1) ? look.light : look.dark;
        c.setAlpha(static_cast<int>(rng.Uniform(12, 30)));
        QPainterPath path;
        for (double along = -20; along <= length + 20; along += 20) {
            const QPointF pt = toPoint(along, across + offset(along, across));
            if (along < -19)
                path.moveTo(pt);
            else
                path.lineTo(pt);
        }
        p.setPen(QPen(c, rng.Uniform(10, 28), Qt::SolidLine, Qt::FlatCap, Qt::RoundJoin));
        p.drawPath(path);
    }
    for (double across = -30; across < breadth + 30;
         across += rng.Uniform(look.spacingMin, look.spacingMax)) {
        QColor c = look.dark;
        c.setAlpha(static_cast<int>(rng.Uniform(35, 110)));
        QPainterPath path;
        for (double along = -20; along <= length + 20; along += 12) {
            const QPointF pt = toPoint(along, across + offset(along, across));
            if (along < -19)
                path.moveTo(pt);
            else
                path.lineTo(pt);
        }
        p.setPen(QPen(c, rng.Uniform(0.8, 2.6), Qt::SolidLine, Qt::FlatCap, Qt::RoundJoin));
        p.drawPath(path);
    }
}

} // namespace

QImage DrawBoisClair() {
    QImage image = NewBackground();
    QPainter p(&image);
    Rng rng(16804);

    QLinearGradient base(0, 0, kBackgroundWidth, kBackgroundHeight);
    base.setColorAt(0.0, QColor(0xe6, 0xbe, 0x84));
    base.setColorAt(0.5, QColor(0xd9, 0xac, 0x70));
    base.setColorAt(1.0, QColor(0xc8, 0x97, 0x5c));
    p.fillRect(image.rect(), base);
    DrawGrain(p, QRectF(0, 0, kBackgroundWidth, kBackgroundHeight), true,
              {QColor(0x9a, 0x62, 0x2e), QColor(0xf6, 0xdc, 0xaa), 5, 16}, rng);

    FinishBoard(p, {38,
                    QColor(0x7a, 0x4c, 0x22, 150),
                    QColor(0xff, 0xf0, 0xd0, 120),
                    7,
                    QColor(0xff, 0xf0, 0xd0, 110),
                    QColor(0x5a, 0x36, 0x14, 140),
                    {QColor(0x1c, 0x10, 0x08), QColor(0x3a, 0x24, 0x14), QColor(0x6e, 0x42, 0x1c),
                     QColor(0xf8, 0xde, 0xb0)}});
    return image;
}

QImage DrawBoisFonce() {
    QImage image = NewBackground();
    QPainter p(&image);
    Rng rng(17205);
    const GrainLook grain{QColor(0x2e, 0x12, 0x08), QColor(0xb0, 0x60, 0x38), 4, 13};

    // Inner panel with its grain running up and down.
    QLinearGradient base(0, 0, kBackgroundWidth, 0);
    base.setColorAt(0.0, QColor(0x7a, 0x36, 0x1e));
    base.setColorAt(0.5, QColor(0x86, 0x3e, 0x22));
    base.setColorAt(1.0, QColor(0x6c, 0x2e, 0x1a));
    p.fillRect(image.rect(), base);
    DrawGrain(p, QRectF(0, 0, kBackgroundWidth, kBackgroundHeight), false, grain, rng);

    // Mitred frame: four strips whose grain runs along each side.
    const double w = kBackgroundWidth, h = kBackgroundHeight, m = 40;
    const QPolygonF top({{0, 0}, {w, 0}, {w - m, m}, {m, m}});
    const QPolygonF bottom({{0, h}, {m, h - m}, {w - m, h - m}, {w, h}});
    const QPolygonF left({{0, 0}, {m, m}, {m, h - m}, {0, h}});
    const QPolygonF right({{w, 0}, {w, h}, {w - m, h - m}, {w - m, m}});
    struct Strip {
        QPolygonF shape;
        bool horizontal;
        QColor tint;
    };
    const Strip strips[] = {{top, true, QColor(0x5c, 0x26, 0x14)},
                            {bottom, true, QColor(0x52, 0x22, 0x12)},
                            {left, false, QColor(0x58, 0x24, 0x13)},
                            {right, false, QColor(0x50, 0x20, 0x11)}};
    for (const Strip& s : strips) {
        p.save();
        QPainterPath clip;
        clip.addPolygon(s.shape);
        p.setClipPath(clip);
        p.fillRect(s.shape.boundingRect(), s.tint);
        DrawGrain(p, s.shape.boundingRect(), s.horizontal, grain, rng);
        p.restore();
    }
    // Mitre joints and the frame's inner edge.
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(QColor(0x1a, 0x08, 0x04, 170), 1.5));
    p.drawLine(QPointF(0, 0), QPointF(m, m));
    p.drawLine(QPointF(w, 0), QPointF(w - m, m));
    p.drawLine(QPointF(0, h), QPointF(m, h - m));
    p.drawLine(QPointF(w, h), QPointF(w - m, h - m));
    FinishBoard(p, {m,
                    QColor(0x1a, 0x08, 0x04, 200),
                    QColor(0xd0, 0x80, 0x50, 90),
                    6,
                    QColor(0xe0, 0x9a, 0x70, 90),
                    QColor(0x10, 0x04, 0x02, 170),
                    {QColor(0x0e, 0x06, 0x04), QColor(0x2a, 0x12, 0x0a), QColor(0x2e, 0x10, 0x08),
                     QColor(0xd8, 0x8c, 0x5c)}});
    return image;
}

QImage DrawMetal() {
    QImage image = NewBackground();
    QPainter p(&image);
    Rng rng(17906);

    QLinearGradient base(0, 0, 0, kBackgroundHeight);
    base.setColorAt(0.0, QColor(0xc4, 0xc9, 0xcf));
    base.setColorAt(0.35, QColor(0xa6, 0xac, 0xb3));
    base.setColorAt(0.5, QColor(0xb8, 0xbe, 0xc4));
    base.setColorAt(1.0, QColor(0x8c, 0x92, 0x99));
    p.fillRect(image.rect(), base);

    // Broad sheen across the plate, then the brush strokes.
    QLinearGradient sheen(0, 0, kBackgroundWidth, kBackgroundHeight * 0.6);
    sheen.setColorAt(0.0, QColor(255, 255, 255, 0));
    sheen.setColorAt(0.3, QColor(255, 255, 255, 60));
    sheen.setColorAt(0.42, QColor(255, 255, 255, 0));
    sheen.setColorAt(0.7, QColor(255, 255, 255, 35));
    sheen.setColorAt(0.8, QColor(255, 255, 255, 0));
    p.fillRect(image.rect(), sheen);
    p.setRenderHint(QPainter::Antialiasing, false);
    for (int i = 0; i < 900; ++i) {
        const bool light = rng.Next() & 1;
        const int alpha = static_cast<int>(rng.Uniform(10, 34));
        const double y = rng.Uniform(0, kBackgroundHeight);
        const double x = rng.Uniform(-300, kBackgroundWidth);
        const double len = rng.Uniform(150, 900);
        p.setPen(QPen(light ? QColor(255, 255, 255, alpha) : QColor(40, 46, 54, alpha), 1));
        p.drawLine(QPointF(x, y), QPointF(x + len, y));
    }

    FinishBoard(p, {36,
                    QColor(0x40, 0x46, 0x4e, 170),
                    QColor(0xff, 0xff, 0xff, 140),
                    8,
                    QColor(0xf4, 0xf6, 0xf8, 170),
                    QColor(0x3a, 0x40, 0x48, 180),
                    {QColor(0x12, 0x15, 0x1a), QColor(0x34, 0x3a, 0x42), QColor(0x56, 0x5c, 0x64),
                     QColor(0xf4, 0xf7, 0xfa)}});

    // Domed rivets where four cells meet, and along the frame.
    auto rivet = [&](QPointF c) {
        const double r = 9;
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(0, 0, 0, 70));
        p.drawEllipse(c + QPointF(2, 2.5), r + 1, r + 1);
        QRadialGradient dome(c, r, c - QPointF(3.5, 3.5));
        dome.setColorAt(0.0, QColor(0xff, 0xff, 0xff));
        dome.setColorAt(0.45, QColor(0xb4, 0xba, 0xc2));
        dome.setColorAt(1.0, QColor(0x50, 0x56, 0x5e));
        p.setBrush(dome);
        p.setPen(QPen(QColor(0x3a, 0x40, 0x48), 1));
        p.drawEllipse(c, r, r);
    };
    p.setRenderHint(QPainter::Antialiasing);
    for (int i = 1; i < kColumns; ++i)
        for (int j = 1; j < kRows; ++j) rivet(QPointF(kMargin + kCell * i + 1, kMargin + kCell * j + 1));
    for (int i = 0; i <= kColumns; ++i) {
        rivet(QPointF(kMargin + kCell * i + 1, 22));
        rivet(QPointF(kMargin + kCell * i + 1, kBackgroundHeight - 22));
    }
    for (int j = 1; j < kRows; ++j) {
        rivet(QPointF(22, kMargin + kCell * j + 1));
        rivet(QPointF(kBackgroundWidth - 22, kMargin + kCell * j + 1));
    }
    return image;
}

QImage DrawFusion() {
    QImage image = NewBackground();
    QPainter p(&image);
    Rng rng(18007);

    QLinearGradient base(0, 0, kBackgroundWidth, kBackgroundHeight);
    base.setColorAt(0.0, QColor(0x3a, 0x1c, 0x8c));
    base.setColorAt(0.35, QColor(0x8e, 0x1e, 0x8a));
    base.setColorAt(0.65, QColor(0xd8, 0x36, 0x5a));
    base.setColorAt(1.0, QColor(0xf4, 0x9a, 0x2c));
    p.fillRect(image.rect(), base);

    // Pools of other colours melting into the base, one of them in the corner that the menu
    // thumbnail shows.
    struct Pool {
        QPointF centre;
        double radius;
        QColor colour;
    };
    const Pool pools[] = {{{100, 160}, 380, QColor(0x1e, 0xb4, 0xd2, 160)},
                          {{360, 40}, 300, QColor(0xff, 0x9a, 0x2c, 150)},
                          {{1250, 260}, 520, QColor(0xff, 0x6a, 0x3c, 110)},
                          {{380, 1150}, 480, QColor(0x6c, 0x2c, 0xe0, 120)},
                          {{820, 640}, 380, QColor(0xff, 0x3c, 0x9c, 80)}};
    p.setPen(Qt::NoPen);
    for (const Pool& pool : pools) {
        QRadialGradient g(pool.centre, pool.radius);
        QColor edge = pool.colour;
        edge.setAlpha(0);
        g.setColorAt(0.0, pool.colour);
        g.setColorAt(1.0, edge);
        p.setBrush(g);
        p.drawEllipse(pool.centre, pool.radius, pool.radius);
    }

    // Molten ribbons flowing across, in colours that blend with what lies beneath.
    const QColor ribbons[] = {QColor(0x28, 0xd0, 0xe8), QColor(0xff, 0xd2, 0x3c), QColor(0xff, 0x5a, 0xb4),
                              QColor(0x5a, 0x3c, 0xff), QColor(0xff, 0xff, 0xff)};
    p.setRenderHint(QPainter::Antialiasing);
    p.setBrush(Qt::NoBrush);
    for (int i = 0; i < 22; ++i) {
        QColor c = ribbons[rng.Next() % 5];
        c.setAlpha(static_cast<int>(rng.Uniform(26, 60)));
        const double y0 = rng.Uniform(-200, kBackgroundHeight + 200);
        const double slope = rng.Uniform(-0.5, 0.2);
        const double a1 = rng.Uniform(40, 140), f1 = rng.Uniform(0.002, 0.006);
        const double ph = rng.Uniform(0, 6.28);
        QPainterPath path;
        for (double x = -40; x <= kBackgroundWidth + 40; x += 15) {
            const QPointF pt(x, y0 + slope * x + a1 * std::sin(x * f1 + ph));
            if (x < -39)
                path.moveTo(pt);
            else
                path.lineTo(pt);
        }
        p.setPen(QPen(c, rng.Uniform(18, 90), Qt::SolidLine, Qt::FlatCap, Qt::RoundJoin));
        p.drawPath(path);
        p.setPen(QPen(QColor(255, 255, 255, c.alpha() / 2), 2.5));
        p.drawPath(path);
    }
    // A glassy gloss over the upper part.
    QLinearGradient gloss(0, 0, 0, kBackgroundHeight);
    gloss.setColorAt(0.0, QColor(255, 255, 255, 70));
    gloss.setColorAt(0.45, QColor(255, 255, 255, 0));
    p.fillRect(image.rect(), gloss);

    FinishBoard(p, {38,
                    QColor(0x1a, 0x06, 0x30, 150),
                    QColor(0xff, 0xe8, 0xc0, 120),
                    7,
                    QColor(0xff, 0xe8, 0xff, 120),
                    QColor(0x20, 0x04, 0x30, 160),
                    {QColor(0x10, 0x04, 0x1e), QColor(0x36, 0x12, 0x4a), QColor(0x8a, 0x5a, 0x10),
                     QColor(0xff, 0xe6, 0x8a)}});
    return image;
}

} // namespace picgen
