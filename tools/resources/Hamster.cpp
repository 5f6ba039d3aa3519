// The about window's mascot: a hamster sitting up with a sunflower seed, as a small opaque
// portrait exactly the size of the window's picture areas. Drawn eight times larger in picture
// units, then reduced, which keeps the tiny shapes smooth.
#include "PicGen.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>

namespace picgen {

QImage DrawHamster() {
    constexpr int kScale = 8;
    QImage big(kHamsterWidth * kScale, kHamsterHeight * kScale, QImage::Format_RGB32);
    QPainter p(&big);
    p.setRenderHint(QPainter::Antialiasing);
    p.scale(kScale, kScale);

    const QColor fur(0xe4, 0x9a, 0x46);
    const QColor furLight(0xf6, 0xc2, 0x7a);
    const QColor outline(0x7a, 0x44, 0x1a);
    const QColor cream(0xfd, 0xf1, 0xdc);
    const QColor pink(0xf2, 0x9c, 0xa6);

    QLinearGradient sky(0, 0, 0, kHamsterHeight);
    sky.setColorAt(0.0, QColor(0xcf, 0xe8, 0xfb));
    sky.setColorAt(1.0, QColor(0xf2, 0xf8, 0xff));
    p.fillRect(QRectF(0, 0, kHamsterWidth, kHamsterHeight), sky);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0x9c, 0xd0, 0x6e));
    p.drawEllipse(QPointF(13.5, 41), 22, 7);

    const QPen line(outline, 0.55);

    // Feet and body.
    p.setPen(line);
    p.setBrush(pink);
    p.drawEllipse(QPointF(8.5, 35.2), 2.6, 1.4);
    p.drawEllipse(QPointF(18.5, 35.2), 2.6, 1.4);
    QRadialGradient bodyGrad(QPointF(11, 22), 12);
    bodyGrad.setColorAt(0.0, furLight);
    bodyGrad.setColorAt(1.0, fur);
    p.setBrush(bodyGrad);
    p.drawEllipse(QPointF(13.5, 26.5), 10, 9.2);
    p.setPen(Qt::NoPen);
    p.setBrush(cream);
    p.drawEllipse(QPointF(13.5, 28.5), 6.2, 6.6);

    // Ears behind the head.
    p.setPen(line);
    p.setBrush(fur);
    p.drawEllipse(QPointF(6.2, 6.6), 3.1, 3.1);
    p.drawEllipse(QPointF(20.8, 6.6), 3.1, 3.1);
    p.setPen(Qt::NoPen);
    p.setBrush(pink);
    p.drawEllipse(QPointF(6.4, 6.8), 1.7, 1.7);
    p.drawEllipse(QPointF(20.6, 6.8), 1.7, 1.7);

    // Head, with its pale muzzle and puffed cheeks.
    QRadialGradient headGrad(QPointF(10.5, 9), 11);
    headGrad.setColorAt(0.0, furLight);
    headGrad.setColorAt(1.0, fur);
    p.setPen(line);
    p.setBrush(headGrad);
    p.drawEllipse(QPointF(13.5, 13), 9.4, 8.2);
    p.setPen(Qt::NoPen);
    p.setBrush(cream);
    p.drawEllipse(QPointF(9.6, 16.4), 3.9, 3.2);
    p.drawEllipse(QPointF(17.4, 16.4), 3.9, 3.2);
    p.drawEllipse(QPointF(13.5, 15.2), 2.6, 2.6);

    // Eyes with a glint, nose and mouth.
    p.setBrush(QColor(0x1a, 0x10, 0x0c));
    p.drawEllipse(QPointF(9.6, 11.4), 1.55, 1.75);
    p.drawEllipse(QPointF(17.4, 11.4), 1.55, 1.75);
    p.setBrush(Qt::white);
    p.drawEllipse(QPointF(9.1, 10.8), 0.55, 0.55);
    p.drawEllipse(QPointF(16.9, 10.8), 0.55, 0.55);
    p.setBrush(QColor(0xd8, 0x5a, 0x6e));
    p.drawEllipse(QPointF(13.5, 14.2), 1.2, 0.85);
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(outline, 0.45, Qt::SolidLine, Qt::RoundCap));
    QPainterPath mouth;
    mouth.moveTo(13.5, 15.0);
    mouth.lineTo(13.5, 15.9);
    mouth.moveTo(12.2, 16.3);
    mouth.quadTo(12.9, 16.8, 13.5, 15.9);
    mouth.quadTo(14.1, 16.8, 14.8, 16.3);
    p.drawPath(mouth);

    // Blush on the cheeks.
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0xf4, 0x8c, 0x96, 110));
    p.drawEllipse(QPointF(7.6, 16.2), 1.6, 1.0);
    p.drawEllipse(QPointF(19.4, 16.2), 1.6, 1.0);

    // A striped sunflower seed held in both paws.
    p.save();
    p.translate(13.5, 24.4);
    p.rotate(18);
    p.setPen(QPen(QColor(0x20, 0x20, 0x24), 0.4));
    p.setBrush(QColor(0x3a, 0x3a, 0x40));
    p.drawEllipse(QPointF(0, 0), 1.9, 3.2);
    p.setPen(QPen(QColor(0xf0, 0xf0, 0xea), 0.45));
    p.drawLine(QPointF(0, -2.6), QPointF(0, 2.6));
    p.drawLine(QPointF(-1.0, -2.1), QPointF(-1.0, 2.1));
    p.drawLine(QPointF(1.0, -2.1), QPointF(1.0, 2.1));
    p.restore();
    p.setPen(line);
    p.setBrush(pink);
    p.drawEllipse(QPointF(11.0, 25.0), 1.6, 1.3);
    p.drawEllipse(QPointF(16.0, 25.0), 1.6, 1.3);

    // A thin frame, so the two portraits read as pictures on the window.
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(QColor(0x5a, 0x7a, 0x9a), 1.0));
    p.drawRect(QRectF(0.5, 0.5, kHamsterWidth - 1, kHamsterHeight - 1));
    p.end();

    return big.scaled(kHamsterWidth, kHamsterHeight, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
}

} // namespace picgen
