#include "tests/platform/gui/GuiFixture.h"

#include "platform/gui/CommandBar.h"
#include "platform/gui/Gdi.h"
#include "platform/gui/ShellUi.h"
#include "platform/gui/windowing/WindowSystem.h"
#include "resources/Editions.h"

namespace gui_test {

bool refuseClose = false;
LRESULT labelEditAnswer = TRUE;

std::vector<Seen>& SeenMessages() {
    static std::vector<Seen> seen;
    return seen;
}

std::vector<Notice>& Notices() {
    static std::vector<Notice> notices;
    return notices;
}

int CountSeen(HWND hwnd, UINT message) {
    int n = 0;
    for (const Seen& s : SeenMessages())
        n += s.hwnd == hwnd && s.message == message ? 1 : 0;
    return n;
}

namespace {

LRESULT Recorder(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    SeenMessages().push_back({hwnd, message, wParam, lParam});
    switch (message) {
        case WM_CLOSE:
            if (refuseClose)
                return 0;
            break;
        case WM_NOTIFY: {
            auto* header = reinterpret_cast<NMHDR*>(lParam);
            Notice notice{header->code, -1, 0, 0, 0, {}, false};
            if (header->code == LVN_BEGINLABELEDITW || header->code == LVN_ENDLABELEDITW) {
                auto* info = reinterpret_cast<NMLVDISPINFOW*>(lParam);
                notice.item = info->item.iItem;
                notice.hasText = info->item.pszText != nullptr;
                if (notice.hasText)
                    notice.text = info->item.pszText;
                Notices().push_back(notice);
                return header->code == LVN_ENDLABELEDITW ? labelEditAnswer : !labelEditAnswer;
            }
            // A strip's height change carries nothing past its header.
            if (header->code != LVN_KEYDOWN && header->code != RBN_HEIGHTCHANGE) {
                auto* list = reinterpret_cast<NMLISTVIEW*>(lParam);
                notice.item = list->iItem;
                notice.subItem = list->iSubItem;
                notice.newState = list->uNewState;
                notice.oldState = list->uOldState;
            }
            Notices().push_back(notice);
            return 0;
        }
        default:
            break;
    }
    return DefWindowProcW(hwnd, message, wParam, lParam);
}

}  // namespace

GuiTest::GuiTest() : user_(std::make_shared<gui::ScriptedUser>()) {
    user_->SetFailureHandler([this](const std::string& what) { failures.push_back(what); });
    auto backend = std::make_unique<gui::HeadlessBackend>(user_);
    backend_ = backend.get();
    scope_ = std::make_unique<gui::ScopedBackend>(std::move(backend));
    SeenMessages().clear();
    Notices().clear();
    refuseClose = false;
    labelEditAnswer = TRUE;

    res::AddBitmaps(module_);
    module_.AddDialog(
        {kDialog,
         WS_POPUP | WS_CAPTION,
         0,
         0,
         0,
         120,
         100,
         u"Test",
         nullptr,
         0,
         {{u"EDIT", u"", kEdit, 4, 4, 60, 12, WS_TABSTOP | WS_VISIBLE | WS_BORDER},
          {u"BUTTON", u"Check", kCheck, 4, 20, 60, 10, BS_AUTOCHECKBOX | WS_TABSTOP | WS_VISIBLE},
          {u"BUTTON", u"A", kRadioA, 4, 32, 30, 10,
           BS_AUTORADIOBUTTON | WS_GROUP | WS_TABSTOP | WS_VISIBLE},
          {u"BUTTON", u"B", kRadioB, 40, 32, 30, 10, BS_AUTORADIOBUTTON | WS_VISIBLE},
          {u"EDIT", u"", kMultiLine, 4, 44, 100, 20,
           ES_MULTILINE | ES_WANTRETURN | WS_TABSTOP | WS_VISIBLE},
          {u"BUTTON", u"OK", IDOK, 4, 80, 40, 14, BS_DEFPUSHBUTTON | WS_TABSTOP | WS_VISIBLE},
          {u"BUTTON", u"Cancel", IDCANCEL, 50, 80, 40, 14,
           BS_PUSHBUTTON | WS_TABSTOP | WS_VISIBLE}}});
    module_.AddDialog(
        {kCaptionOkDialog,
         WS_POPUP | WS_CAPTION | WS_SYSMENU,
         WS_EX_CAPTIONOKBTN,
         0,
         0,
         120,
         40,
         u"Confirm",
         nullptr,
         0,
         {{u"BUTTON", u"Check", kCheck, 4, 4, 60, 10, BS_AUTOCHECKBOX | WS_TABSTOP | WS_VISIBLE}}});
    module_.AddMenu(
        {kMenu,
         {{u"Edit", 0, 0, {{u"Open", kOpen}, {u"", 0}, {u"Delete", kDelete, MF_GRAYED}}},
          {u"View",
           0,
           0,
           {{u"Large", kLarge}, {u"Details", kDetails, MF_CHECKED}, {u"List", kList}}}}});
    module_.AddAccelerators({kAccelerators,
                             {{FVIRTKEY | FCONTROL, 'D', static_cast<WORD>(kDelete)},
                              {FVIRTKEY, VK_RETURN, static_cast<WORD>(kOpen)},
                              {FVIRTKEY | FCONTROL | FSHIFT, 'S', 40099}}});
    module_.AddMenuBar({kMenuBar,
                        kMenu,
                        {{MenuBarItemResource::Menu, 0, 0, 0, 0},
                         {MenuBarItemResource::Menu, 1, 0, 0, 0},
                         {MenuBarItemResource::Button, 0, kDelete, 4, 0}}});
}

GuiTest::~GuiTest() {
    scope_.reset();
    EXPECT_EQ(gui::LingeringWindowCount(), 0u) << "a destroyed window outlived its procedures";
}

HWND GuiTest::MakeFrame() {
    WNDCLASSW wc{};
    wc.lpfnWndProc = Recorder;
    wc.lpszClassName = u"RecorderClass";
    wc.style = CS_DBLCLKS;
    wc.hbrBackground = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
    WNDCLASSW existing;
    if (!GetClassInfoW(nullptr, u"RecorderClass", &existing))
        RegisterClassW(&wc);
    return CreateWindowExW(0, u"RecorderClass", u"Frame", WS_VISIBLE, CW_USEDEFAULT, CW_USEDEFAULT,
                           CW_USEDEFAULT, CW_USEDEFAULT, nullptr, nullptr, instance(), nullptr);
}

HWND GuiTest::MakeWindow(const char16_t* className, WNDPROC procedure) {
    WNDCLASSW existing;
    if (!GetClassInfoW(nullptr, className, &existing)) {
        WNDCLASSW wc{};
        wc.lpfnWndProc = procedure;
        wc.lpszClassName = className;
        RegisterClassW(&wc);
    }
    return CreateWindowExW(0, className, u"", WS_VISIBLE, 0, 0, 240, 300, nullptr, nullptr,
                           instance(), nullptr);
}

void GuiTest::AddRows(HWND list, int count) {
    for (int i = 0; i < count; ++i) {
        LVITEMW item{};
        item.mask = LVIF_TEXT;
        item.iItem = ListView_GetItemCount(list);
        item.pszText = const_cast<LPWSTR>(u"row");
        ListView_InsertItem(list, &item);
    }
}

HWND GuiTest::MakeList(HWND parent, DWORD style) {
    HWND list =
        CreateWindowExW(0, WC_LISTVIEWW, u"", WS_CHILD | WS_VISIBLE | LVS_REPORT | style, 0, 0, 240,
                        200, parent, reinterpret_cast<HMENU>(10001), instance(), nullptr);
    const char16_t* names[] = {u"Name", u"Size", u"Modified"};
    for (int i = 0; i < 3; ++i) {
        LVCOLUMNW column{};
        column.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_FMT;
        column.cx = 80;
        column.pszText = const_cast<LPWSTR>(names[i]);
        ListView_InsertColumn(list, i, &column);
    }
    return list;
}

}  // namespace gui_test
