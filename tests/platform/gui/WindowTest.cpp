// Windows and the message loop: routing and subclassing, closing, timers on
// the virtual clock, accelerators, the idle loop, and recorded paints.

#include "platform/gui/Gdi.h"
#include "platform/gui/NativeEvents.h"
#include "platform/gui/testing/UserInput.h"
#include "tests/platform/gui/GuiFixture.h"

namespace gui_test {
namespace {

WNDPROC previous = nullptr;
std::vector<UINT> subclassSaw;

LRESULT Subclass(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    subclassSaw.push_back(message);
    if (message == WM_LBUTTONDOWN)
        return 0;  // swallowed: the list's own procedure never sees it
    return CallWindowProcW(previous, hwnd, message, wParam, lParam);
}

using WindowTest = GuiTest;

TEST_F(WindowTest, PostedMessagesArriveInOrderAndSentOnesAtOnce) {
    HWND frame = MakeFrame();
    SeenMessages().clear();
    PostMessageW(frame, WM_APP + 1, 1, 0);
    PostMessageW(frame, WM_APP + 2, 2, 0);
    EXPECT_EQ(SendMessageW(frame, WM_APP + 3, 0, 0), 0);
    ASSERT_EQ(CountSeen(frame, WM_APP + 3), 1);
    EXPECT_EQ(CountSeen(frame, WM_APP + 1), 0);
    MSG msg;
    ASSERT_TRUE(PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE));
    EXPECT_EQ(msg.message, WM_APP + 1u);
    DispatchMessageW(&msg);
    ASSERT_TRUE(GetMessageW(&msg, nullptr, 0, 0));
    EXPECT_EQ(msg.message, WM_APP + 2u);
    PostQuitMessage(7);
    EXPECT_FALSE(GetMessageW(&msg, nullptr, 0, 0));
    EXPECT_EQ(msg.wParam, 7u);
    EXPECT_TRUE(failures.empty());
}

TEST_F(WindowTest, ASubclassSeesInputFirstAndCanPassItOn) {
    HWND frame = MakeFrame();
    HWND list = MakeList(frame);
    LVITEMW item{};
    item.mask = LVIF_TEXT;
    item.pszText = const_cast<LPWSTR>(u"one");
    ListView_InsertItem(list, &item);
    previous = reinterpret_cast<WNDPROC>(
        SetWindowLongW(list, GWL_WNDPROC, reinterpret_cast<LONG_PTR>(Subclass)));
    ASSERT_NE(previous, nullptr);
    subclassSaw.clear();
    gui::input::TapItem(list, 0);
    // The press was swallowed, so nothing was selected; the release went on.
    EXPECT_NE(std::find(subclassSaw.begin(), subclassSaw.end(), WM_LBUTTONDOWN), subclassSaw.end());
    EXPECT_NE(std::find(subclassSaw.begin(), subclassSaw.end(), WM_LBUTTONUP), subclassSaw.end());
    EXPECT_EQ(ListView_GetSelectedCount(list), 0);
    SetWindowLongW(list, GWL_WNDPROC, reinterpret_cast<LONG_PTR>(previous));
    gui::input::TapItem(list, 0);
    EXPECT_EQ(ListView_GetSelectedCount(list), 1);
}

TEST_F(WindowTest, AWindowThatRefusesCloseStaysAndDestructionReachesChildrenFirstTheParent) {
    HWND frame = MakeFrame();
    HWND child = CreateWindowExW(0, u"RecorderClass", u"", WS_CHILD | WS_VISIBLE, 0, 0, 10, 10,
                                 frame, reinterpret_cast<HMENU>(5), nullptr, nullptr);
    refuseClose = true;
    gui::input::RequestClose(frame);
    EXPECT_TRUE(IsWindow(frame));
    refuseClose = false;
    SeenMessages().clear();
    gui::input::RequestClose(frame);
    EXPECT_FALSE(IsWindow(frame));
    EXPECT_FALSE(IsWindow(child));
    std::vector<HWND> destroyed;
    for (const Seen& s : SeenMessages()) {
        if (s.message == WM_DESTROY)
            destroyed.push_back(s.hwnd);
    }
    EXPECT_EQ(destroyed, (std::vector<HWND>{frame, child}));
}

TEST_F(WindowTest, TimersFireOnTheVirtualClockInOrderUntilKilled) {
    HWND frame = MakeFrame();
    DWORD start = GetTickCount();
    SetTimer(frame, 1, 500, nullptr);
    SetTimer(frame, 2, 200, nullptr);
    std::vector<std::pair<WPARAM, DWORD>> fired;
    MSG msg;
    while (fired.size() < 4 && GetMessageW(&msg, nullptr, 0, 0)) {
        if (msg.message == WM_TIMER)
            fired.emplace_back(msg.wParam, GetTickCount() - start);
        DispatchMessageW(&msg);
    }
    ASSERT_EQ(fired.size(), 4u);
    EXPECT_EQ(fired[0], (std::pair<WPARAM, DWORD>{2, 200}));
    EXPECT_EQ(fired[1], (std::pair<WPARAM, DWORD>{2, 400}));
    EXPECT_EQ(fired[2], (std::pair<WPARAM, DWORD>{1, 500}));
    EXPECT_EQ(fired[3], (std::pair<WPARAM, DWORD>{2, 600}));
    KillTimer(frame, 1);
    KillTimer(frame, 2);
    // Nothing left: the idle loop ends itself and the scripted user reports it.
    EXPECT_FALSE(GetMessageW(&msg, nullptr, 0, 0));
    ASSERT_EQ(failures.size(), 1u);
    EXPECT_NE(failures[0].find("message loop"), std::string::npos);
}

int lateMessages = 0;

// Destroys itself in the middle of handling a message, as a window that
// closes itself does, after queueing more work for itself.
LRESULT SelfDestroying(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_APP) {
        SetTimer(hwnd, 3, 10, nullptr);
        PostMessageW(hwnd, WM_APP + 1, 0, 0);
        InvalidateRect(hwnd, nullptr, TRUE);
        DestroyWindow(hwnd);
        EXPECT_FALSE(IsWindow(hwnd));
        EXPECT_FALSE(PostMessageW(hwnd, WM_APP + 1, 0, 0));
        EXPECT_EQ(SetTimer(hwnd, 4, 10, nullptr), 0u);
        EXPECT_EQ(SendMessageW(hwnd, WM_APP + 1, 0, 0), 0);
        return 0;
    }
    if (message == WM_APP + 1 || message == WM_TIMER || message == WM_PAINT)
        ++lateMessages;
    return DefWindowProcW(hwnd, message, wParam, lParam);
}

