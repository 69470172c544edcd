#pragma once
// Fonts and text between the window system and Qt: UTF-16 texts, a
// LOGFONTW as a QFont, colours.

#include <QColor>
#include <QFont>
#include <QString>
#include <string>
#include <string_view>

#include "platform/gui/WinTypes.h"

namespace ce::gui::qt {

inline QString ToQString(std::u16string_view text) {
    return QString::fromUtf16(text.data(), static_cast<qsizetype>(text.size()));
}

inline std::u16string ToWide(const QString& text) {
    return std::u16string(reinterpret_cast<const char16_t*>(text.utf16()),
                          static_cast<std::size_t>(text.size()));
}

inline QColor ToQColor(COLORREF color) {
    return QColor(GetRValue(color), GetGValue(color), GetBValue(color));
}

// The font a LOGFONTW describes: its height in pixels (negative for the
// character height, positive for the cell), weight, italics and face, with
// the platform's faces mapped to fonts of this host. Heights are device
// pixels, already grown with the screen's density where it is high.
QFont ToQFont(const LOGFONTW& font, int dpi);

// Turns "&File" into "File" and "&&" into "&", as a label shows it.
QString WithoutPrefixes(const QString& text);

}  // namespace ce::gui::qt
