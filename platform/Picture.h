#pragma once
// Pictures as the game uses them: 32-bit images that carry a mask picture of their own
// (black opaque, white transparent, grey partial), drawn through that mask.
#include <QColor>
#include <QImage>
#include <functional>
#include <memory>

class Picture;
using PictureRef = std::shared_ptr<Picture>;

// What Graphics draws into besides a plain picture: a picture of its own, told when a drawing
// call changed it (a window shows its frame again at the next paint).
class DrawingSurface {
public:
    virtual Picture& SurfacePicture() = 0;
    virtual void SurfaceChanged() = 0;

protected:
    ~DrawingSurface() = default;
};

// Drawing into a picture or a window. Each call paints and finishes at once, so several
// Graphics may address one picture.
class Graphics {
public:
    explicit Graphics(Picture& target) : picture_(&target) {}
    explicit Graphics(DrawingSurface& target) : surface_(&target) {}

    int Width() const;
    int Height() const;
    QColor ForeColor = Qt::black;
    void FillRect(int x, int y, int width, int height);
    // Whole picture at its own size.
    void DrawPicture(const Picture& picture, int x, int y);
    // Source rectangle scaled smoothly into the destination rectangle.
    void DrawPicture(const Picture& picture, int x, int y, int destWidth, int destHeight, int srcX, int srcY,
                     int srcWidth, int srcHeight);

private:
    Picture& Target() const;
    Picture* picture_ = nullptr;
    DrawingSurface* surface_ = nullptr;
};

class Picture {
public:
    // A new picture is opaque white; depth is always 32 bits.
    Picture(int width, int height);
    explicit Picture(const QImage& image);
    // A picture that can let its pixels go and read them again from `source` when next used.
    Picture(QImage image, std::function<QImage()> source);

    int Width() const { return Pixels().width(); }
    int Height() const { return Pixels().height(); }
    Graphics GetGraphics() { return Graphics(*this); }
    // The mask, made on first use all black (fully opaque).
    Picture& Mask();
    bool HasMask() const { return mask_ != nullptr; }

    // The colours, without the mask.
    const QImage& Image() const { return Pixels(); }
    QImage& MutableImage();
    // The colours with the mask applied as alpha; cached until either changes.
    const QImage& Composed() const;

    // Frees the pixels of a picture made from a source and never changed since; true if it did.
    bool ReleasePixels();
    bool HasPixels() const { return !image_.isNull(); } // false only while let go

private:
    const QImage& Pixels() const;

    mutable QImage image_;
    std::function<QImage()> source_;
    QSize sourceSize_;
    std::unique_ptr<Picture> mask_;
    quint64 version_ = 0;
    mutable QImage composed_;
    mutable quint64 composedVersion_ = ~quint64(0);
    mutable quint64 composedMaskVersion_ = ~quint64(0);
};

PictureRef NewPicture(int width, int height, int depth = 32);
