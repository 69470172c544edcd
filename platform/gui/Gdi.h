#pragma once
// GDI: fonts, brushes, pens and bitmaps, device contexts and the drawing
// calls. A window's device context draws on a surface the backend provides
// (Surface.h); a memory device context holds a selected bitmap.

#include <cstddef>

#include "platform/gui/WinTypes.h"

namespace ce {

// ---- Objects ---------------------------------------------------------------

HFONT CreateFontIndirectW(const LOGFONTW* lplf);
inline constexpr int WHITE_BRUSH = 0;
inline constexpr int LTGRAY_BRUSH = 1;
inline constexpr int GRAY_BRUSH = 2;
inline constexpr int BLACK_BRUSH = 4;
inline constexpr int NULL_BRUSH = 5;
inline constexpr int WHITE_PEN = 6;
inline constexpr int BLACK_PEN = 7;
inline constexpr int NULL_PEN = 8;
// Stock objects are never deleted; DeleteObject on one succeeds and does nothing.
HGDIOBJ GetStockObject(int fnObject);
// Copies the object's description: a LOGFONTW for a font, a BITMAP for a
// bitmap. Returns the bytes copied (the size needed when lpvObject is null).
int GetObjectW(HGDIOBJ hgdiobj, int cbBuffer, void* lpvObject);
BOOL DeleteObject(HGDIOBJ hObject);

HBRUSH CreateSolidBrush(COLORREF crColor);
inline constexpr int PS_SOLID = 0;
inline constexpr int PS_DASH = 1;
inline constexpr int PS_NULL = 5;
HPEN CreatePen(int fnPenStyle, int nWidth, COLORREF crColor);

struct BITMAP {
    LONG bmType;
    LONG bmWidth;
    LONG bmHeight;
    LONG bmWidthBytes;
    WORD bmPlanes;
    WORD bmBitsPixel;
    void* bmBits;
};

// A bitmap resource (an embedded PNG) of the module.
HBITMAP LoadBitmapW(HINSTANCE hInstance, LPCWSTR lpBitmapName);

// ---- Icons -------------------------------------------------------------------
// An icon resource has pictures of several sizes. Icons loaded from a
// module are shared: loading the same picture again gives the same handle,
// and it stays valid for the life of the process (DestroyIcon does nothing).

// (IMAGE_BITMAP and LR_DEFAULTCOLOR are with the image lists, CommCtrl.h.)
inline constexpr UINT IMAGE_ICON = 1;
inline constexpr UINT LR_SHARED = 0x8000;
// WM_SETICON / WM_GETICON: which of a window's two icons.
inline constexpr WPARAM ICON_SMALL = 0;
inline constexpr WPARAM ICON_BIG = 1;

// The icon's picture nearest to cx by cy pixels (0: the system's size, 32),
// or nullptr (ERROR_RESOURCE_NAME_NOT_FOUND). Only IMAGE_ICON is loaded.
void* LoadImageW(HINSTANCE hInstance, LPCWSTR name, UINT type, int cx, int cy, UINT fuLoad);
// The icon at the system's size, 32 by 32 pixels.
HICON LoadIconW(HINSTANCE hInstance, LPCWSTR lpIconName);
BOOL DestroyIcon(HICON hIcon);
// Width and height of an icon's picture; false for an unknown handle.
bool IconSize(HICON icon, SIZE* size);

// The description of a font, or nullptr for a handle that is not a font.
const LOGFONTW* FontDescription(HFONT font);
// Number of live (non-stock) GDI objects, for leak checks in tests.
std::size_t LiveGdiObjectCount();

// ---- Device contexts -------------------------------------------------------

struct PAINTSTRUCT {
    HDC hdc;
    BOOL fErase;
    RECT rcPaint;
    BOOL fRestore;
    BOOL fIncUpdate;
    BYTE rgbReserved[32];
};

HDC BeginPaint(HWND hwnd, PAINTSTRUCT* lpPaint);
BOOL EndPaint(HWND hWnd, const PAINTSTRUCT* lpPaint);
HDC GetDC(HWND hWnd);
int ReleaseDC(HWND hWnd, HDC hDC);
HDC CreateCompatibleDC(HDC hdc);
BOOL DeleteDC(HDC hdc);
// Returns a level for RestoreDC (0 on failure); RestoreDC(hdc, -1) restores the last.
int SaveDC(HDC hdc);
BOOL RestoreDC(HDC hdc, int nSavedDC);
HGDIOBJ SelectObject(HDC hdc, HGDIOBJ hgdiobj);

inline constexpr int TRANSPARENT = 1;
inline constexpr int OPAQUE = 2;
COLORREF SetTextColor(HDC hdc, COLORREF crColor);
COLORREF GetTextColor(HDC hdc);
COLORREF SetBkColor(HDC hdc, COLORREF crColor);
COLORREF GetBkColor(HDC hdc);
int SetBkMode(HDC hdc, int iBkMode);

inline constexpr int LOGPIXELSX = 88;
inline constexpr int LOGPIXELSY = 90;
inline constexpr int HORZRES = 8;
inline constexpr int VERTRES = 10;
int GetDeviceCaps(HDC hdc, int nIndex);

// ---- Drawing ---------------------------------------------------------------

inline constexpr UINT DT_TOP = 0x00000000;
inline constexpr UINT DT_LEFT = 0x00000000;
inline constexpr UINT DT_CENTER = 0x00000001;
inline constexpr UINT DT_RIGHT = 0x00000002;
inline constexpr UINT DT_VCENTER = 0x00000004;
inline constexpr UINT DT_BOTTOM = 0x00000008;
inline constexpr UINT DT_WORDBREAK = 0x00000010;
inline constexpr UINT DT_SINGLELINE = 0x00000020;
inline constexpr UINT DT_EXPANDTABS = 0x00000040;
inline constexpr UINT DT_NOCLIP = 0x00000100;
inline constexpr UINT DT_CALCRECT = 0x00000400;
inline constexpr UINT DT_NOPREFIX = 0x00000800;
inline constexpr UINT DT_END_ELLIPSIS = 0x00008000;

// Draws text in a rectangle; `nCount` -1 for a zero-terminated text. "&"
// marks the next character (and "&&" is one "&") unless DT_NOPREFIX.
// DT_CALCRECT measures only, adjusting the rectangle. Returns the text height.
int DrawTextW(HDC hDC, LPCWSTR lpString, int nCount, RECT* lpRect, UINT uFormat);
BOOL ExtTextOutW(HDC hdc, int X, int Y, UINT fuOptions, const RECT* lprc, LPCWSTR lpString,
                 UINT cbCount, const int* lpDx);
BOOL GetTextExtentPoint32W(HDC hdc, LPCWSTR lpString, int c, SIZE* lpSize);

struct TEXTMETRICW {
    LONG tmHeight;
    LONG tmAscent;
    LONG tmDescent;
    LONG tmInternalLeading;
    LONG tmExternalLeading;
    LONG tmAveCharWidth;
    LONG tmMaxCharWidth;
    LONG tmWeight;
};
BOOL GetTextMetricsW(HDC hdc, TEXTMETRICW* lptm);

int FillRect(HDC hDC, const RECT* lprc, HBRUSH hbr);
BOOL Rectangle(HDC hdc, int nLeftRect, int nTopRect, int nRightRect, int nBottomRect);
BOOL MoveToEx(HDC hdc, int X, int Y, POINT* lpPoint);
BOOL LineTo(HDC hdc, int nXEnd, int nYEnd);
BOOL DrawFocusRect(HDC hDC, const RECT* lprc);

inline constexpr DWORD SRCCOPY = 0x00CC0020;
BOOL BitBlt(HDC hdcDest, int nXDest, int nYDest, int nWidth, int nHeight, HDC hdcSrc, int nXSrc,
            int nYSrc, DWORD dwRop);
// The colour of a pixel of the bitmap selected into a memory device
// context; CLR_INVALID elsewhere.
COLORREF GetPixel(HDC hdc, int nXPos, int nYPos);

inline constexpr int NULLREGION = 1;
inline constexpr int SIMPLEREGION = 2;
inline constexpr int ERROR_REGION = 0;
// Limits drawing to a rectangle (in the context's coordinates).
int IntersectClipRect(HDC hdc, int nLeftRect, int nTopRect, int nRightRect, int nBottomRect);

// ---- Owner drawing ---------------------------------------------------------

inline constexpr UINT ODT_MENU = 1;
inline constexpr UINT ODT_LISTBOX = 2;
inline constexpr UINT ODT_COMBOBOX = 3;
inline constexpr UINT ODT_BUTTON = 4;
inline constexpr UINT ODT_STATIC = 5;
inline constexpr UINT ODT_HEADER = 100;
inline constexpr UINT ODT_LISTVIEW = 102;

inline constexpr UINT ODA_DRAWENTIRE = 0x0001;
inline constexpr UINT ODA_SELECT = 0x0002;
inline constexpr UINT ODA_FOCUS = 0x0004;

inline constexpr UINT ODS_SELECTED = 0x0001;
inline constexpr UINT ODS_GRAYED = 0x0002;
inline constexpr UINT ODS_DISABLED = 0x0004;
inline constexpr UINT ODS_CHECKED = 0x0008;
inline constexpr UINT ODS_FOCUS = 0x0010;

// Sent as WM_DRAWITEM to the control's parent.
struct DRAWITEMSTRUCT {
    UINT CtlType;
    UINT CtlID;
    UINT itemID;
    UINT itemAction;
    UINT itemState;
    HWND hwndItem;
    HDC hDC;
    RECT rcItem;
    std::uintptr_t itemData;
};

}  // namespace ce
