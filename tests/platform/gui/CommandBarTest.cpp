// The command bar and the command-band strip: menus and buttons that reach
// the window, tips (a menu bar takes one place), access keys, the band
// record's stored form, and bands resized and broken into rows by dragging.

#include <gtest/gtest.h>

#include "platform/core/Text.h"
#include "platform/gui/CommandBar.h"
#include "platform/gui/NativeEvents.h"
#include "platform/gui/testing/UserInput.h"
#include "tests/platform/gui/GuiFixture.h"
#include "tests/platform/gui/TestBitmaps.h"

namespace gui_test {
namespace {

constexpr UINT kBarMenu = 610;
constexpr UINT kStrip = 611;
constexpr UINT kImages = 612;
constexpr UINT kFirst = 41001;
constexpr UINT kSecond = 41002;
constexpr UINT kExit = 41003;

std::vector<BYTE> ImageStrip(int count) {
    std::vector<COLORREF> pixels(static_cast<std::size_t>(16 * count * 16), RGB(192, 192, 192));
    for (int i = 0; i < count; ++i)
        pixels[static_cast<std::size_t>(16 * 16 * count / 2 + 16 * i + 8)] = RGB(200, 0, 0);
    return EncodePng(16 * count, 16, pixels);
}

class CommandBarTest : public GuiTest {
protected:
    CommandBarTest() {
        module.AddMenu({kBarMenu,
                        {{u"&File", 0, 0, {{u"&Open\tCtrl+O", kOpen}, {u"E&xit", kExit}}},
                         {u"&View", 0, 0, {{u"&Large", kLarge}, {u"L&ist", kList}}}}});
        module.AddBitmap({kImages, images});
    }

    // A frame with a command bar: the menu bar, two buttons with a
    // separator before them, tips "" (the menu bar), "First", "Second".
    HWND MakeBar(HWND frame) {
        HWND bar = CommandBar_Create(&module, frame, 1);
        EXPECT_TRUE(CommandBar_InsertMenubarEx(bar, &module, MAKEINTRESOURCE(kBarMenu), 0));
        EXPECT_EQ(CommandBar_AddBitmap(bar, &module, kImages, 3, 16, 16), 0);
        const TBBUTTON buttons[] = {
            {0, 0, TBSTATE_ENABLED, TBSTYLE_SEP, 0, 0},
            {0, static_cast<int>(kFirst), TBSTATE_ENABLED, TBSTYLE_BUTTON, 0, 0},
            {2, static_cast<int>(kSecond), TBSTATE_ENABLED, TBSTYLE_BUTTON, 0, 0},
        };
        EXPECT_TRUE(CommandBar_AddButtons(bar, 3, buttons));
        std::u16string tips[] = {u"", u"First", u"Second"};
        LPWSTR pointers[] = {tips[0].data(), tips[1].data(), tips[2].data()};
        EXPECT_TRUE(CommandBar_AddToolTips(bar, 3, pointers));
        EXPECT_TRUE(CommandBar_AddAdornments(bar, 0, 0));
        return bar;
    }

    static RECT Item(HWND bar, int position) {
        RECT r{};
        EXPECT_TRUE(SendMessageW(bar, TB_GETITEMRECT, static_cast<WPARAM>(position),
                                 reinterpret_cast<LPARAM>(&r)));
        return r;
    }
    static POINT Middle(const RECT& r) { return {(r.left + r.right) / 2, (r.top + r.bottom) / 2}; }

    static int Commands(UINT command) {
        int count = 0;
        for (const Seen& s : SeenMessages())
            count += s.message == WM_COMMAND && LOWORD(static_cast<DWORD>(s.wParam)) == command;
        return count;
    }

