#pragma once
// A drawing surface that remembers what was drawn, so that tests can look
// at a paint: texts with their fonts and colours, rectangles, lines and
// images.

#include <functional>
#include <string>
#include <vector>

#include "platform/gui/drawing/Surface.h"

namespace ce::gui {

struct DrawOp {
    enum Kind { Fill, Line, Text, Picture } kind = Fill;
    RECT rect{};          // Fill: the rectangle; Picture: where the image landed
    POINT from{};         // Line
    POINT to{};           // Line; Text: the origin is `from`
    std::u16string text;  // Text
    LONG fontHeight = 0;  // Text
    LONG fontWeight = 0;  // Text
    COLORREF color = 0;
    int width = 1;       // Line
    RECT source{};       // Picture: the part of the image
    int imageWidth = 0;  // Picture: the whole image's size
    int imageHeight = 0;
    COLORREF transparent = CLR_NONE;
    bool clipped = false;  // a clip rectangle was in force
    RECT clip{};
};

class RecordingSurface : public Surface {
public:
    explicit RecordingSurface(std::function<void(std::vector<DrawOp>)> done)
        : done_(std::move(done)) {}
    ~RecordingSurface() override { done_(std::move(ops_)); }

    void FillRect(const RECT& rect, COLORREF color) override;
    void DrawLine(POINT from, POINT to, COLORREF color, int width) override;
    void DrawText(POINT origin, std::u16string_view text, const LOGFONTW& font,
                  COLORREF color) override;
    void DrawImage(const Image& image, const RECT& source, POINT destination,
                   COLORREF transparent) override;
    void SetClip(const RECT* clip) override;

private:
    DrawOp Op(DrawOp::Kind kind) const;
    std::function<void(std::vector<DrawOp>)> done_;
    std::vector<DrawOp> ops_;
    bool clipped_ = false;
    RECT clip_{};
};

}  // namespace ce::gui
