// Image lists: equal-sized images cut from bitmaps, drawn with a colour
// that stays transparent.

#include <vector>

#include "platform/core/ErrorCodes.h"
#include "platform/core/HandleTable.h"
#include "platform/core/LastError.h"
#include "platform/gui/CommCtrl.h"
#include "platform/gui/Gdi.h"
#include "platform/gui/drawing/GdiObjects.h"

namespace ce {
namespace {

struct Entry {
    std::shared_ptr<const gui::Image> image;
    RECT source;
    COLORREF transparent;
};

struct ImageListData {
    int cx = 0;
    int cy = 0;
    std::vector<Entry> entries;
};

auto& Lists() {
    return ProcessHandleTable<ImageListData, HIMAGELIST, 0x50000, 8>();
}

ImageListData* Data(HIMAGELIST list) {
    return Lists().LookupOrError(list, ERROR_INVALID_HANDLE);
}

int AddStrip(ImageListData& data, const std::shared_ptr<const gui::Image>& image,
             COLORREF transparent) {
    if (!image || data.cx <= 0)
        return -1;
    int first = static_cast<int>(data.entries.size());
    for (int x = 0; x + data.cx <= image->width; x += data.cx)
        data.entries.push_back(
            {image, {x, 0, x + data.cx, std::min(image->height, data.cy)}, transparent});
    return static_cast<int>(data.entries.size()) > first ? first : -1;
}

}  // namespace

HIMAGELIST ImageList_Create(int cx, int cy, UINT, int, int) {
    if (cx <= 0 || cy <= 0) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    return Lists().Insert(std::make_unique<ImageListData>(ImageListData{cx, cy, {}}));
}

int ImageList_AddMasked(HIMAGELIST list, HBITMAP bitmap, COLORREF mask) {
    ImageListData* data = Data(list);
    std::optional<gui::GdiObject> object = gui::ObjectCopy(bitmap);
    if (data == nullptr || !object || object->kind != gui::GdiObject::Bitmap)
        return -1;
    return AddStrip(*data, object->image, mask);
}

HIMAGELIST ImageList_LoadImage(HINSTANCE instance, LPCWSTR name, int cx, int grow, COLORREF mask,
                               UINT, UINT) {
    HBITMAP bitmap = LoadBitmapW(instance, name);
    if (bitmap == nullptr)
        return nullptr;
    BITMAP info{};
    GetObjectW(bitmap, sizeof info, &info);
    HIMAGELIST list = ImageList_Create(cx, info.bmHeight, ILC_MASK, 0, grow);
    if (list != nullptr && ImageList_AddMasked(list, bitmap, mask) < 0) {
        ImageList_Destroy(list);
        list = nullptr;
    }
    DeleteObject(bitmap);
    return list;
}

BOOL ImageList_Draw(HIMAGELIST list, int i, HDC hdc, int x, int y, UINT) {
    ImageListData* data = Data(list);
    if (data == nullptr || i < 0 || i >= static_cast<int>(data->entries.size()))
        return FALSE;
    const Entry& entry = data->entries[static_cast<std::size_t>(i)];
    gui::DrawImageOn(hdc, *entry.image, entry.source, {x, y}, entry.transparent);
    return TRUE;
}

int ImageList_GetImageCount(HIMAGELIST list) {
    ImageListData* data = Data(list);
    return data == nullptr ? 0 : static_cast<int>(data->entries.size());
}

BOOL ImageList_GetIconSize(HIMAGELIST list, int* cx, int* cy) {
    ImageListData* data = Data(list);
    if (data == nullptr || cx == nullptr || cy == nullptr)
        return FALSE;
    *cx = data->cx;
    *cy = data->cy;
    return TRUE;
}

BOOL ImageList_Destroy(HIMAGELIST list) {
    return Lists().Erase(list) != nullptr ? TRUE : FALSE;
}

BOOL InitCommonControlsEx(const INITCOMMONCONTROLSEX* init) {
    return init != nullptr && init->dwSize == sizeof(INITCOMMONCONTROLSEX) ? TRUE : FALSE;
}

}  // namespace ce
