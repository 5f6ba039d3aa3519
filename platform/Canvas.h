#pragma once
// A control that shows its backdrop picture at the picture's own size from its top-left corner,
// clipped to the control, through the picture's mask.
#include "Picture.h"

#include <QWidget>

class Canvas : public QWidget {
    Q_OBJECT
public:
    explicit Canvas(QWidget* parent = nullptr);
    PictureRef Backdrop() const { return backdrop_; }
    void SetBackdrop(const PictureRef& picture);

signals:
    void clicked();

protected:
    void paintEvent(QPaintEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    PictureRef backdrop_;
};
