#pragma once
// The command-bar shell's controls: command bars (a menu bar, image buttons
// with tooltips, separators and the adornment buttons along the top of a
// window) and the command-band strip, whose bands each hold a command bar
// and can be moved and resized by dragging their grippers. Core draws both.

#include <array>
#include <optional>
#include <span>

#include "platform/gui/CommCtrl.h"
#include "platform/gui/ShellUi.h"

namespace ce {

inline constexpr const WCHAR* TOOLBARCLASSNAMEW = u"ToolbarWindow32";
inline constexpr const WCHAR* REBARCLASSNAMEW = u"ReBarWindow32";

// The module of the platform's own button images (IDB_STD_SMALL_COLOR,
// IDB_VIEW_SMALL_COLOR), for CommandBar_AddBitmap.
HINSTANCE CommonControlsModule();
#define HINST_COMMCTRL (::ce::CommonControlsModule())
inline constexpr int IDB_STD_SMALL_COLOR = 0;
inline constexpr int IDB_VIEW_SMALL_COLOR = 4;
// Positions in the standard and view image sets.
inline constexpr int STD_CUT = 0, STD_COPY = 1, STD_PASTE = 2, STD_UNDO = 3, STD_REDOW = 4,
                     STD_DELETE = 5, STD_FILENEW = 6, STD_FILEOPEN = 7, STD_FILESAVE = 8,
                     STD_PRINTPRE = 9, STD_PROPERTIES = 10, STD_HELP = 11, STD_FIND = 12,
                     STD_REPLACE = 13, STD_PRINT = 14;
inline constexpr int VIEW_LARGEICONS = 0, VIEW_SMALLICONS = 1, VIEW_LIST = 2, VIEW_DETAILS = 3,
                     VIEW_SORTNAME = 4, VIEW_SORTSIZE = 5, VIEW_SORTDATE = 6, VIEW_SORTTYPE = 7,
                     VIEW_PARENTFOLDER = 8, VIEW_NETCONNECT = 9, VIEW_NETDISCONNECT = 10,
                     VIEW_NEWFOLDER = 11;

// ---- Command bars ----------------------------------------------------------

inline constexpr BYTE TBSTATE_CHECKED = 0x01;
inline constexpr BYTE TBSTATE_ENABLED = 0x04;
inline constexpr BYTE TBSTYLE_BUTTON = 0x00;
inline constexpr BYTE TBSTYLE_SEP = 0x01;
inline constexpr BYTE TBSTYLE_CHECK = 0x02;

struct TBBUTTON {
    int iBitmap;  // position among the images the bar was given (CommandBar_AddBitmap)
    int idCommand;
    BYTE fsState;
    BYTE fsStyle;
    std::uintptr_t dwData;
    std::intptr_t iString;
};

inline constexpr UINT TB_ADDBITMAP = WM_USER + 19;
inline constexpr UINT TB_GETBUTTON = WM_USER + 23;  // wParam: position; lParam: TBBUTTON*
inline constexpr UINT TB_BUTTONCOUNT = WM_USER + 24;
inline constexpr UINT TB_ADDBUTTONSW = WM_USER + 68;
inline constexpr UINT TB_SETTOOLTIPS = WM_USER + 81;
// The adornment buttons at a bar's right end: close always, help and OK on request.
inline constexpr DWORD CMDBAR_HELP = 0x0001;
inline constexpr DWORD CMDBAR_OK = 0x0002;

// A command bar along the top of `parent`'s client area; commands go to the
// parent as WM_COMMAND. The parent lays its own controls out below it
// (CommandBar_Height).
HWND CommandBar_Create(HINSTANCE hInst, HWND hwndParent, int idCmdBar);
// Puts the popups of menu `pszMenu` on the bar as a menu bar, before the
// item at position `iButton`. The bar owns the menu.
BOOL CommandBar_InsertMenubarEx(HWND hwndCB, HINSTANCE hInst, LPCWSTR pszMenu, WORD iButton);
// Adds `iNumImages` images of `iImageWidth` by `iImageHeight` pixels from a
// bitmap resource; returns the position the first one takes, or -1.
int CommandBar_AddBitmap(HWND hwndCB, HINSTANCE hInst, int idBitmap, int iNumImages,
                         int iImageWidth, int iImageHeight);
BOOL CommandBar_AddButtons(HWND hwndCB, UINT uNumButtons, const TBBUTTON* lpButtons);
// The tips of the bar's items that are not separators, in order (a menu bar
// takes the first place); an empty text gives an item no tip. The bar keeps
// the pointers: the texts must outlive it.
BOOL CommandBar_AddToolTips(HWND hwndCB, UINT uNumToolTips, const LPWSTR* lpToolTips);
BOOL CommandBar_AddAdornments(HWND hwndCB, DWORD dwFlags, DWORD dwReserved);
// Shows the menu bar again after its menu changed.
BOOL CommandBar_DrawMenuBar(HWND hwndCB, WORD iButton);
HMENU CommandBar_GetMenu(HWND hwndCB, WORD iButton);
int CommandBar_Height(HWND hwndCB);
// The width of the bar's menu bar (0 when it has none).
int CommandBar_MenuBarWidth(HWND hwndCB);

// ---- The command-band strip --------------------------------------------------

inline constexpr UINT RBBIM_STYLE = 0x0001;
inline constexpr UINT RBBIM_COLORS = 0x0002;
inline constexpr UINT RBBIM_TEXT = 0x0004;
inline constexpr UINT RBBIM_IMAGE = 0x0008;
inline constexpr UINT RBBIM_CHILD = 0x0010;
inline constexpr UINT RBBIM_CHILDSIZE = 0x0020;
inline constexpr UINT RBBIM_SIZE = 0x0040;
inline constexpr UINT RBBIM_BACKGROUND = 0x0080;
inline constexpr UINT RBBIM_ID = 0x0100;
inline constexpr UINT RBBIM_IDEALSIZE = 0x0200;
inline constexpr UINT RBBIM_LPARAM = 0x0400;
inline constexpr UINT kKnownBandMask = 0x07FF;

inline constexpr UINT RBBS_BREAK = 0x0001;
inline constexpr UINT RBBS_FIXEDSIZE = 0x0002;
inline constexpr UINT RBBS_CHILDEDGE = 0x0004;
inline constexpr UINT RBBS_HIDDEN = 0x0008;
inline constexpr UINT RBBS_NOVERT = 0x0010;
inline constexpr UINT RBBS_FIXEDBMP = 0x0020;
inline constexpr UINT RBBS_VARIABLEHEIGHT = 0x0040;
inline constexpr UINT RBBS_GRIPPERALWAYS = 0x0080;
inline constexpr UINT RBBS_NOGRIPPER = 0x0100;
inline constexpr UINT kKnownBandStyles = 0x01FF;

inline constexpr DWORD RBS_VARHEIGHT = 0x0200;
inline constexpr DWORD RBS_BANDBORDERS = 0x0400;
inline constexpr DWORD RBS_SMARTLABELS = 0x0001;

struct REBARBANDINFOW {
    UINT cbSize;
    UINT fMask;
    UINT fStyle;
    COLORREF clrFore;
    COLORREF clrBack;
    LPWSTR lpText;
    UINT cch;
    int iImage;
    HWND hwndChild;
    UINT cxMinChild;
    UINT cyMinChild;
    UINT cx;
    HBITMAP hbmBack;
    UINT wID;
    UINT cyChild;
    UINT cyMaxChild;
    UINT cyIntegral;
    UINT cxIdeal;
    LPARAM lParam;
};

// The band record as the device keeps it: nineteen 32-bit fields, 76 bytes,
// little-endian. Pointers and handles mean nothing outside the process that
// wrote them and are written as 0.
inline constexpr std::size_t kBandRecordSize = 76;
std::array<BYTE, kBandRecordSize> BandRecordImage(const REBARBANDINFOW& band);
// The band record of a stored image; nothing for an image of another size,
// one whose cbSize is not 76, or one with mask or style bits no band has.
std::optional<REBARBANDINFOW> ReadBandRecord(std::span<const BYTE> image);

inline constexpr UINT RB_INSERTBANDW = WM_USER + 10;
inline constexpr UINT RB_SETBANDINFOW = WM_USER + 11;  // wParam: position
inline constexpr UINT RB_GETBANDCOUNT = WM_USER + 12;
inline constexpr UINT RB_IDTOINDEX = WM_USER + 16;
inline constexpr UINT RB_GETBARHEIGHT = WM_USER + 27;
inline constexpr UINT RB_GETBANDINFOW = WM_USER + 28;  // wParam: position
inline constexpr UINT RB_MOVEBAND = WM_USER + 39;      // wParam: from; lParam: to
inline constexpr UINT RB_GETRECT = WM_USER + 9;        // wParam: position; lParam: RECT*
inline constexpr UINT RBN_FIRST = 0U - 831U;
inline constexpr UINT RBN_HEIGHTCHANGE = RBN_FIRST - 0;

// The strip across the top of `hwndParent`, with the image list that band
// images (RBBIM_IMAGE) are drawn from. It tells its parent RBN_HEIGHTCHANGE
// when dragging its bands changes its height.
HWND CommandBands_Create(HINSTANCE hinst, HWND hwndParent, UINT wID, DWORD dwStyles,
                         HIMAGELIST himl);
// Adds bands; each gets a command bar of its own as its child (unless the
// record names one).
BOOL CommandBands_AddBands(HWND hwndCmdBands, HINSTANCE hinst, UINT cBands, REBARBANDINFOW* prbbi);
HWND CommandBands_GetCommandBar(HWND hwndCmdBands, UINT uBand);
// The adornment buttons at the strip's right end.
BOOL CommandBands_AddAdornments(HWND hwndCmdBands, HINSTANCE hinst, DWORD dwFlags,
                                REBARBANDINFOW* prbbi);

}  // namespace ce
