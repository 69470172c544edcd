#include "platform/gui/Resources.h"

#include "platform/core/ErrorCodes.h"
#include "platform/core/LastError.h"
#include "platform/core/Text.h"

namespace ce {

void ResourceModule::AddStrings(std::span<const StringResource> strings) {
    for (const StringResource& s : strings) strings_[s.id] = s.text;
}

const char16_t* ResourceModule::FindString(UINT id) const {
    auto it = strings_.find(id);
    return it == strings_.end() ? nullptr : it->second.data();
}

int LoadStringW(HINSTANCE instance, UINT id, LPWSTR buffer, int cchBufferMax) {
    if (buffer == nullptr || cchBufferMax <= 0) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    buffer[0] = 0;
    const char16_t* text = instance != nullptr ? instance->FindString(id) : nullptr;
    if (text == nullptr) {
        SetLastError(ERROR_FILE_NOT_FOUND);
        return 0;
    }
    return static_cast<int>(CopyWide(buffer, static_cast<std::size_t>(cchBufferMax), text));
}

}  // namespace ce
