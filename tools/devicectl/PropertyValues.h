#pragma once
// Property values as devicectl reads them from its command line and shows
// them: "ID:TYPE=VALUE" with the editor's type names.

#include <optional>
#include <string>
#include <vector>

#include "platform/core/Types.h"

namespace devicectl {

// The editor's name of a property type ("INT", "TEXT", ...), or "" for a
// type the object store does not know.
const char* TypeName(ce::WORD type);
std::optional<ce::WORD> TypeFromName(const std::string& name);

// One parsed property; owns its text and bytes.
struct ParsedProperty {
    ce::CEPROPVAL value{};
    std::u16string text;
    bool textAbsent = false;
    std::vector<ce::BYTE> bytes;
    // Points the value's text or blob pointer at the owned storage.
    void Bind();
};

// Parses "ID:TYPE=VALUE" (a TEXT without "=VALUE" is an absent text). On
// failure returns false with a message.
bool ParseProperty(const std::string& argument, ParsedProperty& out, std::string& error);

// The value as readable text (texts quoted, binary in hex, dates in UTC).
std::string ShowValue(const ce::CEPROPVAL& value);
// The value as a JSON value (text a string or null, binary a hex string,
// a date its FILETIME as an integer, a boolean 0 or 1, a FLOAT that is not a
// number "nan", "inf" or "-inf").
std::string JsonValue(const ce::CEPROPVAL& value);
std::string JsonString(const std::string& utf8);
std::string Hex(const ce::BYTE* bytes, std::size_t n);

// Parses a number in decimal (with an optional '-') or 0x hex, digits only;
// false when it is not one or does not fit.
bool ParseNumber(const std::string& text, long long& value);
// Parses hex bytes, two digits each ("00ff"); false when it is not that.
bool ParseHex(const std::string& text, std::vector<ce::BYTE>& bytes);

}  // namespace devicectl
