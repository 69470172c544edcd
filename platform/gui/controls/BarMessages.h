#pragma once
// What the palm-size menu bar and the command bar answer alike: the menu
// they carry, one of its popups, and the tip of the item under a point.

#include <optional>
#include <string>

#include "platform/gui/ShellUi.h"
#include "platform/gui/WinUser.h"
#include "platform/gui/windowing/WindowSystem.h"

namespace ce::gui {

// `bar` has a `menu` and `items` with a `tip` each; `itemAt(bar, point)` is
// the item under a point of the bar, or -1. Nothing when `message` is not
// one of these; otherwise the bar's answer.
template <class Bar, class ItemAt>
std::optional<LRESULT> AnswerBarMessage(const Bar& bar, UINT message, WPARAM wParam, LPARAM lParam,
                                        ItemAt itemAt) {
    switch (message) {
        case SHCMBM_GETMENU:
            return reinterpret_cast<LRESULT>(bar.menu);
        case SHCMBM_GETSUBMENU:
            return reinterpret_cast<LRESULT>(GetSubMenu(bar.menu, static_cast<int>(lParam)));
        case kToolTipAt: {
            auto* tip = reinterpret_cast<std::u16string*>(wParam);
            const auto* point = reinterpret_cast<const POINT*>(lParam);
            if (tip == nullptr || point == nullptr)
                return FALSE;
            int at = itemAt(bar, *point);
            *tip = at < 0 ? std::u16string() : bar.items[static_cast<std::size_t>(at)].tip;
            return TRUE;
        }
        default:
            return std::nullopt;
    }
}

}  // namespace ce::gui
