#pragma once
// What every dialog template shares. Positions are in dialog units of an
// 8-point font (a unit is about 1.5 pixels across and 1.75 down); the
// palm-size shell sizes every dialog to the full screen, so every control of
// a palm-size template lies within 160 units across (a 240-pixel portrait
// screen) and, below the title line (15 units), within 122 units down (a
// 240-pixel landscape screen); a landscape template exists where a dialog
// needs more room. Keyboard-edition templates are captioned windows that the
// shell centres on its 640x240 screen.
//
// Every palm-size template carries a hidden static IDC_TITLE with the
// dialog's title (painted as the title line), group-box captions with id
// IDC_GROUP_CAPTION, and a SIPPREF control where the input panel should open
// with the dialog.

#include "platform/gui/Resources.h"
#include "platform/gui/WinUser.h"
#include "resources/ControlIds.h"

namespace res::style {

using ce::DWORD;

// Both editions' templates: the shell frames the dialog as its edition shows dialogs.
inline constexpr DWORD kDialog =
    ce::DS_SETFONT | ce::DS_MODALFRAME | ce::WS_POPUP | ce::WS_CAPTION | ce::WS_SYSMENU;
// A narrow face: 8 points of it give the base units the positions assume.
inline constexpr const char16_t* kFont = u"DejaVu Sans Condensed";
inline constexpr ce::WORD kFontPoints = 8;
inline constexpr DWORD kLabel = ce::WS_CHILD | ce::WS_VISIBLE | ce::SS_LEFT;
inline constexpr DWORD kRightLabel = ce::WS_CHILD | ce::WS_VISIBLE | ce::SS_RIGHT;
inline constexpr DWORD kValue = ce::WS_CHILD | ce::WS_VISIBLE | ce::SS_LEFT | ce::SS_NOPREFIX;
// Hidden: painted by the frame.
inline constexpr DWORD kTitle = ce::WS_CHILD | ce::SS_LEFT | ce::SS_NOPREFIX;
inline constexpr DWORD kGroup = ce::WS_CHILD | ce::WS_VISIBLE | ce::BS_GROUPBOX;
inline constexpr DWORD kCheck =
    ce::WS_CHILD | ce::WS_VISIBLE | ce::WS_TABSTOP | ce::BS_AUTOCHECKBOX;
inline constexpr DWORD kRadio = ce::WS_CHILD | ce::WS_VISIBLE | ce::BS_AUTORADIOBUTTON;
inline constexpr DWORD kPush = ce::WS_CHILD | ce::WS_VISIBLE | ce::WS_TABSTOP | ce::BS_PUSHBUTTON;
inline constexpr DWORD kDefPush =
    ce::WS_CHILD | ce::WS_VISIBLE | ce::WS_TABSTOP | ce::BS_DEFPUSHBUTTON;
inline constexpr DWORD kEdit =
    ce::WS_CHILD | ce::WS_VISIBLE | ce::WS_TABSTOP | ce::WS_BORDER | ce::ES_AUTOHSCROLL;
inline constexpr DWORD kPasswordEdit = kEdit | ce::ES_PASSWORD;
inline constexpr DWORD kSip = ce::WS_CHILD;

inline ce::DialogItemResource Sip() {
    return {u"SIPPREF", u"", static_cast<ce::UINT>(-1), 0, 0, 0, 0, kSip};
}

}  // namespace res::style
