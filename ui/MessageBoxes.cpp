#include "ui/MessageBoxes.h"

#include "appcore/Application.h"
#include "platform/gui/Backend.h"
#include "platform/gui/Resources.h"
#include "platform/objectstore/StoreWriteBatch.h"
#include "resources/StringIds.h"

namespace ui {

int LoadText(UINT id, ce::WCHAR* buffer, int size) {
    return ce::LoadStringW(appcore::App().instance, id, buffer, size);
}

std::u16string LoadText(UINT id) {
    ce::HINSTANCE instance = appcore::App().instance;
    const char16_t* text = instance != nullptr ? instance->FindString(id) : nullptr;
    return text != nullptr ? std::u16string(text) : std::u16string();
}

int MessageTextWithId(HWND owner, std::u16string_view text, UINT style, UINT id) {
    // No other process waits to write while the user reads the message.
    ce::CommitStoreWriteBatch();
    ce::WCHAR title[20];
    LoadText(res::IDS_PRODUCT, title, 20);
    ce::gui::MessageBoxRequest request;
    request.owner = owner != nullptr ? owner : appcore::App().mainWindow;
    request.text = text;
    request.caption = title;
    request.style = style;
    request.stringId = id;
    return ce::gui::ShowMessageBox(request);
}

int MessageText(HWND owner, std::u16string_view text, UINT style) {
    return MessageTextWithId(owner, text, style, 0);
}

int MessageById(HWND owner, UINT id, UINT style) {
    ce::WCHAR text[512];
    LoadText(id, text, 512);
    return MessageTextWithId(owner, text, style, id);
}

int MessageByIdWith(HWND owner, UINT id, ce::FormatArg argument, UINT style) {
    ce::WCHAR format[512];
    LoadText(id, format, 512);
    std::u16string text = ce::FormatWide(format, {argument});
    return MessageTextWithId(owner, text, style, id);
}

}  // namespace ui
