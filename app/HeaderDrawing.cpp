#include "app/HeaderDrawing.h"

#include <algorithm>

#include "app/DatabaseList.h"
#include "app/ListSorting.h"
#include "appcore/Application.h"
#include "platform/core/Text.h"
#include "platform/gui/CommCtrl.h"

namespace app {

using namespace ce;
using namespace appcore;

namespace {

int TextWidth(HDC dc, std::u16string_view text) {
    SIZE size{};
    GetTextExtentPoint32W(dc, text.data(), static_cast<int>(text.size()), &size);
    return size.cx;
}

// Image 2 marks an ascending sort, 1 a descending one, 0 none.
int MarkImage(UINT column, DWORD key, bool ascending) {
    bool sorted = (column == 0 && key == kCompareNames) || (column == 1 && key == kCompareSizes) ||
                  (static_cast<int>(column) == DateColumn() &&
                   (key == kCompareDates || key == kCompareNumbers));
    return sorted ? (ascending ? 2 : 1) : 0;
}

}  // namespace

std::u16string ShortenToFit(HDC dc, std::u16string_view text, int room) {
    if (TextWidth(dc, text) <= room)
        return std::u16string(text);
    std::u16string shortened(text);
    while (shortened.size() > 1 && TextWidth(dc, shortened + u"...") > room)
        shortened.pop_back();
    return shortened + u"...";
}

void DrawHeaderItem(const DRAWITEMSTRUCT* request, DWORD key, bool ascending) {
    HDC dc = request->hDC;
    int saved = SaveDC(dc);
    RECT area = request->rcItem;
    HBRUSH background = CreateSolidBrush(GetBkColor(dc));
    FillRect(dc, &area, background);
    DeleteObject(background);
    SetBkMode(dc, TRANSPARENT);
    int blank = TextWidth(dc, u" ");

    HIMAGELIST marks = App().headerImages;
    int markWidth = 0;
    int markHeight = 0;
    if (marks != nullptr && ImageList_GetIconSize(marks, &markWidth, &markHeight)) {
        int height = area.bottom - area.top;
        int y = std::max(1, (height - 10) / 2);
        ImageList_Draw(marks, MarkImage(request->itemID, key, ascending), dc, area.left + 2,
                       area.top + y, ILD_TRANSPARENT);
        area.left += markWidth + 2;
    }

    WCHAR text[260] = {};
    HDITEMW item{};
    item.mask = HDI_TEXT | HDI_FORMAT;
    item.pszText = text;
    item.cchTextMax = 260;
    Header_GetItem(request->hwndItem, static_cast<int>(request->itemID), &item);
    UINT format = DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX;
    if ((item.fmt & HDF_JUSTIFYMASK) == HDF_CENTER)
        format |= DT_CENTER;
    else if ((item.fmt & HDF_JUSTIFYMASK) == HDF_RIGHT)
        format |= DT_RIGHT;
    else
        format |= DT_LEFT;
    if ((request->itemState & ODS_SELECTED) != 0) {
        area.left += 1;
        area.right += 1;
        area.top += 2;
        area.bottom += 2;
    }
    RECT textArea{area.left + blank, area.top, area.right - 2 * blank, area.bottom};
    std::u16string shown = ShortenToFit(dc, WideView(text, 260), textArea.right - textArea.left);
    if (textArea.right > textArea.left && textArea.bottom > textArea.top)
        DrawTextW(dc, shown.c_str(), -1, &textArea, format);
    RestoreDC(dc, saved);
}

}  // namespace app
