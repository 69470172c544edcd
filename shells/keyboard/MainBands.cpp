#include "shells/keyboard/MainBands.h"

#include <array>
#include <optional>
#include <string>
#include <vector>

#include "appcore/Application.h"
#include "appcore/Settings.h"
#include "platform/core/ErrorCodes.h"
#include "platform/gui/Gdi.h"
#include "platform/gui/Resources.h"
#include "platform/registry/UniqueKey.h"
#include "resources/ControlIds.h"
#include "resources/DialogIds.h"
#include "resources/EditorIds.h"
#include "resources/KeyboardIds.h"

namespace shells {

using namespace ce;
using namespace res;

namespace {

// Images 0-12 are the program's toolbar strip; the platform's standard
// small images follow from 13 and its small view images from 28.
constexpr int kProgramImages = 13;
constexpr int kStandardBase = kProgramImages;
constexpr int kViewBase = kStandardBase + 15;

constexpr ToolbarEntry kSeparator{0, 0, 0};

constexpr ToolbarEntry kMainToolbar[] = {
    kSeparator,
    {kStandardBase + STD_DELETE, IDM_DELETE, IDS_TIP_DELETE_DATABASE},
    {3, IDM_COPY, IDS_TIP_COPY_DATABASE},
    {kStandardBase + STD_PROPERTIES, IDM_PROPERTIES, IDS_TIP_PROPERTIES_ENTER},
    kSeparator,
    {5, IDM_SEND, IDS_TIP_SEND_DATABASE},
    {6, IDM_RECEIVE, IDS_TIP_RECEIVE_DATABASE},
    kSeparator,
    {kViewBase + VIEW_DETAILS, IDM_VIEW_DETAILS, IDS_TIP_DETAILS},
    {kViewBase + VIEW_LIST, IDM_VIEW_LIST, IDS_TIP_LIST},
    {kViewBase + VIEW_SMALLICONS, IDM_VIEW_SMALL_ICONS, IDS_TIP_SMALL_ICONS},
    {kViewBase + VIEW_LARGEICONS, IDM_KEYBOARD_LARGE_ICONS, IDS_TIP_LARGE_ICONS},
    kSeparator,
    {0, IDM_BACKUP, IDS_TIP_BACKUP_DATABASES},
    {4, IDM_KEYBOARD_AUTOBACKUP, IDS_TIP_AUTOBACKUP_SCRIPT},
    {1, IDM_RESTORE, IDS_TIP_RESTORE_DATABASES},
    kSeparator,
    {2, IDM_EXPORT, IDS_TIP_EXPORT_DATABASE},
    kSeparator,
};

constexpr ToolbarEntry kEditorToolbar[] = {
    kSeparator,
    {7, IDM_RECORD_FIRST, IDS_TIP_FIRST_RECORD},
    {8, IDM_RECORD_PREVIOUS, IDS_TIP_PREVIOUS_RECORD},
    {9, IDM_RECORD_NEXT, IDS_TIP_NEXT_RECORD},
    {10, IDM_RECORD_LAST, IDS_TIP_LAST_RECORD},
    kSeparator,
    {11, IDM_FIND, IDS_TIP_FIND_TEXT},
    {12, IDM_FIND_NEXT, IDS_TIP_FIND_NEXT},
};

constexpr const WCHAR* kBandValues[] = {u"MainBar1", u"MainBar2"};
constexpr UINT kBandIds[] = {IDC_MENU_BAND, IDC_TOOLBAR_BAND};
constexpr int kToolbarBandWidth = 60;
// A tip is at most this long; a longer string-table entry is cut.
constexpr int kTipLength = 40;

struct MainBandsState {
    HWND strip = nullptr;
    HIMAGELIST images = nullptr;
};

MainBandsState& State() {
    static MainBandsState state;
    return state;
}

std::vector<std::u16string> LoadTips(std::span<const ToolbarEntry> entries, int leading) {
    std::vector<std::u16string> tips(static_cast<std::size_t>(leading));
    HINSTANCE instance = appcore::App().instance;
    for (const ToolbarEntry& entry : entries) {
        if (entry.command == 0)
            continue;
        WCHAR text[kTipLength + 1] = {};
        int length = LoadStringW(instance, entry.tip, text, kTipLength + 1);
        tips.emplace_back(text, static_cast<std::size_t>(std::max(length, 0)));
    }
    return tips;
}

void PlaceListBelow(HWND mainWindow) {
    MainBandsState& state = State();
    appcore::App().topOffset = static_cast<LONG>(SendMessageW(state.strip, RB_GETBARHEIGHT, 0, 0));
    RECT client{};
    GetClientRect(mainWindow, &client);
    SendMessageW(mainWindow, WM_SIZE, SIZE_RESTORED, MAKELPARAM(client.right, client.bottom));
}

void SetBandWidth(HWND strip, UINT id, int width) {
    auto index = SendMessageW(strip, RB_IDTOINDEX, id, 0);
    if (index < 0)
        return;
    REBARBANDINFOW band{};
    band.cbSize = sizeof band;
    band.fMask = RBBIM_SIZE;
    band.cx = static_cast<UINT>(std::max(width, 0));
    SendMessageW(strip, RB_SETBANDINFOW, static_cast<WPARAM>(index),
                 reinterpret_cast<LPARAM>(&band));
}

// The value's bytes when it is a binary value of exactly one band record.
std::optional<std::vector<BYTE>> ReadStoredRecord(HKEY key, const WCHAR* name) {
    std::vector<BYTE> bytes(kBandRecordSize + 1);
    DWORD type = 0;
    DWORD size = static_cast<DWORD>(bytes.size());
    if (RegQueryValueExW(key, name, nullptr, &type, bytes.data(), &size) != ERROR_SUCCESS ||
        type != REG_BINARY || size != kBandRecordSize)
        return std::nullopt;
    bytes.resize(size);
    return bytes;
}

}  // namespace

std::span<const ToolbarEntry> MainToolbar() {
    return kMainToolbar;
}

std::span<const ToolbarEntry> EditorToolbar() {
    return kEditorToolbar;
}

bool AddToolbar(HWND bar, std::span<const ToolbarEntry> entries, int leading) {
    std::vector<TBBUTTON> buttons;
    for (const ToolbarEntry& entry : entries) {
        TBBUTTON button{};
        button.iBitmap = entry.image;
        button.idCommand = static_cast<int>(entry.command);
        button.fsState = TBSTATE_ENABLED;
        button.fsStyle = entry.command == 0 ? TBSTYLE_SEP : TBSTYLE_BUTTON;
        buttons.push_back(button);
    }
    if (!CommandBar_AddButtons(bar, static_cast<UINT>(buttons.size()), buttons.data()))
        return false;
    // The bar copies the texts, so they are released when this returns.
    std::vector<std::u16string> tips = LoadTips(entries, leading);
    std::vector<LPWSTR> pointers;
    for (std::u16string& tip : tips)
        pointers.push_back(tip.data());
    return CommandBar_AddToolTips(bar, static_cast<UINT>(pointers.size()), pointers.data()) !=
           FALSE;
}

bool ApplyStoredBand(HWND strip, UINT id, std::span<const BYTE> stored) {
    std::optional<REBARBANDINFOW> record = ReadBandRecord(stored);
    if (!record || record->wID != id || (record->fMask & RBBIM_SIZE) == 0)
        return false;
    auto index = SendMessageW(strip, RB_IDTOINDEX, id, 0);
    if (index < 0)
        return false;
    REBARBANDINFOW current{};
    current.cbSize = sizeof current;
    current.fMask = RBBIM_STYLE;
    SendMessageW(strip, RB_GETBANDINFOW, static_cast<WPARAM>(index),
                 reinterpret_cast<LPARAM>(&current));
    // Only the width and where the row breaks come from the record; the
    // band keeps its own look (gripper or none).
    REBARBANDINFOW band{};
    band.cbSize = sizeof band;
    band.fMask = RBBIM_SIZE;
    band.cx = record->cx;
    if ((record->fMask & RBBIM_STYLE) != 0) {
        band.fMask |= RBBIM_STYLE;
        band.fStyle = (current.fStyle & ~RBBS_BREAK) | (record->fStyle & RBBS_BREAK);
    }
    return SendMessageW(strip, RB_SETBANDINFOW, static_cast<WPARAM>(index),
                        reinterpret_cast<LPARAM>(&band)) != FALSE;
}

namespace {

// The bands in the order the two stored records name them; the default
// order unless both are sound and name the two bands the other way round.
std::array<UINT, 2> StoredBandOrder(const std::optional<std::vector<BYTE>>& first,
                                    const std::optional<std::vector<BYTE>>& second) {
    std::array<UINT, 2> order{kBandIds[0], kBandIds[1]};
    if (!first || !second)
        return order;
    std::optional<REBARBANDINFOW> a = ReadBandRecord(*first);
    std::optional<REBARBANDINFOW> b = ReadBandRecord(*second);
    if (a && b && a->wID == kBandIds[1] && b->wID == kBandIds[0])
        order = {kBandIds[1], kBandIds[0]};
    return order;
}

}  // namespace

HWND CreateMainBands(HWND mainWindow) {
    appcore::Application& application = appcore::App();
    HINSTANCE instance = application.instance;
    MainBandsState& state = State();
    INITCOMMONCONTROLSEX controls{
        sizeof(INITCOMMONCONTROLSEX),
        ICC_LISTVIEW_CLASSES | ICC_BAR_CLASSES | ICC_COOL_CLASSES | ICC_DATE_CLASSES};
    InitCommonControlsEx(&controls);
    state.images = ImageList_LoadImage(instance, MAKEINTRESOURCE(IDB_BAND_IMAGES), 14, 0,
                                       RGB(192, 192, 192), IMAGE_BITMAP, 0);
    state.strip = CommandBands_Create(instance, mainWindow, IDC_COMMAND_BANDS,
                                      RBS_VARHEIGHT | RBS_BANDBORDERS, state.images);
    if (state.strip == nullptr)
        return nullptr;

    REBARBANDINFOW bands[2]{};
    for (int i = 0; i < 2; ++i) {
        bands[i].cbSize = sizeof(REBARBANDINFOW);
        bands[i].fMask = RBBIM_ID | RBBIM_STYLE | RBBIM_IMAGE | RBBIM_SIZE;
        bands[i].wID = kBandIds[i];
        bands[i].iImage = i;
    }
    bands[0].fStyle = RBBS_NOGRIPPER;
    bands[1].cx = kToolbarBandWidth;
    if (!CommandBands_AddBands(state.strip, instance, 2, bands))
        return nullptr;

    HWND menuBar = CommandBands_GetCommandBar(state.strip, 0);
    HWND toolbar = CommandBands_GetCommandBar(state.strip, 1);
    if (!CommandBar_InsertMenubarEx(menuBar, instance, MAKEINTRESOURCE(IDR_MAIN_MENU), 0))
        return nullptr;

    HKEY key = 0;
    RegOpenKeyExW(HKEY_CURRENT_USER, appcore::kSettingsKey, 0, KEY_READ, &key);
    UniqueKey owner(key);
    std::optional<std::vector<BYTE>> stored[2];
    for (int i = 0; i < 2 && key != 0; ++i)
        stored[i] = ReadStoredRecord(key, kBandValues[i]);
    // "MainBar1" and "MainBar2" hold the first and second band as they were
    // left; when they name the two bands the other way round, the toolbar
    // band comes first.
    std::array<UINT, 2> order = StoredBandOrder(stored[0], stored[1]);
    if (order[0] != kBandIds[0])
        SendMessageW(state.strip, RB_MOVEBAND, 1, 0);
    int defaults[2] = {CommandBar_MenuBarWidth(menuBar) + 4, kToolbarBandWidth};
    for (int i = 0; i < 2; ++i) {
        bool applied = stored[i] && ApplyStoredBand(state.strip, order[i], *stored[i]);
        if (!applied)
            SetBandWidth(state.strip, order[i],
                         order[i] == kBandIds[0] ? defaults[0] : defaults[1]);
    }

    if (CommandBar_AddBitmap(toolbar, instance, static_cast<int>(IDB_TOOLBAR), kProgramImages, 16,
                             16) < 0 ||
        CommandBar_AddBitmap(toolbar, HINST_COMMCTRL, IDB_STD_SMALL_COLOR, 15, 16, 16) < 0 ||
        CommandBar_AddBitmap(toolbar, HINST_COMMCTRL, IDB_VIEW_SMALL_COLOR, 12, 16, 16) < 0)
        return nullptr;
    if (!AddToolbar(toolbar, kMainToolbar, 0))
        return nullptr;
    CommandBands_AddAdornments(state.strip, instance, 0, nullptr);
    PlaceListBelow(mainWindow);
    return menuBar;
}

bool OnBandsNotify(HWND mainWindow, const NMHDR& header) {
    MainBandsState& state = State();
    if (header.hwndFrom != state.strip || header.code != RBN_HEIGHTCHANGE)
        return false;
    PlaceListBelow(mainWindow);
    return true;
}

void SaveMainBands(HWND) {
    MainBandsState& state = State();
    if (state.strip != nullptr && IsWindow(state.strip)) {
        HKEY key = 0;
        DWORD disposition = 0;
        if (RegCreateKeyExW(HKEY_CURRENT_USER, appcore::kSettingsKey, 0, u"", 0, KEY_ALL_ACCESS,
                            nullptr, &key, &disposition) == ERROR_SUCCESS) {
            UniqueKey owner(key);
            for (int i = 0; i < 2; ++i) {
                REBARBANDINFOW band{};
                band.cbSize = sizeof band;
                band.fMask = RBBIM_STYLE | RBBIM_SIZE | RBBIM_ID;
                if (SendMessageW(state.strip, RB_GETBANDINFOW, static_cast<WPARAM>(i),
                                 reinterpret_cast<LPARAM>(&band)) == FALSE)
                    continue;
                std::array<BYTE, kBandRecordSize> image = BandRecordImage(band);
                RegSetValueExW(key, kBandValues[i], 0, REG_BINARY, image.data(),
                               static_cast<DWORD>(image.size()));
            }
        }
    }
    if (state.images != nullptr)
        ImageList_Destroy(state.images);
    state = MainBandsState{};
}

}  // namespace shells
