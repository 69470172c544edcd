#pragma once
// Core's drawing on the backing image of a painted window.

#include <QImage>
#include <QPainter>
#include <functional>

#include "platform/gui/drawing/Surface.h"

namespace ce::gui::qt {

class QtSurface : public Surface {
public:
    // Draws on `image` (in window pixels; the image may hold more device
    // pixels); `done` runs when the drawing is finished.
    QtSurface(QImage& image, int dpi, std::function<void()> done);
    ~QtSurface() override;

    void FillRect(const RECT& rect, COLORREF color) override;
    void DrawLine(POINT from, POINT to, COLORREF color, int width) override;
    void DrawText(POINT origin, std::u16string_view text, const LOGFONTW& font,
                  COLORREF color) override;
    void DrawImage(const Image& image, const RECT& source, POINT destination,
                   COLORREF transparent) override;
    void SetClip(const RECT* clip) override;

private:
    QPainter painter_;
    int dpi_;
    std::function<void()> done_;
};

}  // namespace ce::gui::qt
