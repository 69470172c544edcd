// The open and save file dialogs: the request is read from OPENFILENAMEW
// (its filter list bounded by what a program can pass) and the backend asks.

#include "platform/core/ErrorCodes.h"
#include "platform/core/LastError.h"
#include "platform/core/Text.h"
#include "platform/gui/CommDlg.h"
#include "platform/gui/windowing/WindowSystem.h"

namespace ce {
namespace {

thread_local DWORD lastDialogError = 0;

constexpr std::size_t kMaxFilterUnits = 4096;

// The filter is pairs of zero-terminated texts ended by an empty one.
std::vector<std::pair<std::u16string, std::u16string>> Filters(LPCWSTR filter) {
    std::vector<std::pair<std::u16string, std::u16string>> pairs;
    if (filter == nullptr)
        return pairs;
    std::size_t at = 0;
    while (at < kMaxFilterUnits && filter[at] != 0) {
        std::u16string_view description = WideView(filter + at, kMaxFilterUnits - at);
        at += description.size() + 1;
        if (at >= kMaxFilterUnits || filter[at] == 0)
            break;
        std::u16string_view patterns = WideView(filter + at, kMaxFilterUnits - at);
        at += patterns.size() + 1;
        pairs.emplace_back(description, patterns);
    }
    return pairs;
}

std::size_t NameStart(std::u16string_view path) {
    std::size_t slash = path.find_last_of(u"\\/");
    return slash == std::u16string_view::npos ? 0 : slash + 1;
}

// The extension a bare name gets: given as "bkp", ".bkp" or the filter's
// pattern "*.bkp"; a pattern that names no one extension ("*.*") gives none.
std::u16string DefaultExtension(std::u16string_view given) {
    if (!given.empty() && given.front() == u'*')
        given.remove_prefix(1);
    if (!given.empty() && given.front() == u'.')
        given.remove_prefix(1);
    if (given.find_first_of(u"*?.;\\/") != std::u16string_view::npos)
        return {};
    return std::u16string(given);
}

BOOL Ask(OPENFILENAMEW* ofn, bool save) {
    lastDialogError = 0;
    if (ofn == nullptr || ofn->lStructSize == 0 || ofn->lpstrFile == nullptr ||
        ofn->nMaxFile == 0) {
        lastDialogError = CDERR_STRUCTSIZE;
        return FALSE;
    }
    gui::FileDialogRequest request;
    request.owner = ofn->hwndOwner;
    request.save = save;
    request.filters = Filters(ofn->lpstrFilter);
    request.filterIndex = ofn->nFilterIndex > 0 ? ofn->nFilterIndex - 1 : 0;
    request.initialName = WideView(ofn->lpstrFile, ofn->nMaxFile);
    request.initialDirectory = WideView(ofn->lpstrInitialDir);
    request.defaultExtension = DefaultExtension(WideView(ofn->lpstrDefExt));
    request.flags = ofn->Flags;
    gui::PaintPendingWindows();
    std::optional<std::u16string> chosen = gui::CurrentBackend().ChooseFile(request);
    if (!chosen || chosen->empty())
        return FALSE;
    std::u16string path = *chosen;
    std::size_t name = NameStart(path);
    if (!request.defaultExtension.empty() && path.find(u'.', name) == std::u16string::npos)
        path += u"." + request.defaultExtension;
    if (path.size() + 1 > ofn->nMaxFile) {
        lastDialogError = FNERR_BUFFERTOOSMALL;
        return FALSE;
    }
    CopyWide(ofn->lpstrFile, ofn->nMaxFile, path);
    name = NameStart(path);
    std::size_t dot = path.find_last_of(u'.');
    ofn->nFileOffset = static_cast<WORD>(name);
    ofn->nFileExtension =
        static_cast<WORD>(dot == std::u16string::npos || dot < name ? path.size() : dot + 1);
    if (ofn->lpstrFileTitle != nullptr && ofn->nMaxFileTitle > 0)
        CopyWide(ofn->lpstrFileTitle, ofn->nMaxFileTitle, std::u16string_view(path).substr(name));
    return TRUE;
}

}  // namespace

BOOL GetOpenFileNameW(OPENFILENAMEW* ofn) {
    return Ask(ofn, false);
}

BOOL GetSaveFileNameW(OPENFILENAMEW* ofn) {
    return Ask(ofn, true);
}

DWORD CommDlgExtendedError() {
    return lastDialogError;
}

}  // namespace ce
