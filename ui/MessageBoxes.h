#pragma once
// Message boxes by string id, titled with the product name and owned by the
// given window (the main window when none is given).

#include <string_view>

#include "platform/core/WideFormat.h"
#include "platform/gui/WinTypes.h"

namespace ui {

using ce::HWND;
using ce::UINT;

// Loads string `id` into `buffer` of `size` units; returns the units loaded.
int LoadText(UINT id, ce::WCHAR* buffer, int size);
// The text of string `id` (empty when it does not exist).
std::u16string LoadText(UINT id);

int MessageById(HWND owner, UINT id, UINT style);
int MessageByIdWith(HWND owner, UINT id, ce::FormatArg argument, UINT style);
int MessageText(HWND owner, std::u16string_view text, UINT style);
// A message whose text was formatted from string `id` by the caller, so
// that a scripted user still knows it by that id.
int MessageTextWithId(HWND owner, std::u16string_view text, UINT style, UINT id);

// The styles used throughout.
inline constexpr UINT kErrorStyle = ce::MB_OK | ce::MB_ICONEXCLAMATION;
inline constexpr UINT kWarningQuestion = ce::MB_YESNO | ce::MB_ICONEXCLAMATION;
inline constexpr UINT kDestructiveQuestion =
    ce::MB_YESNO | ce::MB_ICONEXCLAMATION | ce::MB_DEFBUTTON2;
inline constexpr UINT kCancelQuestion = ce::MB_YESNO | ce::MB_ICONQUESTION;

}  // namespace ui
