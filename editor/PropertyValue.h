#pragma once
// One property with its own copy of the text or bytes it points to: the
// undo copy, what the clipboard carries and what Paste writes.

#include <string>
#include <vector>

#include "platform/core/Types.h"

namespace editor {

using ce::BYTE;
using ce::CEPROPVAL;

class PropertyValue {
public:
    PropertyValue() = default;
    // Copies the value and the data it points to.
    explicit PropertyValue(const CEPROPVAL& value);
    PropertyValue(const PropertyValue& other) : PropertyValue(other.Value()) {}
    PropertyValue& operator=(const PropertyValue& other);

    ce::CEPROPID propid() const { return header_.propid; }
    // The value, its pointers into this object's own copy (null for an
    // absent text or an empty blob).
    CEPROPVAL Value() const;
    // For the text: whether one is present, and its characters.
    bool hasText() const { return hasText_; }
    const std::u16string& text() const { return text_; }
    const std::vector<BYTE>& bytes() const { return bytes_; }

    void SetText(std::u16string text, bool present);
    void SetBytes(std::vector<BYTE> bytes);
    void SetHeader(const CEPROPVAL& header) { header_ = header; }

private:
    CEPROPVAL header_{};
    bool hasText_ = false;
    std::u16string text_;
    mutable std::u16string terminated_;
    std::vector<BYTE> bytes_;
};

// Whether two values of the same type hold the same value (texts compared
// exactly, an absent text as empty; the 8 value bytes of other types).
bool SameValue(const CEPROPVAL& a, const CEPROPVAL& b);

}  // namespace editor
