// The palm-size shell's calls: full-screen dialogs with the Done button,
// the menu bar's layout and taps, and how its disabled buttons are drawn.

#include <set>
#include <string>
#include <utility>

#include "platform/gui/NativeEvents.h"
#include "platform/gui/ShellUi.h"
#include "platform/gui/testing/UserInput.h"
#include "tests/platform/gui/GuiFixture.h"
#include "tests/platform/gui/TestBitmaps.h"

namespace gui_test {
namespace {

constexpr UINT kBarMenu = 500;
constexpr UINT kBar = 501;
constexpr UINT kBarBitmap = 502;
constexpr UINT kFirstButton = 41001;
constexpr UINT kSecondButton = 41002;
constexpr COLORREF kClear = RGB(192, 192, 192);

// Two 16-pixel button images: a frame of light grey (transparent) around
// black, the greys of a drawn shadow, and white.
const std::vector<BYTE>& BarBitmap() {
    static const std::vector<BYTE> png = [] {
        std::vector<COLORREF> pixels;
        for (int y = 0; y < 16; ++y) {
            for (int x = 0; x < 32; ++x) {
                int in = x % 16;
                bool edge = in < 2 || in > 13 || y < 2 || y > 13;
                COLORREF c = edge                ? kClear
                             : (in + y) % 3 == 0 ? RGB(128, 128, 128)
                             : (in + y) % 3 == 1 ? RGB(0, 0, 0)
                                                 : RGB(255, 255, 255);
                pixels.push_back(c);
            }
        }
        return EncodePng(32, 16, pixels);
    }();
    return png;
}

// A surface that keeps, for every image drawn, which of its pixels were
// put on the screen (relative to where the image landed).
using PixelMask = std::set<std::pair<int, int>>;
class MaskingSurface : public gui::Surface {
public:
    explicit MaskingSurface(std::vector<PixelMask>& masks) : masks_(masks) {}
    void FillRect(const RECT&, COLORREF) override {}
    void DrawLine(POINT, POINT, COLORREF, int) override {}
    void DrawText(POINT, std::u16string_view, const LOGFONTW&, COLORREF) override {}
    void SetClip(const RECT*) override {}
    void DrawImage(const gui::Image& image, const RECT& source, POINT, COLORREF clear) override {
        PixelMask mask;
        for (int y = source.top; y < source.bottom; ++y) {
            for (int x = source.left; x < source.right; ++x) {
                if (clear == CLR_NONE || image.Pixel(x, y) != clear)
                    mask.emplace(x - source.left, y - source.top);
            }
        }
        masks_.push_back(std::move(mask));
    }

private:
    std::vector<PixelMask>& masks_;
};

class MaskingBackend : public gui::HeadlessBackend {
public:
    MaskingBackend(std::shared_ptr<gui::HeadlessUser> user, std::vector<PixelMask>& masks)
        : HeadlessBackend(std::move(user)), masks_(masks) {}
    std::unique_ptr<gui::Surface> BeginDrawing(HWND) override {
        return std::make_unique<MaskingSurface>(masks_);
    }

private:
    std::vector<PixelMask>& masks_;
};

class ShellTest : public GuiTest {
protected:
    ShellTest() {
        module.AddMenu({kBarMenu,
                        {{u"Edit", 0, 0, {{u"Open", kOpen}}},
                         {u"View", 0, 0, {{u"Large", kLarge}, {u"List", kList}}}}});
        module.AddMenuBar({kBar,
                           kBarMenu,
                           {{MenuBarItemResource::Menu, 0, 0, 0, 0},
                            {MenuBarItemResource::Menu, 1, 0, 0, 0},
                            {MenuBarItemResource::Button, 0, kFirstButton, 0, 0},
                            {MenuBarItemResource::Button, 0, kSecondButton, 1, 0}}});
        module.AddBitmap({kBarBitmap, BarBitmap()});
    }
    HWND MakeBar(HWND owner) {
        SHMENUBARINFO info{};
        info.cbSize = sizeof info;
        info.hwndParent = owner;
        info.nToolBarId = kBar;
        info.hInstRes = &module;
        info.nBmpId = kBarBitmap;
        info.cBmpImages = 2;
        return SHCreateMenuBar(&info) ? info.hwndMB : nullptr;
    }
    ResourceModule module;
};

// A rectangle as text, so that a failure shows it.
std::string Text(const RECT& r) {
    return std::to_string(r.left) + "," + std::to_string(r.top) + "," + std::to_string(r.right) +
           "," + std::to_string(r.bottom);
}

std::string Rect(HWND hwnd) {
    RECT r{};
    GetWindowRect(hwnd, &r);
    return Text(r);
}

BOOL EndingDialog(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
    if (message == WM_COMMAND && (LOWORD(static_cast<DWORD>(wParam)) == IDOK ||
                                  LOWORD(static_cast<DWORD>(wParam)) == IDCANCEL)) {
        EndDialog(dialog, LOWORD(static_cast<DWORD>(wParam)));
        return TRUE;
    }
    return message == WM_INITDIALOG;
}

void FrameFullScreen(HWND dialog, bool done) {
    SHINITDLGINFO info{};
    info.dwMask = SHIDIM_FLAGS;
    info.hDlg = dialog;
    info.dwFlags = SHIDIF_SIZEDLGFULLSCREEN | (done ? SHIDIF_DONEBUTTON : 0);
    ASSERT_TRUE(SHInitDialog(&info));
    SHMENUBARINFO bar{};
    bar.cbSize = sizeof bar;
    bar.hwndParent = dialog;
    bar.dwFlags = SHCMBF_EMPTYBAR;
    ASSERT_TRUE(SHCreateMenuBar(&bar));
}

TEST_F(ShellTest, AFullScreenDialogFillsTheScreenBelowTheShellStripAboveItsMenuBar) {
    gui::ScreenMetrics screen = backend().Screen();
    screen.workAreaTop = 26;
    backend().SetScreen(screen);
    HWND dialog =
        CreateDialogParamW(instance(), MAKEINTRESOURCE(kDialog), nullptr, EndingDialog, 0);
    ASSERT_NE(dialog, nullptr);
    EXPECT_FALSE(HasDoneButton(dialog));
    FrameFullScreen(dialog, true);
    EXPECT_TRUE(HasDoneButton(dialog));
    EXPECT_EQ(Rect(dialog), Text(RECT{0, 26, 240, 320}));
    RECT client;
    GetClientRect(dialog, &client);
    EXPECT_EQ(Text(client), Text(RECT{0, 0, 240, 320 - 26 - screen.menuBarHeight}));
    EXPECT_EQ(Rect(SHFindMenuBar(dialog)), Text(RECT{0, 320 - screen.menuBarHeight, 240, 320}));

    // Turned to landscape, the shell resizes it and the bar stays along the bottom.
    screen.width = 320;
    screen.height = 240;
    backend().SetScreen(screen);
    SHHandleWMSettingChange(dialog, SETTINGCHANGE_RESET, 0, nullptr);
    EXPECT_EQ(Rect(dialog), Text(RECT{0, 26, 320, 240}));
    EXPECT_EQ(Rect(SHFindMenuBar(dialog)), Text(RECT{0, 240 - screen.menuBarHeight, 320, 240}));

    // Framed again without it, the dialog has no Done button.
    SHINITDLGINFO info{SHIDIM_FLAGS, dialog, SHIDIF_SIZEDLGFULLSCREEN};
    SHInitDialog(&info);
    EXPECT_FALSE(HasDoneButton(dialog));
    DestroyWindow(dialog);
}

TEST_F(ShellTest, TheDoneButtonEndsTheDialogWithOkAndIsNotThereUnlessAsked) {
    user().OnDialog(kDialog, [](HWND d) {
        FrameFullScreen(d, true);
        gui::input::PressDone(d);
    });
    EXPECT_EQ(DialogBoxParamW(instance(), MAKEINTRESOURCE(kDialog), nullptr, EndingDialog, 0),
              IDOK);
    EXPECT_TRUE(failures.empty());

    user().OnDialog(kDialog, [](HWND d) {
        FrameFullScreen(d, false);
        gui::DoneButtonPressed(d);  // no such button: nothing happens
        gui::input::PumpMessages();
        EXPECT_TRUE(IsWindowVisible(d));
        gui::input::ClickDlgButton(d, IDCANCEL);
    });
    EXPECT_EQ(DialogBoxParamW(instance(), MAKEINTRESOURCE(kDialog), nullptr, EndingDialog, 0),
              IDCANCEL);
    EXPECT_TRUE(failures.empty());
}

TEST_F(ShellTest, TheMenuBarLaysOutCaptionsThenButtonsAndFollowsItsOwner) {
    HWND frame = MakeFrame();
    HWND bar = MakeBar(frame);
    ASSERT_NE(bar, nullptr);
    int height = backend().Screen().menuBarHeight;
    EXPECT_EQ(Rect(bar), Text(RECT{0, 320 - height, 240, 320}));
    // Captions as wide as their text and 12 pixels (4 characters of 7
    // pixels), then buttons as wide as an image and 10.
    struct Tap {
        int x;
        UINT command;  // 0: none
        int popup;     // -1: none
    };
    HMENU menu = reinterpret_cast<HMENU>(SendMessageW(bar, SHCMBM_GETMENU, 0, 0));
    for (Tap tap : {Tap{5, 0, 0}, Tap{39, 0, 0}, Tap{41, 0, 1}, Tap{81, kFirstButton, -1},
                    Tap{105, kFirstButton, -1}, Tap{107, kSecondButton, -1}, Tap{140, 0, -1}}) {
        SeenMessages().clear();
        HMENU shown = nullptr;
        if (tap.popup >= 0)
            user().OnNextPopup([&](HMENU m) {
                shown = m;
                return 0u;
            });
        gui::input::Tap(bar, {tap.x, 5});
        EXPECT_EQ(shown, tap.popup >= 0 ? GetSubMenu(menu, tap.popup) : nullptr) << tap.x;
        EXPECT_EQ(CountSeen(frame, WM_INITMENUPOPUP), tap.popup >= 0 ? 1 : 0) << tap.x;
        int commands = 0;
        for (const Seen& s : SeenMessages())
            commands +=
                s.message == WM_COMMAND && LOWORD(static_cast<DWORD>(s.wParam)) == tap.command;
        EXPECT_EQ(commands, tap.command != 0 ? 1 : 0) << tap.x;
    }
    gui::FrameResized(frame, 320, 200);
    EXPECT_EQ(Rect(bar), Text(RECT{0, 200 - height, 320, 200}));
    RECT client;
    GetClientRect(frame, &client);
    EXPECT_EQ(client.bottom, 200 - height);
    EXPECT_TRUE(failures.empty());
}

TEST_F(ShellTest, ADisabledButtonIsDrawnGreyWithTheSameTransparentPixels) {
    std::vector<PixelMask> masks;
    gui::ScopedBackend scope(
        std::make_unique<MaskingBackend>(std::make_shared<gui::ScriptedUser>(), masks));
    HWND frame = MakeFrame();
    HWND bar = MakeBar(frame);
    ASSERT_NE(bar, nullptr);
    SendMessageW(bar, TB_ENABLEBUTTON, kSecondButton, MAKELONG(FALSE, 0));
    InvalidateRect(bar, nullptr, TRUE);
    UpdateWindow(bar);
    ASSERT_EQ(masks.size(), 2u);
    EXPECT_EQ(masks[0].size(), 12u * 12u);
    EXPECT_EQ(masks[1], masks[0]);
}

}  // namespace
}  // namespace gui_test
