#include "platform/gui/qt/PaintedWidget.h"

#include <QMouseEvent>
#include <QPainter>
#include <QWheelEvent>

#include "platform/gui/NativeEvents.h"
#include "platform/gui/qt/QtBackend.h"
#include "platform/gui/qt/QtSurface.h"

namespace ce::gui::qt {

PaintedWidget::PaintedWidget(QtBackend& backend, HWND window, QWidget* parent)
    : QWidget(parent), backend_(backend), window_(window) {
    setAttribute(Qt::WA_OpaquePaintEvent);
    setFocusPolicy(Qt::NoFocus);
}

void PaintedWidget::FitBacking() {
    qreal ratio = devicePixelRatioF();
    QSize size = this->size().expandedTo(QSize(1, 1));
    QSize pixels(qCeil(size.width() * ratio), qCeil(size.height() * ratio));
    if (!backing_.isNull() && backing_.size() == pixels)
        return;
    QImage image(pixels, QImage::Format_ARGB32_Premultiplied);
    image.setDevicePixelRatio(ratio);
    image.fill(Qt::white);
    if (!backing_.isNull()) {
        QPainter copy(&image);
        copy.drawImage(QPoint(0, 0), backing_);
    }
    backing_ = std::move(image);
}

std::unique_ptr<Surface> PaintedWidget::BeginDrawing(int dpi) {
    FitBacking();
    QPointer<PaintedWidget> self(this);
    return std::make_unique<QtSurface>(backing_, dpi, [self] {
        if (self)
            self->update();
    });
}

void PaintedWidget::paintEvent(QPaintEvent* event) {
    FitBacking();
    QPainter painter(this);
    painter.drawImage(event->rect(), backing_,
                      QRectF(event->rect().topLeft() * backing_.devicePixelRatio(),
                             event->rect().size() * backing_.devicePixelRatio()));
}

void PaintedWidget::resizeEvent(QResizeEvent*) {
    FitBacking();
}

void PaintedWidget::Post(UINT message, QPoint point, Qt::MouseButtons buttons,
                         Qt::KeyboardModifiers keys, int wheel) {
    WPARAM state = 0;
    if (buttons & Qt::LeftButton)
        state |= MK_LBUTTON;
    if (buttons & Qt::RightButton)
        state |= MK_RBUTTON;
    if (keys & Qt::ShiftModifier)
        state |= MK_SHIFT;
    if (keys & Qt::ControlModifier)
        state |= MK_CONTROL;
    if (message == WM_MOUSEWHEEL)
        state = MAKEWPARAM(static_cast<int>(state), wheel);
    PostPointer(window_, message, {point.x(), point.y()}, state);
    backend_.NoteInput();
}

void PaintedWidget::mousePressEvent(QMouseEvent* event) {
    QPoint at = event->position().toPoint();
    if (event->button() == Qt::LeftButton) {
        backend_.NotePress(window_, false, at);
        Post(WM_LBUTTONDOWN, at, event->buttons(), event->modifiers());
    } else if (event->button() == Qt::RightButton) {
        backend_.NotePress(window_, true, at);
        Post(WM_RBUTTONDOWN, at, event->buttons(), event->modifiers());
    }
}

void PaintedWidget::mouseReleaseEvent(QMouseEvent* event) {
    QPoint at = event->position().toPoint();
    if (event->button() == Qt::LeftButton) {
        backend_.NoteRelease();
        Post(WM_LBUTTONUP, at, event->buttons(), event->modifiers());
    } else if (event->button() == Qt::RightButton) {
        backend_.NoteRelease();
        Post(WM_RBUTTONUP, at, event->buttons(), event->modifiers());
    }
}

void PaintedWidget::mouseDoubleClickEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) {
        mousePressEvent(event);
        return;
    }
    backend_.NotePress(window_, false, event->position().toPoint());
    Post(WM_LBUTTONDBLCLK, event->position().toPoint(), event->buttons(), event->modifiers());
}

void PaintedWidget::mouseMoveEvent(QMouseEvent* event) {
    backend_.NoteMove(event->position().toPoint());
    Post(WM_MOUSEMOVE, event->position().toPoint(), event->buttons(), event->modifiers());
}

void PaintedWidget::wheelEvent(QWheelEvent* event) {
    int delta = event->angleDelta().y();
    if (delta == 0)
        return;
    Post(WM_MOUSEWHEEL, event->position().toPoint(), event->buttons(), event->modifiers(), delta);
}

}  // namespace ce::gui::qt
