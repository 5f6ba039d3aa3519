#include "Picture.h"

#include <QPainter>

Picture::Picture(int width, int height)
    : image_(qMax(width, 1), qMax(height, 1), QImage::Format_ARGB32_Premultiplied) {
    image_.fill(Qt::white);
}

Picture::Picture(const QImage& image) : image_(image.convertToFormat(QImage::Format_ARGB32_Premultiplied)) {}

Picture::Picture(QImage image, std::function<QImage()> source)
    : image_(std::move(image).convertToFormat(QImage::Format_ARGB32_Premultiplied)),
      source_(std::move(source)), sourceSize_(image_.size()) {}

const QImage& Picture::Pixels() const {
    if (image_.isNull() && source_) {
        image_ = source_().convertToFormat(QImage::Format_ARGB32_Premultiplied);
        if (image_.size() != sourceSize_) {
            // The source no longer gives what it gave: a blank picture keeps every size computed from it.
            image_ = QImage(sourceSize_, QImage::Format_ARGB32_Premultiplied);
            image_.fill(Qt::white);
        }
    }
    return image_;
}

bool Picture::ReleasePixels() {
    // What was drawn into the picture or its mask would be lost.
    if (!source_ || version_ != 0 || mask_ || image_.isNull()) return false;
    image_ = QImage();
    return true;
}

Picture& Picture::Mask() {
    if (!mask_) {
        mask_ = std::make_unique<Picture>(Width(), Height());
        mask_->image_.fill(Qt::black);
    }
    return *mask_;
}

QImage& Picture::MutableImage() {
    Pixels();
    ++version_;
    return image_;
}

const QImage& Picture::Composed() const {
    if (!mask_) return Pixels();
    if (composedVersion_ == version_ && composedMaskVersion_ == mask_->version_) return composed_;
    QImage out = Pixels().convertToFormat(QImage::Format_ARGB32);
    const QImage m = mask_->image_.convertToFormat(QImage::Format_ARGB32);
    const int w = qMin(out.width(), m.width());
    const int h = qMin(out.height(), m.height());
    for (int y = 0; y < out.height(); ++y) {
        auto* px = reinterpret_cast<QRgb*>(out.scanLine(y));
        const auto* mk = y < h ? reinterpret_cast<const QRgb*>(m.constScanLine(y)) : nullptr;
        for (int x = 0; x < out.width(); ++x) {
            // Black keeps the pixel, white removes it; grey in between.
            const int alpha = (mk && x < w) ? 255 - qGray(mk[x]) : 255;
            px[x] = qRgba(qRed(px[x]), qGreen(px[x]), qBlue(px[x]), alpha * qAlpha(px[x]) / 255);
        }
    }
    composed_ = out.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    composedVersion_ = version_;
    composedMaskVersion_ = mask_->version_;
    return composed_;
}

PictureRef NewPicture(int width, int height, int /*depth*/) {
    return std::make_shared<Picture>(width, height);
}

Picture& Graphics::Target() const { return picture_ ? *picture_ : surface_->SurfacePicture(); }

int Graphics::Width() const { return Target().Width(); }
int Graphics::Height() const { return Target().Height(); }

void Graphics::FillRect(int x, int y, int width, int height) {
    Picture& target = Target();
    QPainter p(&target.MutableImage());
    p.setCompositionMode(QPainter::CompositionMode_Source);
    p.fillRect(x, y, width, height, ForeColor);
    p.end();
    if (surface_) surface_->SurfaceChanged();
}

void Graphics::DrawPicture(const Picture& picture, int x, int y) {
    Picture& target = Target();
    const QImage& source = picture.Composed();
    if (x == 0 && y == 0 && !picture.HasMask() && source.size() == target.Image().size()) {
        // An opaque picture covering the whole target: share its pixels instead of copying them.
        target.MutableImage() = source;
    } else {
        QPainter p(&target.MutableImage());
        p.drawImage(x, y, source);
    }
    if (surface_) surface_->SurfaceChanged();
}

void Graphics::DrawPicture(const Picture& picture, int x, int y, int destWidth, int destHeight, int srcX,
                           int srcY, int srcWidth, int srcHeight) {
    Picture& target = Target();
    {
        QPainter p(&target.MutableImage());
        if (destWidth == srcWidth && destHeight == srcHeight) {
            // Same size: a plain copy of the area. The scaling path would filter every pixel.
            p.drawImage(QPoint(x, y), picture.Composed(), QRect(srcX, srcY, srcWidth, srcHeight));
        } else {
            p.setRenderHint(QPainter::SmoothPixmapTransform, true);
            p.drawImage(QRectF(x, y, destWidth, destHeight), picture.Composed(),
                        QRectF(srcX, srcY, srcWidth, srcHeight));
        }
    }
    if (surface_) surface_->SurfaceChanged();
}