TEST_F(WindowTest, AWindowThatDestroysItselfGetsNothingOfWhatItHadQueued) {
    HWND hwnd = MakeWindow(u"SelfDestroying", SelfDestroying);
    lateMessages = 0;
    PostMessageW(hwnd, WM_APP, 0, 0);
    HWND frame = MakeFrame();
    SetTimer(frame, 1, 50, nullptr);
    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0)) {
        if (msg.message == WM_TIMER && msg.hwnd == frame)
            break;  // later than the other window's timer would have come
        DispatchMessageW(&msg);
    }
    EXPECT_EQ(lateMessages, 0);
    EXPECT_TRUE(failures.empty());
}

std::vector<UINT> procedureTicks;

void CountTick(HWND hwnd, UINT, UINT id, DWORD) {
    EXPECT_EQ(hwnd, nullptr);
    procedureTicks.push_back(id);
    if (procedureTicks.size() == 2)
        KillTimer(nullptr, id);
}

TEST_F(WindowTest, ATimerWithAProcedureCallsItUntilKilledFromInside) {
    procedureTicks.clear();
    UINT id = SetTimer(nullptr, 0, 100, CountTick);
    ASSERT_NE(id, 0u);
    UINT other = SetTimer(nullptr, 0, 1000, CountTick);
    EXPECT_NE(other, id);
    KillTimer(nullptr, other);
    HWND frame = MakeFrame();
    SetTimer(frame, 1, 450, nullptr);
    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0)) {
        if (msg.message == WM_TIMER && msg.hwnd == frame)
            break;
        DispatchMessageW(&msg);
    }
    EXPECT_EQ(procedureTicks, (std::vector<UINT>{id, id}));
}

TEST_F(WindowTest, AcceleratorsMatchTheirModifiersExactly) {
    HWND frame = MakeFrame();
    HACCEL table = LoadAcceleratorsW(instance(), MAKEINTRESOURCE(kAccelerators));
    ASSERT_NE(table, nullptr);
    SetFocus(frame);
    auto run = [&](WORD key, WPARAM modifiers) {
        SeenMessages().clear();
        if ((modifiers & MK_CONTROL) != 0)
            gui::PostKey(WM_KEYDOWN, VK_CONTROL);
        if ((modifiers & MK_SHIFT) != 0)
            gui::PostKey(WM_KEYDOWN, VK_SHIFT);
        gui::PostKey(WM_KEYDOWN, key);
        gui::PostKey(WM_KEYUP, key);
        if ((modifiers & MK_SHIFT) != 0)
            gui::PostKey(WM_KEYUP, VK_SHIFT);
        if ((modifiers & MK_CONTROL) != 0)
            gui::PostKey(WM_KEYUP, VK_CONTROL);
        std::vector<WORD> commands;
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            if (!TranslateAcceleratorW(frame, table, &msg)) {
                TranslateMessage(&msg);
                DispatchMessageW(&msg);
            }
        }
        for (const Seen& s : SeenMessages()) {
            if (s.message == WM_COMMAND && HIWORD(static_cast<DWORD>(s.wParam)) == 1)
                commands.push_back(LOWORD(static_cast<DWORD>(s.wParam)));
        }
        return commands;
    };
    EXPECT_EQ(run('D', MK_CONTROL), (std::vector<WORD>{static_cast<WORD>(kDelete)}));
    EXPECT_TRUE(run('D', 0).empty());
    EXPECT_TRUE(run('D', MK_CONTROL | MK_SHIFT).empty());
    EXPECT_EQ(run('S', MK_CONTROL | MK_SHIFT), (std::vector<WORD>{40099}));
    EXPECT_EQ(run(VK_RETURN, 0), (std::vector<WORD>{static_cast<WORD>(kOpen)}));
    // A plain key that no entry takes becomes a character.
    run('Q', 0);
    EXPECT_EQ(CountSeen(frame, WM_CHAR), 1);
    DestroyAcceleratorTable(table);
}

