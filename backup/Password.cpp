#include "backup/Password.h"

namespace backup {

ce::WCHAR PasswordKey() {
    // Put together from its two bytes so the value does not sit in the
    // program as one searchable constant.
    volatile ce::WCHAR high = 0xE5;
    volatile ce::WCHAR low = 0xA7;
    return static_cast<ce::WCHAR>((high << 8) | low);
}

void ScramblePassword(ce::WCHAR* text, std::size_t units) {
    const ce::WCHAR key = PasswordKey();
    for (std::size_t i = 0; i < units && text[i] != 0; ++i)
        text[i] = static_cast<ce::WCHAR>(text[i] ^ key);
}

}  // namespace backup
