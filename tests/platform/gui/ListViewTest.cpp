// The list view: items and subitems, finding and sorting by lParam,
// selection with its notifications, the four views with hit testing,
// scrolling, label editing and the owner-drawn header.

#include "platform/core/Text.h"
#include "platform/gui/Gdi.h"
#include "platform/gui/NativeEvents.h"
#include "platform/gui/testing/UserInput.h"
#include "tests/platform/gui/GuiFixture.h"

namespace gui_test {
namespace {

class ListViewTest : public GuiTest {
protected:
    ListViewTest() : frame(MakeFrame()), list(MakeList(frame)) {}
    void Fill(int count) {
        for (int i = 0; i < count; ++i) {
            std::u16string name = u"row" + Utf8ToWide(std::to_string(i));
            LVITEMW item{};
            item.mask = LVIF_TEXT | LVIF_PARAM | LVIF_IMAGE;
            item.iItem = i;
            item.pszText = name.data();
            item.lParam = 100 + i;
            ListView_InsertItem(list, &item);
            std::u16string size = Utf8ToWide(std::to_string(count - i));
            ListView_SetItemText(list, i, 1, size.c_str());
        }
    }
    std::u16string Text(int i, int sub = 0) {
        WCHAR buffer[64];
        ListView_GetItemText(list, i, sub, buffer, 64);
        return buffer;
    }
    std::vector<int> Selected() {
        std::vector<int> rows;
        for (int i = ListView_GetNextItem(list, -1, LVNI_SELECTED); i >= 0;
             i = ListView_GetNextItem(list, i, LVNI_SELECTED))
            rows.push_back(i);
        return rows;
    }
    void SetView(DWORD view) {
        DWORD style = static_cast<DWORD>(GetWindowLongW(list, GWL_STYLE));
        SetWindowLongW(list, GWL_STYLE, (style & ~LVS_TYPEMASK) | view);
    }
    HWND frame;
    HWND list;
};

int CompareBySizeText(LPARAM a, LPARAM b, LPARAM parameter) {
    auto list = reinterpret_cast<HWND>(parameter);
    LVFINDINFOW find{};
    find.flags = LVFI_PARAM;
    find.lParam = a;
    int ia = ListView_FindItem(list, -1, &find);
    find.lParam = b;
    int ib = ListView_FindItem(list, -1, &find);
    WCHAR ta[16];
    WCHAR tb[16];
    ListView_GetItemText(list, ia, 1, ta, 16);
    ListView_GetItemText(list, ib, 1, tb, 16);
    int na = std::stoi(WideToUtf8(ta));
    int nb = std::stoi(WideToUtf8(tb));
    return na < nb ? -1 : na > nb ? 1 : 0;
}

TEST_F(ListViewTest, ItemsAreInsertedFoundByParamAndSortedByACallbackThatReadsTheList) {
    Fill(5);
    EXPECT_EQ(ListView_GetItemCount(list), 5);
    EXPECT_EQ(Text(2, 1), u"3");
    LVFINDINFOW find{};
    find.flags = LVFI_PARAM;
    find.lParam = 103;
    EXPECT_EQ(ListView_FindItem(list, -1, &find), 3);
    EXPECT_EQ(ListView_FindItem(list, 3, &find), -1);
    find.flags = LVFI_STRING;
    find.psz = u"ROW4";
    EXPECT_EQ(ListView_FindItem(list, -1, &find), 4);

    ListView_SetItemState(list, 0, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
    ASSERT_TRUE(ListView_SortItems(list, CompareBySizeText, reinterpret_cast<LPARAM>(list)));
    for (int i = 0; i < 5; ++i)
        EXPECT_EQ(Text(i, 1), Utf8ToWide(std::to_string(i + 1)));
    // The selection travels with its item.
    EXPECT_EQ(Selected(), (std::vector<int>{4}));
    EXPECT_EQ(Text(4), u"row0");

    ListView_DeleteItem(list, 4);
    EXPECT_TRUE(Selected().empty());
    ListView_DeleteAllItems(list);
    EXPECT_EQ(ListView_GetItemCount(list), 0);
}

TEST_F(ListViewTest, TapsSelectWithControlAndShiftAndEveryChangeIsNotified) {
    SetFocus(list);
    Fill(6);
    ListView_SetExtendedListViewStyle(list, LVS_EX_FULLROWSELECT);
    Notices().clear();
    gui::input::TapItem(list, 1);
    EXPECT_EQ(Selected(), (std::vector<int>{1}));
    bool selectedNotice = false;
    for (const Notice& n : Notices())
        selectedNotice |= n.code == LVN_ITEMCHANGED && n.item == 1 && (n.newState & LVIS_SELECTED);
    EXPECT_TRUE(selectedNotice);
    EXPECT_EQ(Notices().back().code, NM_CLICK);

    gui::PostKey(WM_KEYDOWN, VK_CONTROL);
    gui::input::PumpMessages();
    gui::input::TapItem(list, 3);
    gui::PostKey(WM_KEYUP, VK_CONTROL);
    gui::input::PumpMessages();
    EXPECT_EQ(Selected(), (std::vector<int>{1, 3}));
    gui::PostKey(WM_KEYDOWN, VK_SHIFT);
    gui::input::PumpMessages();
    gui::input::TapItem(list, 5);
    gui::PostKey(WM_KEYUP, VK_SHIFT);
    gui::input::PumpMessages();
    EXPECT_EQ(Selected(), (std::vector<int>{3, 4, 5}));
    EXPECT_EQ(ListView_GetNextItem(list, -1, LVNI_FOCUSED), 5);

    // A tap beside every item clears the selection; a double tap notifies with its item.
    RECT last;
    ListView_GetItemRect(list, 5, &last, LVIR_BOUNDS);
    gui::input::Tap(list, {10, last.bottom + 20});
    EXPECT_TRUE(Selected().empty());
    Notices().clear();
    gui::input::DoubleTapItem(list, 2);
    bool doubleTap = false;
    for (const Notice& n : Notices())
        doubleTap |= n.code == NM_DBLCLK && n.item == 2;
    EXPECT_TRUE(doubleTap);
    EXPECT_TRUE(failures.empty());
}

TEST_F(ListViewTest, WithoutFullRowOnlyTheNameColumnHitsAnItem) {
    Fill(3);
    RECT row;
    ListView_GetItemRect(list, 1, &row, LVIR_BOUNDS);
    LVHITTESTINFO hit{};
    hit.pt = {200, (row.top + row.bottom) / 2};
    EXPECT_EQ(ListView_HitTest(list, &hit), -1);
    ListView_SetExtendedListViewStyle(list, LVS_EX_FULLROWSELECT);
    EXPECT_EQ(ListView_HitTest(list, &hit), 1);
    hit.pt = {20, 5};  // on the header
    EXPECT_EQ(ListView_HitTest(list, &hit), -1);
}

TEST_F(ListViewTest, EveryViewLaysItemsOutSoThatHitTestingFindsEachOne) {
    Fill(12);
    HIMAGELIST large = ImageList_LoadImage(instance(), MAKEINTRESOURCE(145), 32, 0,
                                           RGB(192, 192, 192), IMAGE_BITMAP, 0);
    HIMAGELIST small = ImageList_LoadImage(instance(), MAKEINTRESOURCE(144), 16, 0,
                                           RGB(192, 192, 192), IMAGE_BITMAP, 0);
    ListView_SetImageList(list, large, LVSIL_NORMAL);
    ListView_SetImageList(list, small, LVSIL_SMALL);
    for (DWORD view : {LVS_ICON, LVS_SMALLICON, LVS_LIST, LVS_REPORT}) {
        SetView(view);
        for (int i = 0; i < 12; ++i) {
            ListView_EnsureVisible(list, i, FALSE);
            for (int code : {LVIR_ICON, LVIR_LABEL}) {
                RECT r;
                ListView_GetItemRect(list, i, &r, code);
                LVHITTESTINFO hit{};
                hit.pt = {(r.left + r.right) / 2, (r.top + r.bottom) / 2};
                EXPECT_EQ(ListView_HitTest(list, &hit), i) << "view " << view << " item " << i;
                EXPECT_EQ(hit.flags, code == LVIR_ICON ? LVHT_ONITEMICON : LVHT_ONITEMLABEL);
            }
        }
    }
    // Only report view shows the header.
    EXPECT_TRUE(IsWindowVisible(ListView_GetHeader(list)));
    SetView(LVS_LIST);
    EXPECT_FALSE(IsWindowVisible(ListView_GetHeader(list)));
    ImageList_Destroy(large);
    ImageList_Destroy(small);
}

TEST_F(ListViewTest, EnsureVisibleScrollsAsLittleAsNeeded) {
    Fill(40);
    int page = ListView_GetCountPerPage(list);
    // 200 pixels less a 22-pixel header, 18-pixel rows.
    EXPECT_EQ(page, (200 - 22) / 18);
    EXPECT_EQ(ListView_GetTopIndex(list), 0);
    ListView_EnsureVisible(list, 20, FALSE);
    EXPECT_EQ(ListView_GetTopIndex(list), 20 - page + 1);
    ListView_EnsureVisible(list, 5, FALSE);
    EXPECT_EQ(ListView_GetTopIndex(list), 5);
    ListView_EnsureVisible(list, 39, FALSE);
    EXPECT_EQ(ListView_GetTopIndex(list), 40 - page);
    // Deleting rows never leaves the list scrolled past its end.
    for (int i = 0; i < 30; ++i)
        ListView_DeleteItem(list, 0);
    EXPECT_EQ(ListView_GetTopIndex(list), 10 - page);
}

TEST_F(ListViewTest, LabelEditingNotifiesBeginAndEndWithTheNewTextOrNoneWhenCancelled) {
    SetWindowLongW(list, GWL_STYLE, GetWindowLongW(list, GWL_STYLE) | LVS_EDITLABELS);
    Fill(3);
    SetFocus(list);
    Notices().clear();
    gui::input::EditListLabel(list, 1, u"renamed");
    EXPECT_EQ(Text(1), u"renamed");
    EXPECT_EQ(ListView_GetEditControl(list), nullptr);
    ASSERT_EQ(Notices().size(), 2u);
    EXPECT_EQ(Notices()[0].code, LVN_BEGINLABELEDITW);
    EXPECT_EQ(Notices()[1].code, LVN_ENDLABELEDITW);
    EXPECT_TRUE(Notices()[1].hasText);
    EXPECT_EQ(Notices()[1].text, u"renamed");

    Notices().clear();
    gui::input::EditListLabelAndCancel(list, 1, u"other");
    ASSERT_EQ(Notices().size(), 2u);
    EXPECT_FALSE(Notices()[1].hasText);
    EXPECT_EQ(Text(1), u"renamed");

    // A second tap on the one selected row starts editing after a delay.
    gui::input::TapItem(list, 2);
    gui::input::TapItem(list, 2);
    MSG msg;
    while (ListView_GetEditControl(list) == nullptr && GetMessageW(&msg, nullptr, 0, 0))
        DispatchMessageW(&msg);
    HWND edit = ListView_GetEditControl(list);
    ASSERT_NE(edit, nullptr);
    EXPECT_EQ(GetFocus(), edit);
    gui::input::EditText(edit, u"typed");
    SetFocus(list);  // losing the focus ends editing and keeps the text
    EXPECT_EQ(Text(2), u"typed");
    EXPECT_TRUE(failures.empty());
}

int drawRequests = 0;
UINT drawState = 0;
WNDPROC listProcedure = nullptr;

LRESULT DrawHeader(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_DRAWITEM) {
        auto* draw = reinterpret_cast<DRAWITEMSTRUCT*>(lParam);
        EXPECT_EQ(draw->CtlType, ODT_HEADER);
        ++drawRequests;
        drawState |= draw->itemState;
        SetTextColor(draw->hDC, RGB(1, 2, 3));
        DrawTextW(draw->hDC, u"drawn", -1, &draw->rcItem, DT_SINGLELINE);
        return TRUE;
    }
    return CallWindowProcW(listProcedure, hwnd, message, wParam, lParam);
}

TEST_F(ListViewTest, OwnerDrawnHeaderItemsAreDrawnByTheListsProcedureAndClicksBecomeColumnClicks) {
    Fill(2);
    HWND header = ListView_GetHeader(list);
    for (int i = 0; i < Header_GetItemCount(header); ++i) {
        HDITEMW item{};
        item.mask = HDI_FORMAT;
        Header_GetItem(header, i, &item);
        item.fmt |= HDF_OWNERDRAW;
        Header_SetItem(header, i, &item);
    }
    listProcedure = reinterpret_cast<WNDPROC>(
        SetWindowLongW(list, GWL_WNDPROC, reinterpret_cast<LONG_PTR>(DrawHeader)));
    drawRequests = 0;
    UpdateWindow(header);
    EXPECT_EQ(drawRequests, 3);
    int drawn = 0;
    for (const gui::DrawOp& op : backend().LastDrawing(header))
        drawn += op.kind == gui::DrawOp::Text && op.text == u"drawn" && op.color == RGB(1, 2, 3);
    EXPECT_EQ(drawn, 3);

    Notices().clear();
    gui::input::ClickHeaderColumn(list, 2);
    ASSERT_FALSE(Notices().empty());
    EXPECT_EQ(Notices().back().code, LVN_COLUMNCLICK);
    EXPECT_EQ(Notices().back().subItem, 2);
    EXPECT_EQ(ListView_GetColumnWidth(list, 1), 80);
}

struct HeaderDraw {
    UINT item;
    UINT state;
    RECT rect;
    std::uintptr_t data;
};
std::vector<HeaderDraw> headerDraws;

LRESULT RecordHeaderDraws(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_DRAWITEM) {
        auto* draw = reinterpret_cast<DRAWITEMSTRUCT*>(lParam);
        headerDraws.push_back({draw->itemID, draw->itemState, draw->rcItem, draw->itemData});
        return TRUE;
    }
    return CallWindowProcW(listProcedure, hwnd, message, wParam, lParam);
}

TEST_F(ListViewTest, APressedHeaderItemIsDrawnSelectedInItsOwnRectangle) {
    HWND header = ListView_GetHeader(list);
    for (int i = 0; i < Header_GetItemCount(header); ++i) {
        HDITEMW item{};
        item.mask = HDI_FORMAT | HDI_LPARAM;
        Header_GetItem(header, i, &item);
        item.fmt |= HDF_OWNERDRAW;
        item.lParam = 70 + i;
        Header_SetItem(header, i, &item);
    }
    listProcedure = reinterpret_cast<WNDPROC>(
        SetWindowLongW(list, GWL_WNDPROC, reinterpret_cast<LONG_PTR>(RecordHeaderDraws)));
    gui::input::PumpMessages();
    headerDraws.clear();
    gui::PostPointer(header, WM_LBUTTONDOWN, {100, 5}, MK_LBUTTON);
    gui::input::PumpMessages();
    ASSERT_EQ(headerDraws.size(), 3u);
    for (const HeaderDraw& d : headerDraws) {
        EXPECT_EQ(d.state, d.item == 1 ? ODS_SELECTED : 0u) << d.item;
        EXPECT_EQ(d.rect.left, static_cast<LONG>(80 * d.item));
        EXPECT_EQ(d.rect.right, static_cast<LONG>(80 * d.item + 80));
        EXPECT_EQ(d.rect.bottom, 22);
        EXPECT_EQ(d.data, 70u + d.item);
    }
    headerDraws.clear();
    Notices().clear();
    gui::PostPointer(header, WM_LBUTTONUP, {100, 5});
    gui::input::PumpMessages();
    ASSERT_EQ(headerDraws.size(), 3u);
    EXPECT_EQ(headerDraws[1].state, 0u);
    ASSERT_FALSE(Notices().empty());
    EXPECT_EQ(Notices().back().code, LVN_COLUMNCLICK);
    EXPECT_EQ(Notices().back().subItem, 1);
}

TEST_F(ListViewTest, ALargeIconsLabelTakesTwoLinesBrokenAtBlanksOrInsideALongWord) {
    HIMAGELIST large = ImageList_LoadImage(instance(), MAKEINTRESOURCE(145), 32, 0,
                                           RGB(192, 192, 192), IMAGE_BITMAP, 0);
    ListView_SetImageList(list, large, LVSIL_NORMAL);
    SetView(LVS_ICON);
    const char16_t* names[] = {u"Photo Index", u"Appointments", u"Notes"};
    for (int i = 0; i < 3; ++i) {
        LVITEMW item{};
        item.mask = LVIF_TEXT;
        item.iItem = i;
        item.pszText = const_cast<WCHAR*>(names[i]);
        ListView_InsertItem(list, &item);
    }
    InvalidateRect(list, nullptr, TRUE);
    UpdateWindow(list);
    std::vector<std::u16string> texts;
    for (const gui::DrawOp& op : backend().LastDrawing(list)) {
        if (op.kind == gui::DrawOp::Text)
            texts.push_back(op.text);
    }
    ASSERT_EQ(texts.size(), 5u);
    EXPECT_EQ(texts[0], u"Photo");
    EXPECT_EQ(texts[1], u"Index");
    // The long name is cut where it must be, and nothing of it is lost.
    EXPECT_EQ(texts[2] + texts[3], u"Appointments");
    EXPECT_EQ(texts[4], u"Notes");
    ImageList_Destroy(large);
}

TEST_F(ListViewTest, AReportRowIsPaintedWithItsIconTextsAndHighlight) {
    HIMAGELIST small = ImageList_LoadImage(instance(), MAKEINTRESOURCE(144), 16, 0,
                                           RGB(192, 192, 192), IMAGE_BITMAP, 0);
    ListView_SetImageList(list, small, LVSIL_SMALL);
    ListView_SetExtendedListViewStyle(list, LVS_EX_FULLROWSELECT);
    Fill(1);
    SetFocus(list);
    ListView_SetItemState(list, 0, LVIS_SELECTED, LVIS_SELECTED);
    UpdateWindow(list);
    bool highlight = false;
    bool icon = false;
    std::vector<std::u16string> texts;
    for (const gui::DrawOp& op : backend().LastDrawing(list)) {
        highlight |= op.kind == gui::DrawOp::Fill && op.color == GetSysColor(COLOR_HIGHLIGHT) &&
                     op.rect.right - op.rect.left == 240;
        icon |= op.kind == gui::DrawOp::Picture && op.transparent == RGB(192, 192, 192);
        if (op.kind == gui::DrawOp::Text) {
            texts.push_back(op.text);
            EXPECT_EQ(op.color, GetSysColor(COLOR_HIGHLIGHTTEXT));
        }
    }
    EXPECT_TRUE(highlight);
    EXPECT_TRUE(icon);
    EXPECT_EQ(texts, (std::vector<std::u16string>{u"row0", u"1"}));
    ImageList_Destroy(small);
}

TEST_F(ListViewTest, SubItemHitTestingFindsTheRowUnderThePointWhenScrolled) {
    Fill(40);
    auto hit = [&](POINT p) {
        LVHITTESTINFO info{};
        info.pt = p;
        SendMessageW(list, LVM_SUBITEMHITTEST, 0, reinterpret_cast<LPARAM>(&info));
        return std::pair<int, int>{info.iItem, info.iSubItem};
    };
    RECT row;
    ListView_GetItemRect(list, 3, &row, LVIR_BOUNDS);
    EXPECT_EQ(hit({200, (row.top + row.bottom) / 2}), (std::pair<int, int>{3, 2}));
    ListView_EnsureVisible(list, 30, FALSE);
    ASSERT_GT(ListView_GetTopIndex(list), 0);
    ListView_GetItemRect(list, 25, &row, LVIR_BOUNDS);
    EXPECT_EQ(hit({200, (row.top + row.bottom) / 2}), (std::pair<int, int>{25, 2}));
    EXPECT_EQ(hit({100, (row.top + row.bottom) / 2}), (std::pair<int, int>{25, 1}));
    EXPECT_EQ(hit({200, 5}).first, -1);  // on the header
}

// A program may destroy the header child itself; the list then has no
// columns and no header strip, and goes on working.
TEST_F(ListViewTest, AListWhoseHeaderWasDestroyedGoesOnWithoutColumns) {
    Fill(3);
    ASSERT_TRUE(DestroyWindow(ListView_GetHeader(list)));
    EXPECT_EQ(ListView_GetColumnWidth(list, 0), 0);
    EXPECT_TRUE(ListView_SetColumnWidth(list, 0, LVSCW_AUTOSIZE));
    RECT first;
    ASSERT_TRUE(ListView_GetItemRect(list, 0, &first, LVIR_BOUNDS));
    EXPECT_EQ(first.top, 0);  // no header strip above the rows
    RECT row;
    ASSERT_TRUE(ListView_GetItemRect(list, 1, &row, LVIR_LABEL));
    LVHITTESTINFO info{};
    info.pt = {(row.left + row.right) / 2, (row.top + row.bottom) / 2};
    EXPECT_EQ(ListView_HitTest(list, &info), 1);
    InvalidateRect(list, nullptr, TRUE);
    gui::input::PumpMessages();
    EXPECT_FALSE(backend().LastDrawing(list).empty());
    gui::input::TapItem(list, 2);
    EXPECT_EQ(Selected(), (std::vector<int>{2}));
    EXPECT_TRUE(failures.empty());
}

TEST_F(ListViewTest, ShiftWithTheArrowKeysExtendsTheSelectionFromItsMark) {
    Fill(6);
    SetFocus(list);
    gui::input::TapItem(list, 1);
    Notices().clear();
    gui::input::PressKey(VK_DOWN, MK_SHIFT);
    gui::input::PressKey(VK_DOWN, MK_SHIFT);
    EXPECT_EQ(Selected(), (std::vector<int>{1, 2, 3}));
    EXPECT_EQ(ListView_GetNextItem(list, -1, LVNI_FOCUSED), 3);
    // The focus moving is a change of both items, told to the parent.
    bool lost = false;
    bool gained = false;
    for (const Notice& n : Notices()) {
        if (n.code != LVN_ITEMCHANGED)
            continue;
        lost |= n.item == 2 && (n.oldState & LVIS_FOCUSED) && !(n.newState & LVIS_FOCUSED);
        gained |= n.item == 3 && (n.newState & LVIS_FOCUSED) && !(n.oldState & LVIS_FOCUSED);
    }
    EXPECT_TRUE(lost);
    EXPECT_TRUE(gained);
    gui::input::PressKey(VK_UP, MK_SHIFT);
    gui::input::PressKey(VK_UP, MK_SHIFT);
    gui::input::PressKey(VK_UP, MK_SHIFT);
    EXPECT_EQ(Selected(), (std::vector<int>{0, 1}));
    gui::input::PressKey(VK_END, MK_SHIFT);
    EXPECT_EQ(Selected(), (std::vector<int>{1, 2, 3, 4, 5}));
    // Control moves only the focus; a plain key selects the one item.
    gui::input::PressKey(VK_UP, MK_CONTROL);
    EXPECT_EQ(Selected().size(), 5u);
    EXPECT_EQ(ListView_GetNextItem(list, -1, LVNI_FOCUSED), 4);
    gui::input::PressKey(VK_HOME);
    EXPECT_EQ(Selected(), (std::vector<int>{0}));

    SetWindowLongW(list, GWL_STYLE, GetWindowLongW(list, GWL_STYLE) | LVS_SINGLESEL);
    gui::input::PressKey(VK_DOWN, MK_SHIFT);
    EXPECT_EQ(Selected(), (std::vector<int>{1}));
    EXPECT_TRUE(failures.empty());
}

TEST_F(ListViewTest, TheLabelEditorGoesWithItsItemAndFollowsItWhenRowsMoveAbove) {
    SetWindowLongW(list, GWL_STYLE, GetWindowLongW(list, GWL_STYLE) | LVS_EDITLABELS);
    Fill(3);
    SetFocus(list);
    HWND edit = ListView_EditLabel(list, 1);
    ASSERT_NE(edit, nullptr);
    LVITEMW item{};
    item.mask = LVIF_TEXT;
    item.iItem = 0;
    item.pszText = const_cast<LPWSTR>(u"new first");
    ListView_InsertItem(list, &item);
    gui::input::EditText(edit, u"edited");
    gui::input::PressKey(VK_RETURN);
    EXPECT_EQ(Text(2), u"edited");  // the row that was edited, now one further down
    EXPECT_EQ(Text(1), u"row0");
    EXPECT_FALSE(IsWindow(edit));

    Notices().clear();
    edit = ListView_EditLabel(list, 2);
    ASSERT_NE(edit, nullptr);
    ListView_DeleteItem(list, 2);
    EXPECT_FALSE(IsWindow(edit));
    EXPECT_EQ(ListView_GetEditControl(list), nullptr);
    ASSERT_GE(Notices().size(), 2u);
    EXPECT_EQ(Notices()[1].code, LVN_ENDLABELEDITW);
    EXPECT_FALSE(Notices()[1].hasText);  // cancelled: the row is gone

    edit = ListView_EditLabel(list, 0);
    ListView_DeleteAllItems(list);
    EXPECT_FALSE(IsWindow(edit));
    EXPECT_EQ(ListView_GetEditControl(list), nullptr);

    // A parent that refuses the edit gets no editor.
    Fill(1);
    labelEditAnswer = FALSE;
    EXPECT_EQ(ListView_EditLabel(list, 0), nullptr);
    EXPECT_EQ(ListView_GetEditControl(list), nullptr);
    EXPECT_TRUE(failures.empty());
}

// A parent that destroys the list from inside a notification of the list.
UINT destroyOn = 0;
LRESULT DestroyingParent(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NOTIFY) {
        auto* header = reinterpret_cast<NMHDR*>(lParam);
        if (header->code == destroyOn)
            DestroyWindow(header->hwndFrom);
        return 0;
    }
    return DefWindowProcW(hwnd, message, wParam, lParam);
}

