#include "platform/gui/headless/RecordingSurface.h"

namespace ce::gui {

DrawOp RecordingSurface::Op(DrawOp::Kind kind) const {
    DrawOp op;
    op.kind = kind;
    op.clipped = clipped_;
    op.clip = clip_;
    return op;
}

void RecordingSurface::FillRect(const RECT& rect, COLORREF color) {
    DrawOp op = Op(DrawOp::Fill);
    op.rect = rect;
    op.color = color;
    ops_.push_back(op);
}

void RecordingSurface::DrawLine(POINT from, POINT to, COLORREF color, int width) {
    DrawOp op = Op(DrawOp::Line);
    op.from = from;
    op.to = to;
    op.color = color;
    op.width = width;
    ops_.push_back(op);
}

void RecordingSurface::DrawText(POINT origin, std::u16string_view text, const LOGFONTW& font,
                                COLORREF color) {
    DrawOp op = Op(DrawOp::Text);
    op.from = origin;
    op.text = text;
    op.fontHeight = font.lfHeight;
    op.fontWeight = font.lfWeight;
    op.color = color;
    ops_.push_back(op);
}

void RecordingSurface::DrawImage(const Image& image, const RECT& source, POINT destination,
                                 COLORREF transparent) {
    DrawOp op = Op(DrawOp::Picture);
    op.source = source;
    op.rect = {destination.x, destination.y, destination.x + source.right - source.left,
               destination.y + source.bottom - source.top};
    op.imageWidth = image.width;
    op.imageHeight = image.height;
    op.transparent = transparent;
    ops_.push_back(op);
}

void RecordingSurface::SetClip(const RECT* clip) {
    clipped_ = clip != nullptr;
    clip_ = clip != nullptr ? *clip : RECT{};
}

}  // namespace ce::gui