TEST_F(WindowTest, PaintsAreRecordedWithTheirTextsFontsAndColours) {
    HWND frame = MakeFrame();
    InvalidateRect(frame, nullptr, TRUE);
    UpdateWindow(frame);
    EXPECT_EQ(backend().PaintCount(frame), 1);
    ASSERT_FALSE(backend().LastDrawing(frame).empty());
    EXPECT_EQ(backend().LastDrawing(frame)[0].color, RGB(255, 255, 255));  // the class brush

    HDC hdc = GetDC(frame);
    LOGFONTW font{};
    font.lfHeight = -13;
    font.lfWeight = FW_BOLD;
    HFONT bold = CreateFontIndirectW(&font);
    SelectObject(hdc, bold);
    SetTextColor(hdc, RGB(0, 0, 128));
    SetBkMode(hdc, TRANSPARENT);
    RECT box{10, 0, 110, 26};
    DrawTextW(hdc, u"Title", -1, &box, DT_SINGLELINE | DT_VCENTER | DT_RIGHT | DT_NOPREFIX);
    RECT narrow{0, 0, 50, 16};
    DrawTextW(hdc, u"A long caption", -1, &narrow, DT_SINGLELINE | DT_END_ELLIPSIS);
    MoveToEx(hdc, 0, 26, nullptr);
    LineTo(hdc, 240, 26);
    ReleaseDC(frame, hdc);
    DeleteObject(bold);

    const auto& ops = backend().LastDrawing(frame);
    ASSERT_EQ(ops.size(), 3u);
    EXPECT_EQ(ops[0].kind, gui::DrawOp::Text);
    EXPECT_EQ(ops[0].text, u"Title");
    EXPECT_EQ(ops[0].fontWeight, FW_BOLD);
    EXPECT_EQ(ops[0].color, RGB(0, 0, 128));
    // Fixed-width metrics: 5 characters of 7 pixels, right-aligned; a 16-pixel
    // line centred in 26.
    EXPECT_EQ(ops[0].from.x, 110 - 35);
    EXPECT_EQ(ops[0].from.y, 5);
    EXPECT_EQ(ops[1].text, std::u16string(u"A lo..."));
    EXPECT_EQ(ops[2].kind, gui::DrawOp::Line);
    EXPECT_EQ(ops[2].to.x, 240);
}

TEST_F(WindowTest, BitmapsComeFromTheEmbeddedPngsAndTheirPixelsCanBeRead) {
    HBITMAP bitmap = LoadBitmapW(instance(), MAKEINTRESOURCE(158));
    ASSERT_NE(bitmap, nullptr);
    BITMAP info{};
    ASSERT_EQ(GetObjectW(bitmap, sizeof info, &info), static_cast<int>(sizeof info));
    EXPECT_EQ(info.bmWidth, 16);
    EXPECT_EQ(info.bmHeight, 16);
    HDC memory = CreateCompatibleDC(nullptr);
    SelectObject(memory, bitmap);
    EXPECT_NE(GetPixel(memory, 0, 0), CLR_INVALID);
    EXPECT_EQ(GetPixel(memory, 16, 0), CLR_INVALID);
    DeleteDC(memory);
    DeleteObject(bitmap);
    EXPECT_EQ(LoadBitmapW(instance(), MAKEINTRESOURCE(9999)), nullptr);
    HIMAGELIST icons = ImageList_LoadImage(instance(), MAKEINTRESOURCE(144), 16, 0,
                                           RGB(192, 192, 192), IMAGE_BITMAP, 0);
    EXPECT_EQ(ImageList_GetImageCount(icons), 5);
    ImageList_Destroy(icons);
}

TEST_F(WindowTest, HelpOpensOnlyTheBundledPageAndIsRecorded) {
    PROCESS_INFORMATION info;
    EXPECT_TRUE(CreateProcessW(u"PegHelp.exe", u"tessaly.htm#options", nullptr, nullptr, FALSE, 0,
                               nullptr, nullptr, nullptr, &info));
    ASSERT_EQ(backend().helpRequests().size(), 1u);
    EXPECT_EQ(backend().helpRequests()[0].anchor, u"options");
    EXPECT_EQ(backend().helpRequests()[0].file.filename(), "tessaly.htm");
    EXPECT_FALSE(CreateProcessW(u"PegHelp.exe", u"../secret.htm#x", nullptr, nullptr, FALSE, 0,
                                nullptr, nullptr, nullptr, &info));
    EXPECT_FALSE(CreateProcessW(u"other.exe", u"", nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                                nullptr, &info));
    EXPECT_EQ(backend().helpRequests().size(), 1u);
}

}  // namespace
}  // namespace gui_test
