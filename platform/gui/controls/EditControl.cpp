// The "EDIT" class: text with a selection, a length limit, the modified
// mark and one level of undo. Typing arrives as WM_CHAR (painted or
// headless fields) or from a native field (EditTextByUser); either way the
// parent hears EN_CHANGE. A field that edits a list view's label reports
// Enter, Escape and the loss of focus to the list.

#include <algorithm>
#include <climits>
#include <cstring>

#include "platform/core/LocalMemory.h"
#include "platform/core/Text.h"
#include "platform/gui/Clipboard.h"
#include "platform/gui/controls/Controls.h"

namespace ce::gui {
namespace {

EditState& StateFor(Window& w) {
    return ControlOf<EditState>(w);
}

int Length(const Window& w) {
    return static_cast<int>(w.text.size());
}

void Select(HWND hwnd, Window& w, EditState& state, int start, int end) {
    int length = Length(w);
    if (start < 0) {
        start = end = state.selectionEnd;
    } else if (end < 0 || end > length) {
        end = length;
    }
    start = std::clamp(start, 0, length);
    end = std::clamp(end, 0, length);
    if (start > end)
        std::swap(start, end);
    state.selectionStart = start;
    state.selectionEnd = end;
    NotifyChanged(hwnd, ChangedValue);
}

// The room the length limit leaves for text in place of the selection.
int Room(const Window& w, const EditState& state) {
    if (state.limit <= 0)
        return INT_MAX;
    return std::max(0, state.limit - Length(w) + (state.selectionEnd - state.selectionStart));
}

void ReplaceSelection(HWND hwnd, std::u16string_view insert) {
    Window* w = Peek(hwnd);
    EditState& state = StateFor(*w);
    // What does not fit is left out: the text beyond the selection stays.
    if (static_cast<int>(insert.size()) > Room(*w, state)) {
        insert = insert.substr(0, static_cast<std::size_t>(Room(*w, state)));
        NotifyParentCommand(hwnd, EN_MAXTEXT);
        if ((w = Peek(hwnd)) == nullptr)
            return;
    }
    std::u16string text = w->text;
    text.replace(static_cast<std::size_t>(state.selectionStart),
                 static_cast<std::size_t>(state.selectionEnd - state.selectionStart), insert);
    int caret = state.selectionStart + static_cast<int>(insert.size());
    EditTextByUser(hwnd, std::move(text), false);
    w = Peek(hwnd);
    if (w != nullptr)
        Select(hwnd, *w, StateFor(*w), caret, caret);
}

// Ctrl with A, C, V, X or Z: the text-editing keys.
bool EditingKey(HWND hwnd, Window& w, EditState& state, WPARAM key) {
    bool readOnly = (w.style & ES_READONLY) != 0;
    switch (key) {
        case 'A':
            Select(hwnd, w, state, 0, -1);
            return true;
        case 'C':
            SendMessageW(hwnd, WM_COPY, 0, 0);
            return true;
        case 'X':
            SendMessageW(hwnd, readOnly ? WM_COPY : WM_CUT, 0, 0);
            return true;
        case 'V':
            SendMessageW(hwnd, WM_PASTE, 0, 0);
            return true;
        case 'Z':
            SendMessageW(hwnd, EM_UNDO, 0, 0);
            return true;
        default:
            return false;
    }
}

// The selection as CF_UNICODETEXT (with its terminator) on the clipboard.
bool CopySelection(HWND hwnd, const Window& w, const EditState& state) {
    if (state.selectionEnd <= state.selectionStart || (w.style & ES_PASSWORD) != 0)
        return false;
    std::u16string_view text = std::u16string_view(w.text).substr(
        static_cast<std::size_t>(state.selectionStart),
        static_cast<std::size_t>(state.selectionEnd - state.selectionStart));
    if (!OpenClipboard(hwnd))
        return false;
    bool put = false;
    std::size_t bytes = (text.size() + 1) * sizeof(WCHAR);
    if (HLOCAL block = LocalAlloc(LPTR, bytes)) {
        std::memcpy(block, text.data(), text.size() * sizeof(WCHAR));
        EmptyClipboard();
        put = SetClipboardData(CF_UNICODETEXT, reinterpret_cast<HANDLE>(block)) != nullptr;
        if (!put)
            LocalFree(block);
    }
    CloseClipboard();
    return put;
}

void PasteText(HWND hwnd) {
    if (!OpenClipboard(hwnd))
        return;
    std::u16string text;
    if (HANDLE data = GetClipboardData(CF_UNICODETEXT)) {
        auto* block = reinterpret_cast<HLOCAL>(data);
        const auto* units = static_cast<const WCHAR*>(block);
        std::size_t count = LocalSize(block) / sizeof(WCHAR);
        std::size_t length = 0;
        while (length < count && units[length] != 0)
            ++length;
        text.assign(units, length);
    }
    CloseClipboard();
    if (!text.empty())
        ReplaceSelection(hwnd, text);
}

}  // namespace

bool IsTextEditingKey(HWND window, WPARAM key) {
    Window* w = Peek(window);
    if (w == nullptr || w->windowClass == nullptr ||
        !EqualsIgnoreCase(w->windowClass->name, u"EDIT"))
        return false;
    return key == 0 || key == 'A' || key == 'C' || key == 'V' || key == 'X' || key == 'Z';
}

void EditTextByUser(HWND edit, std::u16string text, bool post) {
    Window* w = Peek(edit);
    if (w == nullptr)
        return;
    EditState& state = StateFor(*w);
    bool truncated = false;
    if (state.limit > 0 && static_cast<int>(text.size()) > state.limit) {
        text.resize(static_cast<std::size_t>(state.limit));
        truncated = true;
    }
    if (text == w->text && !truncated)
        return;
    state.undoText = w->text;
    state.canUndo = true;
    state.modified = true;
    w->text = std::move(text);
    int length = Length(*w);
    state.selectionStart = std::min(state.selectionStart, length);
    state.selectionEnd = std::min(state.selectionEnd, length);
    if (truncated)
        NotifyChanged(edit, ChangedText | ChangedValue);
    if (post && w->parent != nullptr) {
        PostMessageW(w->parent, WM_COMMAND, MAKEWPARAM(w->id, EN_CHANGE),
                     reinterpret_cast<LPARAM>(edit));
    } else {
        NotifyChanged(edit, ChangedText | ChangedValue);
        NotifyParentCommand(edit, EN_CHANGE);
    }
}

LRESULT EditProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    Window* w = Peek(hwnd);
    if (w == nullptr)
        return 0;
    EditState& state = StateFor(*w);
    bool readOnly = (w->style & ES_READONLY) != 0;
    switch (message) {
        case WM_SETTEXT: {
            DefWindowProcW(hwnd, message, wParam, lParam);
            state.selectionStart = state.selectionEnd = 0;
            state.modified = false;
            state.canUndo = false;
            NotifyChanged(hwnd, ChangedValue);
            NotifyParentCommand(hwnd, EN_CHANGE);
            return TRUE;
        }
        case EM_SETSEL:
            Select(hwnd, *w, state, static_cast<int>(static_cast<std::intptr_t>(wParam)),
                   static_cast<int>(lParam));
            return 0;
        case EM_GETSEL:
            if (wParam != 0)
                *reinterpret_cast<DWORD*>(wParam) = static_cast<DWORD>(state.selectionStart);
            if (lParam != 0)
                *reinterpret_cast<DWORD*>(lParam) = static_cast<DWORD>(state.selectionEnd);
            return MAKELONG(state.selectionStart, state.selectionEnd);
        case EM_LIMITTEXT:
            state.limit = static_cast<int>(wParam);
            NotifyChanged(hwnd, ChangedValue);
            return 0;
        case EM_GETLIMITTEXT:
            return state.limit == 0 ? 30000 : state.limit;
        case EM_REPLACESEL:
            ReplaceSelection(hwnd, WideView(reinterpret_cast<LPCWSTR>(lParam)));
            return 0;
        case EM_GETMODIFY:
            return state.modified ? TRUE : FALSE;
        case EM_SETMODIFY:
            state.modified = wParam != 0;
            return 0;
        case EM_CANUNDO:
            return state.canUndo ? TRUE : FALSE;
        case EM_EMPTYUNDOBUFFER:
            state.canUndo = false;
            state.undoText.clear();
            return 0;
        case EM_UNDO:
        case WM_UNDO:
            if (!state.canUndo)
                return FALSE;
            EditTextByUser(hwnd, state.undoText, false);
            return TRUE;
        case EM_SETREADONLY:
            if (wParam != 0)
                w->style |= ES_READONLY;
            else
                w->style &= ~ES_READONLY;
            NotifyChanged(hwnd, ChangedStyle);
            return TRUE;
        case WM_COPY:
            CopySelection(hwnd, *w, state);
            return 0;
        case WM_CUT:
            if (!readOnly && CopySelection(hwnd, *w, state))
                ReplaceSelection(hwnd, u"");
            return 0;
        case WM_PASTE:
            if (!readOnly)
                PasteText(hwnd);
            return 0;
        case WM_CLEAR:
            if (!readOnly && state.selectionEnd > state.selectionStart)
                ReplaceSelection(hwnd, u"");
            return 0;
        case WM_CHAR: {
            auto c = static_cast<char16_t>(wParam);
            if (readOnly || c == u'\t' || c == 27)
                return 0;
            if (c == u'\r' && ((w->style & ES_MULTILINE) == 0 || state.labelEditOf != nullptr))
                return 0;
            if (c == 8) {
                if (state.selectionEnd == state.selectionStart && state.selectionStart > 0)
                    --state.selectionStart;
                ReplaceSelection(hwnd, u"");
                return 0;
            }
            if (c < 32 && c != u'\r')
                return 0;
            std::u16string insert = c == u'\r' ? std::u16string(u"\r\n") : std::u16string(1, c);
            if (static_cast<int>(insert.size()) > Room(*w, state)) {
                NotifyParentCommand(hwnd, EN_MAXTEXT);
                return 0;
            }
            ReplaceSelection(hwnd, insert);
            return 0;
        }
        case WM_KEYDOWN:
            if (state.labelEditOf != nullptr && (wParam == VK_RETURN || wParam == VK_ESCAPE)) {
                SendMessageW(state.labelEditOf, kEndLabelEdit, wParam == VK_RETURN, 0);
                return 0;
            }
            if ((GetKeyState(VK_CONTROL) & 0x8000) != 0 && (GetKeyState(VK_MENU) & 0x8000) == 0 &&
                EditingKey(hwnd, *w, state, wParam))
                return 0;
            if (wParam == VK_DELETE && !readOnly) {
                if (state.selectionEnd == state.selectionStart && state.selectionEnd < Length(*w))
                    ++state.selectionEnd;
                ReplaceSelection(hwnd, u"");
            } else if (wParam == VK_LEFT || wParam == VK_RIGHT || wParam == VK_HOME ||
                       wParam == VK_END) {
                int caret = wParam == VK_HOME   ? 0
                            : wParam == VK_END  ? Length(*w)
                            : wParam == VK_LEFT ? state.selectionStart - 1
                                                : state.selectionEnd + 1;
                caret = std::clamp(caret, 0, Length(*w));
                Select(hwnd, *w, state, caret, caret);
            }
            return 0;
        case WM_GETDLGCODE: {
            LRESULT code = DLGC_HASSETSEL | DLGC_WANTCHARS | DLGC_WANTARROWS;
            if (state.labelEditOf != nullptr ||
                ((w->style & ES_MULTILINE) != 0 && (w->style & ES_WANTRETURN) != 0))
                code |= DLGC_WANTALLKEYS;
            return code;
        }
        case WM_SETFOCUS:
            NotifyParentCommand(hwnd, EN_SETFOCUS);
            return 0;
        case WM_KILLFOCUS:
            if (state.labelEditOf != nullptr) {
                SendMessageW(state.labelEditOf, kEndLabelEdit, TRUE, 0);
                return 0;
            }
            NotifyParentCommand(hwnd, EN_KILLFOCUS);
            return 0;
        case WM_LBUTTONDOWN:
            SetFocus(hwnd);
            return 0;
        case WM_ERASEBKGND:
            return 1;
        default:
            break;
    }
    return DefWindowProcW(hwnd, message, wParam, lParam);
}

}  // namespace ce::gui
