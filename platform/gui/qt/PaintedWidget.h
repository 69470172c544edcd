#pragma once
// A window that core draws: its pixels live in a backing image that core's
// drawing fills (whenever core paints, which need not be inside Qt's paint
// event) and Qt's paint event copies out. Pointer input becomes pointer
// messages in the window's client coordinates.

#include <QImage>
#include <QWidget>
#include <memory>

#include "platform/gui/drawing/Surface.h"

namespace ce::gui::qt {

class QtBackend;

class PaintedWidget : public QWidget {
public:
    PaintedWidget(QtBackend& backend, HWND window, QWidget* parent);
    HWND window() const { return window_; }
    // A surface on the backing image; the widget is updated when it is done.
    std::unique_ptr<Surface> BeginDrawing(int dpi);
    // What core has drawn so far, in window pixels.
    const QImage& backing() const { return backing_; }

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;

private:
    void Post(UINT message, QPoint point, Qt::MouseButtons buttons, Qt::KeyboardModifiers keys,
              int wheel = 0);
    void FitBacking();

    QtBackend& backend_;
    HWND window_;
    QImage backing_;
};

}  // namespace ce::gui::qt
