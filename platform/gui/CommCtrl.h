#pragma once
// The common controls: list view, header, progress bar and image lists, with
// the platform's class names, messages, notifications and structures.

#include "platform/gui/WinUser.h"

namespace ce {

inline constexpr const WCHAR* WC_LISTVIEWW = u"SysListView32";
inline constexpr const WCHAR* WC_HEADERW = u"SysHeader32";
inline constexpr const WCHAR* PROGRESS_CLASSW = u"msctls_progress32";

struct INITCOMMONCONTROLSEX {
    DWORD dwSize;
    DWORD dwICC;
};
inline constexpr DWORD ICC_LISTVIEW_CLASSES = 0x00000001;
inline constexpr DWORD ICC_TREEVIEW_CLASSES = 0x00000002;
inline constexpr DWORD ICC_BAR_CLASSES = 0x00000004;
inline constexpr DWORD ICC_TAB_CLASSES = 0x00000008;
inline constexpr DWORD ICC_UPDOWN_CLASS = 0x00000010;
inline constexpr DWORD ICC_PROGRESS_CLASS = 0x00000020;
inline constexpr DWORD ICC_DATE_CLASSES = 0x00000100;
inline constexpr DWORD ICC_COOL_CLASSES = 0x00000400;
// The built-in classes always exist; this only checks the structure.
BOOL InitCommonControlsEx(const INITCOMMONCONTROLSEX* lpInitCtrls);

// ---- Notifications ---------------------------------------------------------

struct NMHDR {
    HWND hwndFrom;
    std::uintptr_t idFrom;
    UINT code;
};

inline constexpr UINT NM_FIRST = 0;
inline constexpr UINT NM_CLICK = NM_FIRST - 2;
inline constexpr UINT NM_DBLCLK = NM_FIRST - 3;
inline constexpr UINT NM_RETURN = NM_FIRST - 4;
inline constexpr UINT NM_RCLICK = NM_FIRST - 5;
inline constexpr UINT NM_SETFOCUS = NM_FIRST - 7;
inline constexpr UINT NM_KILLFOCUS = NM_FIRST - 8;

// ---- Image lists -----------------------------------------------------------

inline constexpr UINT ILC_MASK = 0x0001;
inline constexpr UINT ILC_COLOR = 0x0000;
inline constexpr UINT ILD_NORMAL = 0x0000;
inline constexpr UINT ILD_TRANSPARENT = 0x0001;
inline constexpr UINT ILD_SELECTED = 0x0004;
inline constexpr UINT IMAGE_BITMAP = 0;
inline constexpr UINT LR_DEFAULTCOLOR = 0x0000;
inline constexpr UINT LR_CREATEDIBSECTION = 0x2000;

// Cuts bitmap resource `lpbmp` into images `cx` pixels wide; pixels of
// `crMask` are transparent (CLR_NONE: none).
HIMAGELIST ImageList_LoadImage(HINSTANCE hi, LPCWSTR lpbmp, int cx, int cGrow, COLORREF crMask,
                               UINT uType, UINT uFlags);
HIMAGELIST ImageList_Create(int cx, int cy, UINT flags, int cInitial, int cGrow);
// Adds the images of a bitmap (as many as its width holds); returns the first index or -1.
int ImageList_AddMasked(HIMAGELIST himl, HBITMAP hbmImage, COLORREF crMask);
BOOL ImageList_Draw(HIMAGELIST himl, int i, HDC hdcDst, int x, int y, UINT fStyle);
int ImageList_GetImageCount(HIMAGELIST himl);
BOOL ImageList_GetIconSize(HIMAGELIST himl, int* cx, int* cy);
BOOL ImageList_Destroy(HIMAGELIST himl);

// ---- Header ----------------------------------------------------------------

inline constexpr UINT HDI_WIDTH = 0x0001;
inline constexpr UINT HDI_HEIGHT = HDI_WIDTH;
inline constexpr UINT HDI_TEXT = 0x0002;
inline constexpr UINT HDI_FORMAT = 0x0004;
inline constexpr UINT HDI_LPARAM = 0x0008;
inline constexpr UINT HDI_IMAGE = 0x0020;
inline constexpr UINT HDI_ORDER = 0x0080;

inline constexpr int HDF_LEFT = 0x0000;
inline constexpr int HDF_RIGHT = 0x0001;
inline constexpr int HDF_CENTER = 0x0002;
inline constexpr int HDF_JUSTIFYMASK = 0x0003;
inline constexpr int HDF_IMAGE = 0x0800;
inline constexpr int HDF_OWNERDRAW = 0x8000;
inline constexpr int HDF_STRING = 0x4000;

struct HDITEMW {
    UINT mask;
    int cxy;
    LPWSTR pszText;
    HBITMAP hbm;
    int cchTextMax;
    int fmt;
    LPARAM lParam;
    int iImage;
    int iOrder;
};

inline constexpr UINT HDM_FIRST = 0x1200;
inline constexpr UINT HDM_GETITEMCOUNT = HDM_FIRST + 0;
inline constexpr UINT HDM_DELETEITEM = HDM_FIRST + 2;
inline constexpr UINT HDM_GETITEMRECT = HDM_FIRST + 7;
inline constexpr UINT HDM_SETIMAGELIST = HDM_FIRST + 8;
inline constexpr UINT HDM_GETIMAGELIST = HDM_FIRST + 9;
inline constexpr UINT HDM_INSERTITEMW = HDM_FIRST + 10;
inline constexpr UINT HDM_GETITEMW = HDM_FIRST + 11;
inline constexpr UINT HDM_SETITEMW = HDM_FIRST + 12;

inline constexpr UINT HDN_FIRST = 0U - 300U;
inline constexpr UINT HDN_ITEMCLICKW = HDN_FIRST - 22;
inline constexpr UINT HDN_ENDTRACKW = HDN_FIRST - 27;

struct NMHEADERW {
    NMHDR hdr;
    int iItem;
    int iButton;
    HDITEMW* pitem;
};

// ---- List view -------------------------------------------------------------

inline constexpr DWORD LVS_ICON = 0x0000;
inline constexpr DWORD LVS_REPORT = 0x0001;
inline constexpr DWORD LVS_SMALLICON = 0x0002;
inline constexpr DWORD LVS_LIST = 0x0003;
inline constexpr DWORD LVS_TYPEMASK = 0x0003;
inline constexpr DWORD LVS_SINGLESEL = 0x0004;
inline constexpr DWORD LVS_SHOWSELALWAYS = 0x0008;
inline constexpr DWORD LVS_SORTASCENDING = 0x0010;
inline constexpr DWORD LVS_SORTDESCENDING = 0x0020;
inline constexpr DWORD LVS_SHAREIMAGELISTS = 0x0040;
inline constexpr DWORD LVS_NOLABELWRAP = 0x0080;
inline constexpr DWORD LVS_AUTOARRANGE = 0x0100;
inline constexpr DWORD LVS_EDITLABELS = 0x0200;
inline constexpr DWORD LVS_NOSCROLL = 0x2000;
inline constexpr DWORD LVS_NOCOLUMNHEADER = 0x4000;
inline constexpr DWORD LVS_NOSORTHEADER = 0x8000;

inline constexpr DWORD LVS_EX_GRIDLINES = 0x00000001;
inline constexpr DWORD LVS_EX_FULLROWSELECT = 0x00000020;
// A check box before each item: state image 1 unchecked, 2 checked. A tap
// on the box or the space bar toggles it (LVN_ITEMCHANGED tells the parent).
inline constexpr DWORD LVS_EX_CHECKBOXES = 0x00000004;

inline constexpr UINT LVIF_TEXT = 0x0001;
inline constexpr UINT LVIF_IMAGE = 0x0002;
inline constexpr UINT LVIF_PARAM = 0x0004;
inline constexpr UINT LVIF_STATE = 0x0008;

inline constexpr UINT LVIS_FOCUSED = 0x0001;
inline constexpr UINT LVIS_SELECTED = 0x0002;
inline constexpr UINT LVIS_CUT = 0x0004;
inline constexpr UINT LVIS_DROPHILITED = 0x0008;

inline constexpr UINT LVNI_ALL = 0x0000;
inline constexpr UINT LVNI_FOCUSED = 0x0001;
inline constexpr UINT LVNI_SELECTED = 0x0002;

inline constexpr int LVSIL_NORMAL = 0;
inline constexpr int LVSIL_SMALL = 1;
inline constexpr int LVSIL_STATE = 2;

inline constexpr int LVIR_BOUNDS = 0;
inline constexpr int LVIR_ICON = 1;
inline constexpr int LVIR_LABEL = 2;
inline constexpr int LVIR_SELECTBOUNDS = 3;

inline constexpr UINT LVHT_NOWHERE = 0x0001;
inline constexpr UINT LVHT_ONITEMICON = 0x0002;
inline constexpr UINT LVHT_ONITEMLABEL = 0x0004;
inline constexpr UINT LVHT_ONITEMSTATEICON = 0x0008;
inline constexpr UINT LVHT_ONITEM = LVHT_ONITEMICON | LVHT_ONITEMLABEL | LVHT_ONITEMSTATEICON;

inline constexpr UINT LVFI_PARAM = 0x0001;
inline constexpr UINT LVFI_STRING = 0x0002;
inline constexpr UINT LVFI_PARTIAL = 0x0008;
inline constexpr UINT LVFI_WRAP = 0x0020;

inline constexpr UINT LVCF_FMT = 0x0001;
inline constexpr UINT LVCF_WIDTH = 0x0002;
inline constexpr UINT LVCF_TEXT = 0x0004;
inline constexpr UINT LVCF_SUBITEM = 0x0008;
inline constexpr UINT LVCF_IMAGE = 0x0010;
inline constexpr int LVCFMT_LEFT = 0x0000;
inline constexpr int LVCFMT_RIGHT = 0x0001;
inline constexpr int LVCFMT_CENTER = 0x0002;
inline constexpr int LVCFMT_JUSTIFYMASK = 0x0003;

inline constexpr int LVSCW_AUTOSIZE = -1;
inline constexpr int LVSCW_AUTOSIZE_USEHEADER = -2;

struct LVITEMW {
    UINT mask;
    int iItem;
    int iSubItem;
    UINT state;
    UINT stateMask;
    LPWSTR pszText;
    int cchTextMax;
    int iImage;
    LPARAM lParam;
    int iIndent;
};

struct LVCOLUMNW {
    UINT mask;
    int fmt;
    int cx;
    LPWSTR pszText;
    int cchTextMax;
    int iSubItem;
    int iImage;
    int iOrder;
};

struct LVFINDINFOW {
    UINT flags;
    LPCWSTR psz;
    LPARAM lParam;
    POINT pt;
    UINT vkDirection;
};

struct LVHITTESTINFO {
    POINT pt;
    UINT flags;
    int iItem;
    int iSubItem;
};

// Sort callback: the two items' lParams and the caller's parameter.
using PFNLVCOMPARE = int (*)(LPARAM, LPARAM, LPARAM);

inline constexpr UINT LVM_FIRST = 0x1000;
inline constexpr UINT LVM_SETIMAGELIST = LVM_FIRST + 3;
inline constexpr UINT LVM_GETIMAGELIST = LVM_FIRST + 2;
inline constexpr UINT LVM_GETITEMCOUNT = LVM_FIRST + 4;
inline constexpr UINT LVM_DELETEITEM = LVM_FIRST + 8;
inline constexpr UINT LVM_DELETEALLITEMS = LVM_FIRST + 9;
inline constexpr UINT LVM_GETNEXTITEM = LVM_FIRST + 12;
inline constexpr UINT LVM_GETITEMRECT = LVM_FIRST + 14;
inline constexpr UINT LVM_GETITEMPOSITION = LVM_FIRST + 16;
inline constexpr UINT LVM_HITTEST = LVM_FIRST + 18;
inline constexpr UINT LVM_ENSUREVISIBLE = LVM_FIRST + 19;
inline constexpr UINT LVM_SCROLL = LVM_FIRST + 20;
inline constexpr UINT LVM_REDRAWITEMS = LVM_FIRST + 21;
inline constexpr UINT LVM_ARRANGE = LVM_FIRST + 22;
inline constexpr UINT LVM_GETEDITCONTROL = LVM_FIRST + 24;
inline constexpr UINT LVM_DELETECOLUMN = LVM_FIRST + 28;
inline constexpr UINT LVM_GETCOLUMNWIDTH = LVM_FIRST + 29;
inline constexpr UINT LVM_SETCOLUMNWIDTH = LVM_FIRST + 30;
inline constexpr UINT LVM_GETHEADER = LVM_FIRST + 31;
inline constexpr UINT LVM_GETTOPINDEX = LVM_FIRST + 39;
inline constexpr UINT LVM_GETCOUNTPERPAGE = LVM_FIRST + 40;
inline constexpr UINT LVM_UPDATE = LVM_FIRST + 42;
inline constexpr UINT LVM_SETITEMSTATE = LVM_FIRST + 43;
inline constexpr UINT LVM_GETITEMSTATE = LVM_FIRST + 44;
inline constexpr UINT LVM_SORTITEMS = LVM_FIRST + 48;
inline constexpr UINT LVM_GETSELECTEDCOUNT = LVM_FIRST + 50;
inline constexpr UINT LVM_SETEXTENDEDLISTVIEWSTYLE = LVM_FIRST + 54;
inline constexpr UINT LVM_GETEXTENDEDLISTVIEWSTYLE = LVM_FIRST + 55;
inline constexpr UINT LVM_SUBITEMHITTEST = LVM_FIRST + 57;
inline constexpr UINT LVM_GETITEMW = LVM_FIRST + 75;
inline constexpr UINT LVM_SETITEMW = LVM_FIRST + 76;
inline constexpr UINT LVM_INSERTITEMW = LVM_FIRST + 77;
inline constexpr UINT LVM_FINDITEMW = LVM_FIRST + 83;
inline constexpr UINT LVM_GETSTRINGWIDTHW = LVM_FIRST + 87;
inline constexpr UINT LVM_GETCOLUMNW = LVM_FIRST + 95;
inline constexpr UINT LVM_SETCOLUMNW = LVM_FIRST + 96;
inline constexpr UINT LVM_INSERTCOLUMNW = LVM_FIRST + 97;
inline constexpr UINT LVM_GETITEMTEXTW = LVM_FIRST + 115;
inline constexpr UINT LVM_SETITEMTEXTW = LVM_FIRST + 116;
inline constexpr UINT LVM_EDITLABELW = LVM_FIRST + 118;

inline constexpr UINT LVN_FIRST = 0U - 100U;
inline constexpr UINT LVN_ITEMCHANGING = LVN_FIRST - 0;
inline constexpr UINT LVN_ITEMCHANGED = LVN_FIRST - 1;
inline constexpr UINT LVN_INSERTITEM = LVN_FIRST - 2;
inline constexpr UINT LVN_DELETEITEM = LVN_FIRST - 3;
inline constexpr UINT LVN_DELETEALLITEMS = LVN_FIRST - 4;
inline constexpr UINT LVN_COLUMNCLICK = LVN_FIRST - 8;
inline constexpr UINT LVN_KEYDOWN = LVN_FIRST - 55;
inline constexpr UINT LVN_BEGINLABELEDITW = LVN_FIRST - 75;
inline constexpr UINT LVN_ENDLABELEDITW = LVN_FIRST - 76;

struct NMLISTVIEW {
    NMHDR hdr;
    int iItem;
    int iSubItem;
    UINT uNewState;
    UINT uOldState;
    UINT uChanged;
    POINT ptAction;
    LPARAM lParam;
};

// LVN_BEGINLABELEDIT / LVN_ENDLABELEDIT: item.pszText is the new text, or
// nullptr when editing was cancelled.
struct NMLVDISPINFOW {
    NMHDR hdr;
    LVITEMW item;
};

struct NMLVKEYDOWN {
    NMHDR hdr;
    WORD wVKey;
    UINT flags;
};

// ---- Progress bar ----------------------------------------------------------

inline constexpr UINT PBM_SETRANGE = WM_USER + 1;
inline constexpr UINT PBM_SETPOS = WM_USER + 2;
inline constexpr UINT PBM_DELTAPOS = WM_USER + 3;
inline constexpr UINT PBM_SETSTEP = WM_USER + 4;
inline constexpr UINT PBM_STEPIT = WM_USER + 5;
inline constexpr UINT PBM_SETRANGE32 = WM_USER + 6;
inline constexpr UINT PBM_GETRANGE = WM_USER + 7;
inline constexpr UINT PBM_GETPOS = WM_USER + 8;

// ---- Helpers with the platform's macro names -------------------------------

inline int ListView_InsertItem(HWND hwnd, const LVITEMW* item) {
    return static_cast<int>(SendMessageW(hwnd, LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(item)));
}
inline BOOL ListView_SetItem(HWND hwnd, const LVITEMW* item) {
    return static_cast<BOOL>(SendMessageW(hwnd, LVM_SETITEMW, 0, reinterpret_cast<LPARAM>(item)));
}
inline BOOL ListView_GetItem(HWND hwnd, LVITEMW* item) {
    return static_cast<BOOL>(SendMessageW(hwnd, LVM_GETITEMW, 0, reinterpret_cast<LPARAM>(item)));
}
void ListView_SetItemText(HWND hwnd, int i, int iSubItem, LPCWSTR text);
void ListView_GetItemText(HWND hwnd, int i, int iSubItem, LPWSTR text, int cchTextMax);
inline BOOL ListView_DeleteItem(HWND hwnd, int i) {
    return static_cast<BOOL>(SendMessageW(hwnd, LVM_DELETEITEM, static_cast<WPARAM>(i), 0));
}
inline BOOL ListView_DeleteAllItems(HWND hwnd) {
    return static_cast<BOOL>(SendMessageW(hwnd, LVM_DELETEALLITEMS, 0, 0));
}
inline int ListView_GetItemCount(HWND hwnd) {
    return static_cast<int>(SendMessageW(hwnd, LVM_GETITEMCOUNT, 0, 0));
}
inline int ListView_GetNextItem(HWND hwnd, int start, UINT flags) {
    return static_cast<int>(
        SendMessageW(hwnd, LVM_GETNEXTITEM, static_cast<WPARAM>(start), MAKELPARAM(flags, 0)));
}
inline int ListView_GetSelectedCount(HWND hwnd) {
    return static_cast<int>(SendMessageW(hwnd, LVM_GETSELECTEDCOUNT, 0, 0));
}
void ListView_SetItemState(HWND hwnd, int i, UINT state, UINT mask);
inline constexpr UINT LVIS_STATEIMAGEMASK = 0xF000;
inline constexpr UINT INDEXTOSTATEIMAGEMASK(UINT i) {
    return i << 12;
}
inline UINT ListView_GetItemState(HWND hwnd, int i, UINT mask);
inline void ListView_SetCheckState(HWND hwnd, int i, bool check) {
    ListView_SetItemState(hwnd, i, INDEXTOSTATEIMAGEMASK(check ? 2 : 1), LVIS_STATEIMAGEMASK);
}
inline BOOL ListView_GetCheckState(HWND hwnd, int i) {
    return (ListView_GetItemState(hwnd, i, LVIS_STATEIMAGEMASK) >> 12) == 2 ? TRUE : FALSE;
}
inline UINT ListView_GetItemState(HWND hwnd, int i, UINT mask) {
    return static_cast<UINT>(SendMessageW(hwnd, LVM_GETITEMSTATE, static_cast<WPARAM>(i), mask));
}
inline int ListView_FindItem(HWND hwnd, int start, const LVFINDINFOW* info) {
    return static_cast<int>(SendMessageW(hwnd, LVM_FINDITEMW, static_cast<WPARAM>(start),
                                         reinterpret_cast<LPARAM>(info)));
}
inline BOOL ListView_SortItems(HWND hwnd, PFNLVCOMPARE compare, LPARAM parameter) {
    return static_cast<BOOL>(SendMessageW(hwnd, LVM_SORTITEMS, static_cast<WPARAM>(parameter),
                                          reinterpret_cast<LPARAM>(compare)));
}
inline int ListView_InsertColumn(HWND hwnd, int i, const LVCOLUMNW* column) {
    return static_cast<int>(SendMessageW(hwnd, LVM_INSERTCOLUMNW, static_cast<WPARAM>(i),
                                         reinterpret_cast<LPARAM>(column)));
}
inline BOOL ListView_SetColumnWidth(HWND hwnd, int i, int cx) {
    return static_cast<BOOL>(
        SendMessageW(hwnd, LVM_SETCOLUMNWIDTH, static_cast<WPARAM>(i), MAKELPARAM(cx, 0)));
}
inline int ListView_GetColumnWidth(HWND hwnd, int i) {
    return static_cast<int>(SendMessageW(hwnd, LVM_GETCOLUMNWIDTH, static_cast<WPARAM>(i), 0));
}
inline HIMAGELIST ListView_SetImageList(HWND hwnd, HIMAGELIST list, int which) {
    return reinterpret_cast<HIMAGELIST>(SendMessageW(
        hwnd, LVM_SETIMAGELIST, static_cast<WPARAM>(which), reinterpret_cast<LPARAM>(list)));
}
inline HWND ListView_GetHeader(HWND hwnd) {
    return reinterpret_cast<HWND>(SendMessageW(hwnd, LVM_GETHEADER, 0, 0));
}
inline int ListView_HitTest(HWND hwnd, LVHITTESTINFO* info) {
    return static_cast<int>(SendMessageW(hwnd, LVM_HITTEST, 0, reinterpret_cast<LPARAM>(info)));
}
inline BOOL ListView_EnsureVisible(HWND hwnd, int i, BOOL partialOk) {
    return static_cast<BOOL>(
        SendMessageW(hwnd, LVM_ENSUREVISIBLE, static_cast<WPARAM>(i), MAKELPARAM(partialOk, 0)));
}
inline int ListView_GetTopIndex(HWND hwnd) {
    return static_cast<int>(SendMessageW(hwnd, LVM_GETTOPINDEX, 0, 0));
}
inline int ListView_GetStringWidth(HWND hwnd, LPCWSTR text) {
    return static_cast<int>(
        SendMessageW(hwnd, LVM_GETSTRINGWIDTHW, 0, reinterpret_cast<LPARAM>(text)));
}
inline int ListView_GetCountPerPage(HWND hwnd) {
    return static_cast<int>(SendMessageW(hwnd, LVM_GETCOUNTPERPAGE, 0, 0));
}
inline HWND ListView_EditLabel(HWND hwnd, int i) {
    return reinterpret_cast<HWND>(SendMessageW(hwnd, LVM_EDITLABELW, static_cast<WPARAM>(i), 0));
}
inline HWND ListView_GetEditControl(HWND hwnd) {
    return reinterpret_cast<HWND>(SendMessageW(hwnd, LVM_GETEDITCONTROL, 0, 0));
}
inline DWORD ListView_SetExtendedListViewStyle(HWND hwnd, DWORD style) {
    return static_cast<DWORD>(SendMessageW(hwnd, LVM_SETEXTENDEDLISTVIEWSTYLE, 0, style));
}
inline DWORD ListView_GetExtendedListViewStyle(HWND hwnd) {
    return static_cast<DWORD>(SendMessageW(hwnd, LVM_GETEXTENDEDLISTVIEWSTYLE, 0, 0));
}
inline BOOL ListView_GetItemRect(HWND hwnd, int i, RECT* rect, int code) {
    if (rect != nullptr)
        rect->left = code;
    return static_cast<BOOL>(SendMessageW(hwnd, LVM_GETITEMRECT, static_cast<WPARAM>(i),
                                          reinterpret_cast<LPARAM>(rect)));
}
inline BOOL ListView_RedrawItems(HWND hwnd, int first, int last) {
    return static_cast<BOOL>(SendMessageW(hwnd, LVM_REDRAWITEMS, static_cast<WPARAM>(first), last));
}
inline BOOL ListView_Update(HWND hwnd, int i) {
    return static_cast<BOOL>(SendMessageW(hwnd, LVM_UPDATE, static_cast<WPARAM>(i), 0));
}

inline int Header_GetItemCount(HWND hwnd) {
    return static_cast<int>(SendMessageW(hwnd, HDM_GETITEMCOUNT, 0, 0));
}
inline BOOL Header_GetItem(HWND hwnd, int i, HDITEMW* item) {
    return static_cast<BOOL>(
        SendMessageW(hwnd, HDM_GETITEMW, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(item)));
}
inline BOOL Header_SetItem(HWND hwnd, int i, const HDITEMW* item) {
    return static_cast<BOOL>(
        SendMessageW(hwnd, HDM_SETITEMW, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(item)));
}
inline HIMAGELIST Header_SetImageList(HWND hwnd, HIMAGELIST list) {
    return reinterpret_cast<HIMAGELIST>(
        SendMessageW(hwnd, HDM_SETIMAGELIST, 0, reinterpret_cast<LPARAM>(list)));
}

// ---- Date and time picker -------------------------------------------------

inline constexpr const WCHAR* DATETIMEPICK_CLASSW = u"SysDateTimePick32";
inline constexpr DWORD DTS_SHORTDATEFORMAT = 0x0000;
inline constexpr DWORD DTS_UPDOWN = 0x0001;
inline constexpr DWORD DTS_LONGDATEFORMAT = 0x0004;
inline constexpr DWORD DTS_TIMEFORMAT = 0x0009;
inline constexpr UINT DTM_FIRST = 0x1000;
// lParam: SYSTEMTIME*; returns GDT_VALID.
inline constexpr UINT DTM_GETSYSTEMTIME = DTM_FIRST + 1;
// wParam: GDT_VALID; lParam: SYSTEMTIME*.
inline constexpr UINT DTM_SETSYSTEMTIME = DTM_FIRST + 2;
inline constexpr DWORD GDT_ERROR = static_cast<DWORD>(-1);
inline constexpr DWORD GDT_VALID = 0;
inline constexpr DWORD GDT_NONE = 1;
inline constexpr UINT DTN_FIRST = 0U - 760U;
inline constexpr UINT DTN_DATETIMECHANGE = DTN_FIRST + 1;
struct NMDATETIMECHANGE {
    NMHDR nmhdr;
    DWORD dwFlags;
    SYSTEMTIME st;
};
inline DWORD DateTime_GetSystemtime(HWND hdp, SYSTEMTIME* pst) {
    return static_cast<DWORD>(
        SendMessageW(hdp, DTM_GETSYSTEMTIME, 0, reinterpret_cast<LPARAM>(pst)));
}
inline BOOL DateTime_SetSystemtime(HWND hdp, DWORD gd, const SYSTEMTIME* pst) {
    return static_cast<BOOL>(
        SendMessageW(hdp, DTM_SETSYSTEMTIME, gd, reinterpret_cast<LPARAM>(pst)));
}

}  // namespace ce
