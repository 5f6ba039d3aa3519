#pragma once
#include <QWidget>

class Window;

// The content area of a window: shows the window's frame picture and reports the mouse.
class WindowContent : public QWidget {
public:
    explicit WindowContent(Window& owner);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    Window& owner_;
    bool pressTaken_ = false;
};
