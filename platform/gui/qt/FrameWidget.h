#pragma once
// A top-level window or dialog on the desktop. With the palm-size shell's
// strip a frame is the whole device screen: the strip across the top shows
// the window's text and, for a window with the Done button, "ok"; the
// window itself sits at its place on the screen below. Without the strip a
// frame is an ordinary captioned desktop window as large as the window.

#include <QWidget>

#include "platform/gui/WinTypes.h"

class QToolButton;

namespace ce::gui::qt {

class QtBackend;
class PaintedWidget;

class CaptionStrip : public QWidget {
public:
    CaptionStrip(QtBackend& backend, HWND window, QWidget* parent);
    void Sync();
    QToolButton* doneButton() const { return done_; }

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    QtBackend& backend_;
    HWND window_;
    QToolButton* done_;
};

class FrameWidget : public QWidget {
public:
    FrameWidget(QtBackend& backend, HWND window);
    HWND window() const { return window_; }
    PaintedWidget* client() const { return client_; }
    CaptionStrip* strip() const { return strip_; }
    // Follows the window's state (WindowChange bits).
    void Sync(unsigned changes);

protected:
    void closeEvent(QCloseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    // The window's icons (WindowIcon) as the frame's, and the program's for the main window.
    void SyncIcon();

    QtBackend& backend_;
    HWND window_;
    PaintedWidget* client_;
    CaptionStrip* strip_ = nullptr;
    bool placing_ = false;
};

}  // namespace ce::gui::qt
