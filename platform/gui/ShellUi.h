#pragma once
// The palm-size shell's user-interface calls: full-screen dialogs with a
// Done button, the menu bar, tap-and-hold, and the settings-change and
// activation helpers.

#include "platform/gui/WinUser.h"

namespace ce {

// ---- Full-screen dialogs ---------------------------------------------------

inline constexpr DWORD SHIDIM_FLAGS = 0x0001;
inline constexpr DWORD SHIDIF_DONEBUTTON = 0x0001;
inline constexpr DWORD SHIDIF_SIZEDLG = 0x0002;
inline constexpr DWORD SHIDIF_SIZEDLGFULLSCREEN = 0x0004;
inline constexpr DWORD SHIDIF_SIPDOWN = 0x0008;
inline constexpr DWORD SHIDIF_FULLSCREENNOMENUBAR = 0x0010;

struct SHINITDLGINFO {
    DWORD dwMask;
    HWND hDlg;
    DWORD dwFlags;
};

// Sizes the dialog to the screen (less the menu bar) and, with
// SHIDIF_DONEBUTTON, gives it the Done button that sends IDOK.
BOOL SHInitDialog(SHINITDLGINFO* pshidi);
// Whether the window carries the Done button.
bool HasDoneButton(HWND hwnd);

// ---- Menu bar --------------------------------------------------------------

inline constexpr DWORD SHCMBF_EMPTYBAR = 0x0001;
inline constexpr DWORD SHCMBF_HIDDEN = 0x0002;
inline constexpr DWORD SHCMBF_HIDESIPBUTTON = 0x0004;
inline constexpr DWORD SHCMBF_HMENU = 0x0010;

struct SHMENUBARINFO {
    DWORD cbSize;
    HWND hwndParent;
    DWORD dwFlags;
    // The menu-bar resource (MenuBarResource); with SHCMBF_HMENU, a menu id.
    UINT nToolBarId;
    HINSTANCE hInstRes;
    // The bitmap of the bar's button images and how many it holds.
    int nBmpId;
    int cBmpImages;
    HWND hwndMB;  // out: the menu bar
};

// Creates the menu bar along the bottom of its parent: the parent's client
// area ends above it. Commands go to the parent as WM_COMMAND.
BOOL SHCreateMenuBar(SHMENUBARINFO* pmbi);
HWND SHFindMenuBar(HWND hwnd);

inline constexpr UINT TB_ENABLEBUTTON = WM_USER + 1;
inline constexpr UINT TB_CHECKBUTTON = WM_USER + 2;
inline constexpr UINT TB_ISBUTTONENABLED = WM_USER + 9;
inline constexpr UINT TB_ISBUTTONCHECKED = WM_USER + 10;
// wParam: an item's position on the bar (menus first, then buttons); lParam: RECT* in the bar's
// client coordinates.
inline constexpr UINT TB_GETITEMRECT = WM_USER + 29;
inline constexpr UINT SHCMBM_GETMENU = WM_USER + 402;
inline constexpr UINT SHCMBM_GETSUBMENU = WM_USER + 401;
// The class of the menu bar window.
inline constexpr const WCHAR* kMenuBarClass = u"menu_worker";

// ---- Tap and hold ----------------------------------------------------------

inline constexpr DWORD SHRG_RETURNCMD = 0x0001;
inline constexpr DWORD SHRG_NOTIFYPARENT = 0x0002;
inline constexpr DWORD SHRG_LONGDELAY = 0x0008;
inline constexpr DWORD GN_CONTEXTMENU = 1000;

struct SHRGINFO {
    DWORD cbSize;
    HWND hwndClient;
    POINT ptDown;  // client coordinates of hwndClient
    DWORD dwFlags;
};

// Decides whether the pen that went down at ptDown is held (a press held
// about half a second, or the right button). With SHRG_RETURNCMD returns
// GN_CONTEXTMENU for a hold and 0 otherwise.
DWORD SHRecognizeGesture(SHRGINFO* shrg);

// ---- Settings and activation ------------------------------------------------

struct SHACTIVATEINFO {
    DWORD cbSize;
    HWND hwndLastFocus;
    UINT fSipUp : 1;
    UINT fSipOnDeactivation : 1;
    UINT fActive : 1;
    UINT fReserved : 29;
};

// Keeps a full-screen window sized to the screen.
BOOL SHHandleWMSettingChange(HWND hwnd, WPARAM wParam, LPARAM lParam, SHACTIVATEINFO* psai);
BOOL SHHandleWMActivate(HWND hwnd, WPARAM wParam, LPARAM lParam, SHACTIVATEINFO* psai,
                        DWORD dwFlags);

enum SIPSTATE { SIP_UP = 0, SIP_DOWN, SIP_FORCEDOWN, SIP_UNCHANGED, SIP_INPUTDIALOG };
// There is no input panel off the device.
BOOL SHSipPreference(HWND hwnd, SIPSTATE st);
BOOL SHInitExtraControls();

}  // namespace ce
