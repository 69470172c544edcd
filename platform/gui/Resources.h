#pragma once
// Program resources loaded by number: the string table now; dialog
// templates, menus, accelerator tables and bitmaps join it as the window
// system grows. A program builds one module from the common resources and
// its edition's own, which replace common entries of the same number.

#include <map>
#include <span>
#include <string_view>

#include "platform/gui/WinTypes.h"

namespace ce {

struct StringResource {
    UINT id;
    const char16_t* text;
};

class ResourceModule {
public:
    // Later additions replace earlier entries with the same id.
    void AddStrings(std::span<const StringResource> strings);
    // The text of a string, or nullptr when the module has none by that id.
    const char16_t* FindString(UINT id) const;

private:
    std::map<UINT, std::u16string_view> strings_;
};

// Copies string `id` into `buffer` (cchBufferMax units, truncating, always
// terminated). Returns the units copied without the terminator; 0 when the
// string does not exist.
int LoadStringW(HINSTANCE instance, UINT id, LPWSTR buffer, int cchBufferMax);

}  // namespace ce
