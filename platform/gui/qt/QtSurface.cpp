#include "platform/gui/qt/QtSurface.h"

#include <QFontMetrics>

#include "platform/gui/qt/QtText.h"

namespace ce::gui::qt {

QtSurface::QtSurface(QImage& image, int dpi, std::function<void()> done)
    : painter_(&image), dpi_(dpi), done_(std::move(done)) {
    painter_.setRenderHint(QPainter::TextAntialiasing);
}

QtSurface::~QtSurface() {
    painter_.end();
    if (done_)
        done_();
}

void QtSurface::FillRect(const RECT& rect, COLORREF color) {
    if (rect.right <= rect.left || rect.bottom <= rect.top)
        return;
    painter_.fillRect(QRect(rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top),
                      ToQColor(color));
}

void QtSurface::DrawLine(POINT from, POINT to, COLORREF color, int width) {
    int w = std::max(1, width);
    // The end point is not drawn: stop one pixel short along the line.
    int dx = (to.x > from.x) - (to.x < from.x);
    int dy = (to.y > from.y) - (to.y < from.y);
    QPoint last(to.x - dx, to.y - dy);
    if (dx == 0 && dy == 0)
        return;
    if (dx == 0 || dy == 0) {
        // Axis-parallel lines as rectangles, so that every pixel is exact.
        int left = std::min<int>(from.x, last.x());
        int top = std::min<int>(from.y, last.y());
        int right = std::max<int>(from.x, last.x());
        int bottom = std::max<int>(from.y, last.y());
        if (dx == 0)
            painter_.fillRect(QRect(left - (w - 1) / 2, top, w, bottom - top + 1), ToQColor(color));
        else
            painter_.fillRect(QRect(left, top - (w - 1) / 2, right - left + 1, w), ToQColor(color));
        return;
    }
    painter_.setPen(QPen(ToQColor(color), w));
    painter_.drawLine(QPoint(from.x, from.y), last);
}

void QtSurface::DrawText(POINT origin, std::u16string_view text, const LOGFONTW& font,
                         COLORREF color) {
    QFont qfont = ToQFont(font, dpi_);
    painter_.setFont(qfont);
    painter_.setPen(ToQColor(color));
    QFontMetrics metrics(qfont);
    painter_.drawText(QPoint(origin.x, origin.y + metrics.ascent()), ToQString(text));
}

void QtSurface::DrawImage(const Image& image, const RECT& source, POINT destination,
                          COLORREF transparent) {
    int width = source.right - source.left;
    int height = source.bottom - source.top;
    if (width <= 0 || height <= 0 || source.left < 0 || source.top < 0 ||
        source.right > image.width || source.bottom > image.height ||
        image.rgba.size() < static_cast<std::size_t>(image.width) * image.height * 4)
        return;
    QImage part(width, height, QImage::Format_ARGB32);
    for (int y = 0; y < height; ++y) {
        auto* line = reinterpret_cast<QRgb*>(part.scanLine(y));
        for (int x = 0; x < width; ++x) {
            std::size_t at = (static_cast<std::size_t>(source.top + y) * image.width +
                              static_cast<std::size_t>(source.left + x)) *
                             4;
            BYTE r = image.rgba[at];
            BYTE g = image.rgba[at + 1];
            BYTE b = image.rgba[at + 2];
            BYTE a = image.rgba[at + 3];
            if (transparent != CLR_NONE && RGB(r, g, b) == transparent)
                a = 0;
            line[x] = qRgba(r, g, b, a);
        }
    }
    painter_.drawImage(QPoint(destination.x, destination.y), part);
}

void QtSurface::SetClip(const RECT* clip) {
    if (clip == nullptr) {
        painter_.setClipping(false);
        return;
    }
    painter_.setClipRect(QRect(clip->left, clip->top, std::max<LONG>(0, clip->right - clip->left),
                               std::max<LONG>(0, clip->bottom - clip->top)));
}

}  // namespace ce::gui::qt
