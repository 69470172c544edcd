// Text laid out by DrawTextW with each of its flags, and the bitmaps the
// window system reads: a PNG that is cut short, damaged or too large is
// refused without reading past its bytes.

#include <string>

#include "platform/gui/Gdi.h"
#include "platform/gui/drawing/Surface.h"
#include "tests/platform/gui/GuiFixture.h"
#include "tests/platform/gui/TestBitmaps.h"
#include "tests/support/ParamNames.h"

namespace gui_test {
namespace {

struct Line {
    std::u16string text;
    LONG x;
    LONG y;
    bool operator==(const Line&) const = default;
};

void PrintTo(const Line& line, std::ostream* out) {
    *out << "\"" << std::string(line.text.begin(), line.text.end()) << "\" at " << line.x << ","
         << line.y;
}

struct DrawTextCase {
    const char16_t* text;
    RECT rect;
    UINT format;
    std::vector<Line> lines;  // drawn, with the fixed-width metrics: 7 by 16 pixels
    int height;
};

class DrawText : public GuiTest, public ::testing::WithParamInterface<DrawTextCase> {};

TEST_P(DrawText, LaysOutTheTextAsItsFlagsSay) {
    HWND frame = MakeFrame();
    HDC hdc = GetDC(frame);
    RECT rect = GetParam().rect;
    EXPECT_EQ(DrawTextW(hdc, GetParam().text, -1, &rect, GetParam().format), GetParam().height);
    ReleaseDC(frame, hdc);
    std::vector<Line> drawn;
    for (const gui::DrawOp& op : backend().LastDrawing(frame)) {
        if (op.kind == gui::DrawOp::Text)
            drawn.push_back({op.text, op.from.x, op.from.y});
    }
    EXPECT_EQ(drawn, GetParam().lines);
}

INSTANTIATE_TEST_SUITE_P(
    Flags, DrawText,
    ::testing::Values(
        DrawTextCase{u"&Save", {0, 0, 100, 20}, DT_SINGLELINE, {{u"Save", 0, 0}}, 16},
        DrawTextCase{
            u"&Save", {0, 0, 100, 20}, DT_SINGLELINE | DT_NOPREFIX, {{u"&Save", 0, 0}}, 16},
        DrawTextCase{u"a&&b", {0, 0, 100, 20}, DT_SINGLELINE, {{u"a&b", 0, 0}}, 16},
        DrawTextCase{
            u"Hi", {0, 0, 100, 40}, DT_SINGLELINE | DT_CENTER | DT_BOTTOM, {{u"Hi", 43, 24}}, 16},
        DrawTextCase{
            u"Hi", {10, 0, 110, 26}, DT_SINGLELINE | DT_RIGHT | DT_VCENTER, {{u"Hi", 96, 5}}, 16},
        DrawTextCase{u"one two three",
                     {0, 0, 60, 100},
                     DT_WORDBREAK,
                     {{u"one two", 0, 0}, {u"three", 0, 16}},
                     32},
        DrawTextCase{u"a\r\nb", {0, 0, 60, 100}, DT_CENTER, {{u"a", 26, 0}, {u"b", 26, 16}}, 32},
        DrawTextCase{u"a\r\nb", {0, 0, 60, 100}, DT_SINGLELINE, {{u"ab", 0, 0}}, 16},
        DrawTextCase{
            u"fits", {0, 0, 28, 16}, DT_SINGLELINE | DT_END_ELLIPSIS, {{u"fits", 0, 0}}, 16},
        DrawTextCase{u"one two three", {0, 0, 60, 100}, DT_WORDBREAK | DT_CALCRECT, {}, 32}),
    testing_support::RowName());

// The underline DrawTextW draws under an access key: its left and right
// ends, or none.
std::vector<std::pair<LONG, LONG>> Underlines(gui::HeadlessBackend& backend, HWND frame,
                                              const char16_t* text, UINT format) {
    HDC hdc = GetDC(frame);
    RECT rect{0, 0, 100, 20};
    DrawTextW(hdc, text, -1, &rect, format);
    ReleaseDC(frame, hdc);
    std::vector<std::pair<LONG, LONG>> lines;
    for (const gui::DrawOp& op : backend.LastDrawing(frame)) {
        if (op.kind == gui::DrawOp::Line) {
            EXPECT_EQ(op.from.y, op.to.y);
            EXPECT_GT(op.from.y, 0);
            EXPECT_LT(op.from.y, 16) << "within the line of text";
            lines.emplace_back(op.from.x, op.to.x);
        }
    }
    return lines;
}

TEST_F(GuiTest, TheAccessKeyLetterIsUnderlinedAndOnlyThatLetter) {
    using Spans = std::vector<std::pair<LONG, LONG>>;
    HWND frame = MakeFrame();
    // Letters are 7 pixels wide here: "&File" marks 0-6, "Re&name" 14-20.
    EXPECT_EQ(Underlines(backend(), frame, u"&File", DT_SINGLELINE), (Spans{{0, 6}}));
    EXPECT_EQ(Underlines(backend(), frame, u"Re&name", DT_SINGLELINE), (Spans{{14, 20}}));
    EXPECT_EQ(Underlines(backend(), frame, u"a&&b&c", DT_SINGLELINE), (Spans{{21, 27}}))
        << "an escaped ampersand counts as one letter and marks nothing";
    EXPECT_EQ(Underlines(backend(), frame, u"a&&b", DT_SINGLELINE), Spans{});
    EXPECT_EQ(Underlines(backend(), frame, u"&File", DT_SINGLELINE | DT_NOPREFIX), Spans{});
    EXPECT_EQ(Underlines(backend(), frame, u"trailing&", DT_SINGLELINE), Spans{});
}

TEST_F(GuiTest, MeasuringTextGivesTheRectangleItWouldFill) {
    HDC hdc = GetDC(MakeFrame());
    RECT rect{5, 5, 65, 100};
    DrawTextW(hdc, u"one two three", -1, &rect, DT_WORDBREAK | DT_CALCRECT);
    EXPECT_EQ(rect.right, 5 + 7 * 7);
    EXPECT_EQ(rect.bottom, 5 + 32);
    rect = {0, 0, 0, 0};
    DrawTextW(hdc, u"&Open file", -1, &rect, DT_SINGLELINE | DT_CALCRECT);
    EXPECT_EQ(rect.right, 9 * 7);  // the prefix mark takes no room
    ReleaseDC(nullptr, hdc);
}

TEST_F(GuiTest, ImagesOfAListKeepItsTransparentColourAndACopiedBitmapHasNone) {
    HWND frame = MakeFrame();
    HIMAGELIST masked = ImageList_LoadImage(instance(), MAKEINTRESOURCE(144), 16, 0,
                                            RGB(192, 192, 192), IMAGE_BITMAP, 0);
    HIMAGELIST opaque =
        ImageList_LoadImage(instance(), MAKEINTRESOURCE(144), 16, 0, CLR_NONE, IMAGE_BITMAP, 0);
    HBITMAP bitmap = LoadBitmapW(instance(), MAKEINTRESOURCE(158));
    HDC hdc = GetDC(frame);
    EXPECT_TRUE(ImageList_Draw(masked, 2, hdc, 10, 20, ILD_TRANSPARENT));
    EXPECT_TRUE(ImageList_Draw(opaque, 2, hdc, 10, 20, ILD_NORMAL));
    EXPECT_FALSE(ImageList_Draw(masked, ImageList_GetImageCount(masked), hdc, 0, 0, 0));
    HDC memory = CreateCompatibleDC(hdc);
    SelectObject(memory, bitmap);
    EXPECT_TRUE(BitBlt(hdc, 100, 0, 16, 16, memory, 0, 0, SRCCOPY));
    DeleteDC(memory);
    ReleaseDC(frame, hdc);
    const auto& ops = backend().LastDrawing(frame);
    ASSERT_EQ(ops.size(), 3u);
    EXPECT_EQ(ops[0].transparent, RGB(192, 192, 192));
    EXPECT_EQ(ops[0].source.left, 32);  // the third 16-pixel image of the strip
    EXPECT_EQ(ops[0].rect.left, 10);
    EXPECT_EQ(ops[1].transparent, CLR_NONE);
    EXPECT_EQ(ops[2].transparent, CLR_NONE);
    EXPECT_EQ(ops[2].rect.left, 100);
    DeleteObject(bitmap);
    ImageList_Destroy(masked);
    ImageList_Destroy(opaque);
}

std::vector<BYTE> SmallPng() {
    std::vector<COLORREF> pixels;
    for (int i = 0; i < 6 * 4; ++i)
        pixels.push_back(RGB(i * 10, 255 - i * 10, 128));
    return EncodePng(6, 4, pixels);
}

TEST(Png, AWholeBitmapDecodesToItsPixels) {
    std::vector<BYTE> png = SmallPng();
    std::shared_ptr<const gui::Image> image = gui::DecodePng(png.data(), png.size());
    ASSERT_NE(image, nullptr);
    EXPECT_EQ(image->width, 6);
    EXPECT_EQ(image->height, 4);
    EXPECT_EQ(image->Pixel(5, 3), RGB(230, 25, 128));
}

TEST(Png, EveryCopyCutBeforeItsPixelsEndIsRefused) {
    std::vector<BYTE> png = SmallPng();
    // The last 12 bytes are the end marker, which the pixels do not need.
    for (std::size_t size = 0; size + 12 < png.size(); ++size) {
        // Exactly `size` bytes of their own, so that a read past them is caught.
        std::vector<BYTE> cut(png.begin(), png.begin() + static_cast<std::ptrdiff_t>(size));
        EXPECT_EQ(gui::DecodePng(cut.data(), cut.size()), nullptr) << size << " bytes";
    }
}

TEST(Png, DamagedOrAbsurdBitmapsAreRefused) {
    std::vector<BYTE> png = SmallPng();
    std::vector<BYTE> damaged = png;
    damaged[damaged.size() / 2] ^= 0x55;  // inside the compressed pixels: their checksum fails
    EXPECT_EQ(gui::DecodePng(damaged.data(), damaged.size()), nullptr);
    std::vector<BYTE> notPng = png;
    notPng[1] = 'X';
    EXPECT_EQ(gui::DecodePng(notPng.data(), notPng.size()), nullptr);
    std::vector<BYTE> wide = EncodePng(5000, 1, std::vector<COLORREF>(5000, RGB(1, 2, 3)));
    ASSERT_FALSE(wide.empty());
    EXPECT_EQ(gui::DecodePng(wide.data(), wide.size()), nullptr);
}

}  // namespace
}  // namespace gui_test
