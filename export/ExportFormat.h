#pragma once
// The bytes of an exported database: one line a record, the record's
// property values in their stored order separated by commas or tabs, in
// 8-bit characters (the low byte of each UTF-16 unit, no code-page
// conversion) or in UTF-16LE units after a byte order mark. Lines end with
// CR LF; there is no header line.
//
// Texts are always quoted; numbers, floating values and dates are quoted in
// comma mode, and in tab mode only when their text holds a tab or a comma.
// A quoted field doubles every double quote inside it. Booleans, binary
// values and unknown types give an empty field; an absent or empty text
// gives nothing, not even the quotes.

#include <string>
#include <vector>

#include "platform/core/Types.h"

namespace textexport {

using ce::BYTE;
using ce::CEPROPVAL;
using ce::WCHAR;
using ce::WORD;

enum FileType : int { kTabSeparated = 0, kCommaSeparated = 1 };

inline constexpr WCHAR kTab = 0x09;
inline constexpr WCHAR kComma = 0x2C;

// The separator of a file type: tab for 0, comma otherwise.
WCHAR SeparatorOf(int fileType);

// The text of one property's field (before quoting), and whether a field of
// that text is quoted with `separator`.
std::u16string FieldText(const CEPROPVAL& value);
bool IsQuoted(WORD type, std::u16string_view text, WCHAR separator);

// Appends characters in the file's encoding to a byte buffer.
class LineEncoder {
public:
    LineEncoder(bool unicode, WCHAR separator) : unicode_(unicode), separator_(separator) {}

    // FF FE in UNICODE mode; nothing in 8-bit mode.
    void AppendByteOrderMark(std::vector<BYTE>& out) const;
    // The line of one record, line end included.
    void AppendRecord(const CEPROPVAL* values, WORD count, std::vector<BYTE>& out) const;

    bool unicode() const { return unicode_; }
    WCHAR separator() const { return separator_; }

private:
    void Put(WCHAR unit, std::vector<BYTE>& out) const;
    void AppendField(const CEPROPVAL& value, std::vector<BYTE>& out) const;

    bool unicode_;
    WCHAR separator_;
};

}  // namespace textexport