    std::vector<BYTE> images = ImageStrip(3);
    ResourceModule module;
};

TEST_F(CommandBarTest, ButtonsSendTheirCommandsToTheWindowAndMenusOpenTheirPopups) {
    HWND frame = MakeFrame();
    HWND bar = MakeBar(frame);
    ASSERT_NE(bar, nullptr);
    EXPECT_EQ(CommandBar_Height(bar), backend().Screen().menuBarHeight);
    RECT client{};
    GetClientRect(bar, &client);
    RECT frameClient{};
    GetClientRect(frame, &frameClient);
    EXPECT_EQ(client.right, frameClient.right);
    // Positions: File, View, separator, First, Second.
    EXPECT_EQ(SendMessageW(bar, TB_BUTTONCOUNT, 0, 0), 5);
    EXPECT_EQ(CommandBar_MenuBarWidth(bar), Item(bar, 1).right);

    SeenMessages().clear();
    gui::input::Tap(bar, Middle(Item(bar, 3)));
    gui::input::Tap(bar, Middle(Item(bar, 4)));
    EXPECT_EQ(Commands(kFirst), 1);
    EXPECT_EQ(Commands(kSecond), 1);

    HMENU shown = nullptr;
    user().OnNextPopup([&](HMENU menu) {
        shown = menu;
        return kLarge;
    });
    gui::input::Tap(bar, Middle(Item(bar, 1)));
    EXPECT_EQ(shown, GetSubMenu(CommandBar_GetMenu(bar, 0), 1));
    EXPECT_EQ(Commands(kLarge), 1);

    SeenMessages().clear();
    SendMessageW(bar, TB_ENABLEBUTTON, kSecond, MAKELONG(FALSE, 0));
    gui::input::Tap(bar, Middle(Item(bar, 4)));
    EXPECT_EQ(Commands(kSecond), 0);
    EXPECT_FALSE(SendMessageW(bar, TB_ISBUTTONENABLED, kSecond, 0));
    EXPECT_TRUE(failures.empty());
}

TEST_F(CommandBarTest, TipsSkipSeparatorsAndTheMenuBarTakesOnePlace) {
    HWND frame = MakeFrame();
    HWND bar = MakeBar(frame);
    EXPECT_EQ(gui::ToolTipAt(bar, Middle(Item(bar, 0))), u"");
    EXPECT_EQ(gui::ToolTipAt(bar, Middle(Item(bar, 1))), u"");
    EXPECT_EQ(gui::ToolTipAt(bar, Middle(Item(bar, 2))), u"");
    EXPECT_EQ(gui::ToolTipAt(bar, Middle(Item(bar, 3))), u"First");
    EXPECT_EQ(gui::ToolTipAt(bar, Middle(Item(bar, 4))), u"Second");
    // A held button shows its tip and sends nothing.
    SeenMessages().clear();
    gui::input::TapAndHold(bar, Middle(Item(bar, 3)));
    EXPECT_EQ(Commands(kFirst), 0);
    ASSERT_FALSE(backend().tips().empty());
    EXPECT_EQ(backend().tips().back(), u"First");
    EXPECT_TRUE(backend().tipShown());
    gui::PostPointer(bar, WM_LBUTTONUP, Middle(Item(bar, 3)), 0);
    gui::input::PumpMessages();
    EXPECT_FALSE(backend().tipShown()) << "lifting the pen hides the tip";
    EXPECT_EQ(Commands(kFirst), 0);
}

TEST_F(CommandBarTest, TheCloseAdornmentClosesTheWindowAtTheBarsRightEnd) {
    HWND frame = MakeFrame();
    HWND bar = MakeBar(frame);
    RECT client{};
    GetClientRect(bar, &client);
    SeenMessages().clear();
    gui::input::Tap(bar, {client.right - 5, client.bottom / 2});
    EXPECT_EQ(CountSeen(frame, WM_CLOSE), 1);
}

TEST_F(CommandBarTest, AltAndALetterOpenTheMenuItMarksAndALetterPicksTheItem) {
    HWND frame = MakeFrame();
    HWND bar = MakeBar(frame);
    HMENU menu = CommandBar_GetMenu(bar, 0);
    SetFocus(frame);
    HMENU shown = nullptr;
    user().OnNextPopup([&](HMENU m) {
        shown = m;
        return gui::MenuCommandForAccessKey(m, u'x');
    });
    SeenMessages().clear();
    gui::input::PressKey('F', MK_ALT);
    EXPECT_EQ(shown, GetSubMenu(menu, 0));
    EXPECT_EQ(Commands(kExit), 1);

    user().PressInNextPopup(u'i');
    gui::input::PressKey('V', MK_ALT);
    EXPECT_EQ(Commands(kList), 1);
    // A letter no menu marks opens nothing.
    int before = user().popupsShown();
    gui::input::PressKey('Q', MK_ALT);
    EXPECT_EQ(user().popupsShown(), before);
    EXPECT_TRUE(failures.empty());
}

constexpr UINT kAccessDialog = 613;
constexpr int kNameField = 701;
constexpr int kCompressBox = 702;
constexpr int kGoButton = 703;
int goPressed = 0;

BOOL AccessDialog(HWND, UINT message, WPARAM wParam, LPARAM) {
    if (message == WM_COMMAND && LOWORD(static_cast<DWORD>(wParam)) == kGoButton)
        ++goPressed;
    return message == WM_INITDIALOG;
}

TEST_F(CommandBarTest, AltAndALabelsLetterMoveToItsFieldAndAButtonsLetterPressesIt) {
    module.AddDialog(
        {kAccessDialog,
         WS_POPUP | WS_CAPTION,
         0,
         0,
         0,
         120,
         80,
         u"Access",
         nullptr,
         0,
         {{u"STATIC", u"&Name:", static_cast<UINT>(-1), 4, 4, 30, 10, WS_VISIBLE},
          {u"EDIT", u"", kNameField, 36, 4, 60, 12, WS_TABSTOP | WS_VISIBLE | WS_BORDER},
          {u"EDIT", u"", kEdit, 36, 20, 60, 12, WS_TABSTOP | WS_VISIBLE | WS_BORDER},
          {u"BUTTON", u"&Compress", kCompressBox, 4, 36, 60, 10,
           BS_AUTOCHECKBOX | WS_TABSTOP | WS_VISIBLE},
          {u"BUTTON", u"&Go", kGoButton, 4, 50, 40, 14, BS_PUSHBUTTON | WS_TABSTOP | WS_VISIBLE}}});
    HWND dialog =
        CreateDialogParamW(&module, MAKEINTRESOURCE(kAccessDialog), nullptr, AccessDialog, 0);
    ASSERT_NE(dialog, nullptr);
    ShowWindow(dialog, SW_SHOW);
    SetFocus(GetDlgItem(dialog, kEdit));
    goPressed = 0;
    gui::input::PressKey('N', MK_ALT);
    EXPECT_EQ(GetFocus(), GetDlgItem(dialog, kNameField));
    gui::input::PressKey('C', MK_ALT);
    EXPECT_EQ(IsDlgButtonChecked(dialog, kCompressBox), BST_CHECKED);
    gui::input::PressKey('G', MK_ALT);
    EXPECT_EQ(goPressed, 1);
    // A letter nothing marks changes nothing.
    gui::input::PressKey('Z', MK_ALT);
    EXPECT_EQ(IsDlgButtonChecked(dialog, kCompressBox), BST_CHECKED);
    EXPECT_EQ(goPressed, 1);
    DestroyWindow(dialog);
    EXPECT_TRUE(failures.empty());
}

TEST(MenuAccessKeys, TheMarkedLetterOfAnEnabledItemChoosesItInEitherCase) {
    HMENU menu = CreatePopupMenu();
    AppendMenuW(menu, MF_STRING, 1, u"&Copy...\tCtrl+C");
    AppendMenuW(menu, MF_STRING, 2, u"Re&name...");
    AppendMenuW(menu, MF_STRING | MF_GRAYED, 3, u"&Delete");
    AppendMenuW(menu, MF_STRING, 4, u"Fish && &Chips");
    EXPECT_EQ(gui::MenuCommandForAccessKey(menu, u'c'), 1u);
    EXPECT_EQ(gui::MenuCommandForAccessKey(menu, u'N'), 2u);
    EXPECT_EQ(gui::MenuCommandForAccessKey(menu, u'd'), 0u);
    EXPECT_EQ(gui::MenuCommandForAccessKey(menu, u'z'), 0u);
    DestroyMenu(menu);
}

// ---- The band record -------------------------------------------------------

REBARBANDINFOW SampleBand() {
    REBARBANDINFOW band{};
    band.cbSize = sizeof band;
    band.fMask = RBBIM_STYLE | RBBIM_SIZE | RBBIM_ID;
    band.fStyle = RBBS_BREAK;
    band.cx = 123;
    band.wID = 10006;
    band.iImage = 1;
    band.hwndChild = reinterpret_cast<HWND>(std::uintptr_t{0x1234});
    return band;
}

TEST(BandRecord, IsSeventySixLittleEndianBytesWithoutHandlesAndReadsBack) {
    std::array<BYTE, kBandRecordSize> image = BandRecordImage(SampleBand());
    EXPECT_EQ(image[0], 76);
    EXPECT_EQ(image[44], 123);  // cx, the twelfth field
    EXPECT_EQ(image[52] | (image[53] << 8), 10006);
    for (int i = 32; i < 36; ++i)
        EXPECT_EQ(image[static_cast<std::size_t>(i)], 0) << "the child window is not stored";
    std::optional<REBARBANDINFOW> read = ReadBandRecord(image);
    ASSERT_TRUE(read);
    EXPECT_EQ(read->cbSize, sizeof(REBARBANDINFOW));
    EXPECT_EQ(read->cx, 123u);
    EXPECT_EQ(read->wID, 10006u);
    EXPECT_EQ(read->fStyle, RBBS_BREAK);
    EXPECT_EQ(read->hwndChild, nullptr);
}

TEST(BandRecord, ShortOversizedAndNonsenseImagesAreRefused) {
    std::array<BYTE, kBandRecordSize> image = BandRecordImage(SampleBand());
    std::vector<BYTE> bytes(image.begin(), image.end());
    EXPECT_FALSE(ReadBandRecord(std::span(bytes).first(75)));
    std::vector<BYTE> longer = bytes;
    longer.push_back(0);
    EXPECT_FALSE(ReadBandRecord(longer));
    EXPECT_FALSE(ReadBandRecord({}));
    std::vector<BYTE> wrongSize = bytes;
    wrongSize[0] = 80;
    EXPECT_FALSE(ReadBandRecord(wrongSize));
    std::vector<BYTE> unknownMask = bytes;
    unknownMask[5] = 0x80;
    EXPECT_FALSE(ReadBandRecord(unknownMask));
    std::vector<BYTE> unknownStyle = bytes;
    unknownStyle[11] = 0x40;
    EXPECT_FALSE(ReadBandRecord(unknownStyle));
}

// ---- The strip ---------------------------------------------------------------

class CommandBandsTest : public CommandBarTest {
protected:
    // Two bands: the first without a gripper, 100 wide; the second 60.
    HWND MakeStrip(HWND frame) {
        HWND strip = CommandBands_Create(&module, frame, kStrip, 0, nullptr);
        REBARBANDINFOW bands[2]{};
        for (int i = 0; i < 2; ++i) {
            bands[i].cbSize = sizeof(REBARBANDINFOW);
            bands[i].fMask = RBBIM_ID | RBBIM_STYLE | RBBIM_SIZE;
            bands[i].wID = static_cast<UINT>(500 + i);
        }
        bands[0].fStyle = RBBS_NOGRIPPER;
        bands[0].cx = 100;
        bands[1].cx = 60;
        EXPECT_TRUE(CommandBands_AddBands(strip, &module, 2, bands));
        return strip;
    }