struct DestroyCase {
    const char* name;
    UINT code;
    void (*act)(HWND list);
};

class ListDestroyedWhileNotifying : public GuiTest,
                                    public ::testing::WithParamInterface<DestroyCase> {};

TEST_P(ListDestroyedWhileNotifying, TheListStopsWithoutTouchingWhatIsGone) {
    HWND parent = MakeWindow(u"DestroyingParent", DestroyingParent);
    HWND list = MakeList(parent);
    AddRows(list, 4);
    SetFocus(list);
    destroyOn = GetParam().code;
    GetParam().act(list);
    gui::input::PumpMessages();
    destroyOn = 0;
    EXPECT_FALSE(IsWindow(list));
    EXPECT_TRUE(IsWindow(parent));
    EXPECT_TRUE(failures.empty());
}

INSTANTIATE_TEST_SUITE_P(
    Notifications, ListDestroyedWhileNotifying,
    ::testing::Values(
        DestroyCase{"KeyDown", LVN_KEYDOWN, [](HWND) { gui::input::PressKey(VK_DOWN); }},
        DestroyCase{"SelectAll", LVN_ITEMCHANGED,
                    [](HWND l) { ListView_SetItemState(l, -1, LVIS_SELECTED, LVIS_SELECTED); }},
        DestroyCase{"Tap", LVN_ITEMCHANGED, [](HWND l) { gui::input::TapItem(l, 2); }},
        DestroyCase{"DeleteItem", LVN_DELETEITEM, [](HWND l) { ListView_DeleteItem(l, 1); }},
        DestroyCase{"DeleteAll", LVN_DELETEALLITEMS, [](HWND l) { ListView_DeleteAllItems(l); }},
        DestroyCase{"DoubleTap", NM_DBLCLK, [](HWND l) { gui::input::DoubleTapItem(l, 2); }},
        DestroyCase{"RightPress", NM_RCLICK,
                    [](HWND l) {
                        RECT r{};
                        ListView_GetItemRect(l, 2, &r, LVIR_LABEL);
                        gui::PostPointer(l, WM_RBUTTONDOWN,
                                         {(r.left + r.right) / 2, (r.top + r.bottom) / 2});
                    }},
        DestroyCase{"Return", NM_RETURN, [](HWND) { gui::input::PressKey(VK_RETURN); }},
        DestroyCase{"InsertSelected", LVN_INSERTITEM,
                    [](HWND l) {
                        LVITEMW item{};
                        item.mask = LVIF_TEXT | LVIF_STATE;
                        item.iItem = 1;
                        item.state = item.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
                        item.pszText = const_cast<LPWSTR>(u"new");
                        ListView_InsertItem(l, &item);
                    }},
        DestroyCase{"BeginLabelEdit", LVN_BEGINLABELEDITW,
                    [](HWND l) { ListView_EditLabel(l, 1); }},
        DestroyCase{"EndLabelEditByKey", LVN_ENDLABELEDITW,
                    [](HWND l) {
                        ListView_EditLabel(l, 1);
                        gui::input::PressKey(VK_RETURN);
                    }},
        DestroyCase{"EndLabelEditByTap", LVN_ENDLABELEDITW,
                    [](HWND l) {
                        ListView_EditLabel(l, 1);
                        gui::input::TapItem(l, 3);
                    }},
        DestroyCase{"ColumnClick", LVN_COLUMNCLICK,
                    [](HWND l) { gui::input::ClickHeaderColumn(l, 1); }}),
    [](const ::testing::TestParamInfo<DestroyCase>& info) { return info.param.name; });

TEST_F(ListViewTest, WhileRedrawIsOffChangesPaintNothingAndTurningItOnPaintsOnce) {
    Fill(3);
    gui::input::PumpMessages();
    int before = backend().PaintCount(list);
    SendMessageW(list, WM_SETREDRAW, FALSE, 0);
    ListView_DeleteAllItems(list);
    Fill(5);
    ListView_SetItemState(list, 2, LVIS_SELECTED, LVIS_SELECTED);
    ListView_EnsureVisible(list, 4, FALSE);
    UpdateWindow(list);
    gui::input::PumpMessages();
    EXPECT_EQ(backend().PaintCount(list), before);
    SendMessageW(list, WM_SETREDRAW, TRUE, 0);
    gui::input::PumpMessages();
    EXPECT_EQ(backend().PaintCount(list), before + 1);
    int rows = 0;
    for (const gui::DrawOp& op : backend().LastDrawing(list))
        rows += op.kind == gui::DrawOp::Text && op.text.starts_with(u"row");
    EXPECT_EQ(rows, 5);
}

}  // namespace
}  // namespace gui_test
