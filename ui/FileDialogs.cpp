#include "ui/FileDialogs.h"

#include <string>

#include "platform/core/Text.h"
#include "platform/files/Files.h"
#include "platform/gui/CommDlg.h"
#include "resources/StringIds.h"
#include "ui/MessageBoxes.h"

namespace ui {

using namespace ce;

bool AskFileName(HWND owner, WCHAR* path, bool open, UINT filterId, const WCHAR* defaultExtension) {
    // The filter list ends with two zero characters; the loaded text always
    // has a terminator after its last "|", so the list does too.
    WCHAR filter[MAX_PATH + 1] = {};
    LoadText(filterId, filter, MAX_PATH);
    for (WCHAR& c : filter) {
        if (c == u'|')
            c = 0;
    }
    std::u16string_view pattern = WideView(defaultExtension);
    std::u16string_view extension = pattern.empty() ? pattern : pattern.substr(1);
    WCHAR name[MAX_PATH] = {};
    CopyWide(name, extension);
    // The dialog opens in the folder of the path the caller had, if any.
    std::u16string_view current = WideView(path, MAX_PATH);
    std::size_t slash = current.find_last_of(u"\\/");
    std::u16string folder(slash == std::u16string_view::npos
                              ? std::u16string_view()
                              : current.substr(0, slash == 0 ? 1 : slash));
    OPENFILENAMEW request{};
    request.lpstrInitialDir = folder.empty() ? nullptr : folder.c_str();
    request.lStructSize = sizeof request;
    request.hwndOwner = owner;
    request.lpstrFilter = filter;
    request.nFilterIndex = 1;
    request.lpstrFile = name;
    request.nMaxFile = MAX_PATH;
    // The pattern is the default extension too: the dialog appends its
    // extension to a bare name.
    request.lpstrDefExt = defaultExtension;
    BOOL chosen;
    if (open) {
        request.Flags = OFN_FILEMUSTEXIST;
        chosen = GetOpenFileNameW(&request);
    } else {
        request.Flags = OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT;
        chosen = GetSaveFileNameW(&request);
    }
    if (!chosen)
        return false;
    CopyWide(path, MAX_PATH, WideView(name, MAX_PATH));
    return true;
}

HANDLE CreateFileAsking(HWND owner, const WCHAR* path, WCHAR* usedPath) {
    std::u16string name(WideView(path, MAX_PATH));
    for (;;) {
        if (GetFileAttributesW(name.c_str()) != INVALID_FILE_ATTRIBUTES &&
            MessageByIdWith(owner, res::IDS_FILE_EXISTS, name.c_str(), kCancelQuestion) != IDYES)
            return INVALID_HANDLE_VALUE;
        HANDLE file = CreateFileW(name.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                                  CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (file != INVALID_HANDLE_VALUE) {
            if (usedPath != nullptr)
                CopyWide(usedPath, MAX_PATH, name);
            return file;
        }
        if (name.size() > 1 && name[0] == u'\\' && name[1] == u'\\') {
            name.erase(0, 1);
            continue;
        }
        MessageByIdWith(owner, res::IDS_CANT_CREATE_BACKUP, name.c_str(), kErrorStyle);
        return INVALID_HANDLE_VALUE;
    }
}

}  // namespace ui