    static RECT Band(HWND strip, int index) {
        RECT r{};
        EXPECT_TRUE(SendMessageW(strip, RB_GETRECT, static_cast<WPARAM>(index),
                                 reinterpret_cast<LPARAM>(&r)));
        return r;
    }
    static UINT Width(HWND strip, int index) {
        REBARBANDINFOW band{};
        band.cbSize = sizeof band;
        band.fMask = RBBIM_SIZE | RBBIM_STYLE;
        SendMessageW(strip, RB_GETBANDINFOW, static_cast<WPARAM>(index),
                     reinterpret_cast<LPARAM>(&band));
        return band.cx;
    }
    static void Drag(HWND strip, POINT from, POINT to) {
        gui::PostPointer(strip, WM_LBUTTONDOWN, from, MK_LBUTTON);
        gui::PostPointer(strip, WM_MOUSEMOVE, {(from.x + to.x) / 2, (from.y + to.y) / 2},
                         MK_LBUTTON);
        gui::PostPointer(strip, WM_MOUSEMOVE, to, MK_LBUTTON);
        gui::PostPointer(strip, WM_LBUTTONUP, to, 0);
        gui::input::PumpMessages();
    }
};

TEST_F(CommandBandsTest, BandsShareOneRowAndTheLastTakesWhatIsLeft) {
    HWND frame = MakeFrame();
    HWND strip = MakeStrip(frame);
    int row = backend().Screen().menuBarHeight;
    EXPECT_EQ(SendMessageW(strip, RB_GETBARHEIGHT, 0, 0), row);
    RECT client{};
    GetClientRect(frame, &client);
    EXPECT_EQ(Band(strip, 0).right, 100);
    EXPECT_EQ(Band(strip, 1).left, 100);
    EXPECT_EQ(Band(strip, 1).right, client.right);
    EXPECT_EQ(Width(strip, 1), 60u) << "the band keeps the width it was given";
    // Each band's command bar sits beside its header.
    RECT bar{};
    GetWindowRect(CommandBands_GetCommandBar(strip, 1), &bar);
    RECT stripRect{};
    GetWindowRect(strip, &stripRect);
    EXPECT_EQ(bar.left - stripRect.left, 100 + 9);
    EXPECT_EQ(SendMessageW(strip, RB_IDTOINDEX, 501, 0), 1);
    EXPECT_EQ(SendMessageW(strip, RB_IDTOINDEX, 999, 0), -1);
}

TEST_F(CommandBandsTest, DraggingAGripperSidewaysResizesTheBandBeforeIt) {
    HWND frame = MakeFrame();
    HWND strip = MakeStrip(frame);
    POINT grip{Band(strip, 1).left + 3, 5};
    Drag(strip, grip, {grip.x + 40, 6});
    EXPECT_EQ(Width(strip, 0), 140u);
    EXPECT_EQ(Band(strip, 1).left, 140);
    // Not past the strip's end: the band after keeps its header.
    Drag(strip, {143, 5}, {2000, 5});
    RECT client{};
    GetClientRect(frame, &client);
    EXPECT_LE(Band(strip, 1).left, client.right - 9);
    EXPECT_TRUE(failures.empty());
}

TEST_F(CommandBandsTest, DraggingAGripperDownBreaksTheRowAndUpJoinsItAgain) {
    HWND frame = MakeFrame();
    HWND strip = MakeStrip(frame);
    int row = backend().Screen().menuBarHeight;
    SeenMessages().clear();
    POINT grip{Band(strip, 1).left + 3, 5};
    Drag(strip, grip, {grip.x, 5 + row});
    EXPECT_EQ(SendMessageW(strip, RB_GETBARHEIGHT, 0, 0), 2 * row);
    EXPECT_EQ(Band(strip, 1).top, row);
    EXPECT_EQ(Band(strip, 1).left, 0);
    RECT r{};
    GetWindowRect(strip, &r);
    EXPECT_EQ(r.bottom - r.top, 2 * row);
    int heightChanges = 0;
    for (const Notice& n : Notices())
        heightChanges += n.code == RBN_HEIGHTCHANGE;
    EXPECT_GE(heightChanges, 1);

    Drag(strip, {3, row + 5}, {3, 5});
    EXPECT_EQ(SendMessageW(strip, RB_GETBARHEIGHT, 0, 0), row);
    EXPECT_EQ(Band(strip, 1).top, 0);
}

TEST_F(CommandBandsTest, DraggingAGripperOntoTheBandBeforeMovesTheBandInFrontOfIt) {
    HWND frame = MakeFrame();
    HWND strip = MakeStrip(frame);
    auto ids = [&] {
        std::vector<UINT> order;
        for (int i = 0; i < 2; ++i) {
            REBARBANDINFOW band{};
            band.cbSize = sizeof band;
            band.fMask = RBBIM_ID;
            SendMessageW(strip, RB_GETBANDINFOW, static_cast<WPARAM>(i),
                         reinterpret_cast<LPARAM>(&band));
            order.push_back(band.wID);
        }
        return order;
    };
    HWND secondBar = CommandBands_GetCommandBar(strip, 1);
    Drag(strip, {Band(strip, 1).left + 3, 5}, {3, 5});
    EXPECT_EQ(ids(), (std::vector<UINT>{501, 500}));
    EXPECT_EQ(CommandBands_GetCommandBar(strip, 0), secondBar) << "the band takes its bar along";
    EXPECT_EQ(Band(strip, 0).left, 0);
    EXPECT_EQ(Band(strip, 1).left, 60) << "each band keeps its width";
    EXPECT_EQ(SendMessageW(strip, RB_GETBARHEIGHT, 0, 0), backend().Screen().menuBarHeight);

    // Not yet past the middle of the band after it: it stays first.
    Drag(strip, {3, 5}, {Band(strip, 1).left + 10, 5});
    EXPECT_EQ(ids(), (std::vector<UINT>{501, 500}));
    RECT next = Band(strip, 1);
    Drag(strip, {3, 5}, {(next.left + next.right) / 2, 5});
    EXPECT_EQ(ids(), (std::vector<UINT>{500, 501}));

    // RB_MOVEBAND moves a band to a position; a position off the strip is refused.
    EXPECT_TRUE(SendMessageW(strip, RB_MOVEBAND, 1, 0));
    EXPECT_EQ(ids(), (std::vector<UINT>{501, 500}));
    EXPECT_FALSE(SendMessageW(strip, RB_MOVEBAND, 0, 2));
    EXPECT_FALSE(SendMessageW(strip, RB_MOVEBAND, 5, 0));
    EXPECT_TRUE(failures.empty());
}

TEST_F(CommandBandsTest, ABandThatBeganARowHandsItsRowToTheBandAfterIt) {
    HWND frame = MakeFrame();
    HWND strip = CommandBands_Create(&module, frame, kStrip, 0, nullptr);
    REBARBANDINFOW bands[3]{};
    for (int i = 0; i < 3; ++i) {
        bands[i].cbSize = sizeof(REBARBANDINFOW);
        bands[i].fMask = RBBIM_ID | RBBIM_STYLE | RBBIM_SIZE;
        bands[i].wID = static_cast<UINT>(600 + i);
        bands[i].cx = 80;
    }
    bands[1].fStyle = RBBS_BREAK;  // rows: [600] [601 602]
    ASSERT_TRUE(CommandBands_AddBands(strip, &module, 3, bands));
    int row = backend().Screen().menuBarHeight;
    // The second row's first band goes up in front of the first band.
    EXPECT_TRUE(SendMessageW(strip, RB_MOVEBAND, 1, 0));
    EXPECT_EQ(SendMessageW(strip, RB_IDTOINDEX, 601, 0), 0);
    EXPECT_EQ(Band(strip, 1).top, 0) << "600 shares the first row with it";
    EXPECT_EQ(Band(strip, 2).top, row) << "602 now begins the second row";
    EXPECT_EQ(Band(strip, 2).left, 0);
}

TEST_F(CommandBandsTest, TheFirstBandHasNoGripperAndWidthsBeyondAnyScreenAreRefused) {
    HWND frame = MakeFrame();
    HWND strip = MakeStrip(frame);
    Drag(strip, {3, 5}, {50, 5 + 100});
    EXPECT_EQ(SendMessageW(strip, RB_GETBARHEIGHT, 0, 0), backend().Screen().menuBarHeight);
    REBARBANDINFOW band{};
    band.cbSize = sizeof band;
    band.fMask = RBBIM_SIZE;
    band.cx = 0x80000000u;
    EXPECT_FALSE(SendMessageW(strip, RB_SETBANDINFOW, 0, reinterpret_cast<LPARAM>(&band)));
    EXPECT_EQ(Width(strip, 0), 100u);
    EXPECT_FALSE(SendMessageW(strip, RB_SETBANDINFOW, 7, reinterpret_cast<LPARAM>(&band)));
}

TEST_F(CommandBandsTest, TheStripFollowsItsWindowsWidth) {
    HWND frame = MakeFrame();
    HWND strip = MakeStrip(frame);
    gui::FrameResized(frame, 300, 200);
    RECT client{};
    GetClientRect(frame, &client);
    RECT r{};
    GetWindowRect(strip, &r);
    EXPECT_EQ(r.right - r.left, client.right);
    EXPECT_EQ(Band(strip, 1).right, client.right);
}

}  // namespace
}  // namespace gui_test
