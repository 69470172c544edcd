#include "platform/gui/qt/QtText.h"

#include <QFontMetrics>
#include <cstdlib>

namespace ce::gui::qt {
namespace {

// The device's own faces; a clean, narrow sans serif stands in for them.
bool IsDeviceFace(const QString& name) {
    return name.isEmpty() || name.compare(u"Tahoma", Qt::CaseInsensitive) == 0 ||
           name.compare(u"MS Sans Serif", Qt::CaseInsensitive) == 0 ||
           name.compare(u"System", Qt::CaseInsensitive) == 0;
}

QString RequestedFace(const LOGFONTW& font) {
    std::u16string_view face(font.lfFaceName);
    std::size_t end = face.find(u'\0');
    return ToQString(face.substr(0, std::min<std::size_t>(end, LF_FACESIZE)));
}

QString FaceOf(const QString& name) {
    if (IsDeviceFace(name))
        return QStringLiteral("DejaVu Sans Condensed");
    if (name.compare(u"Courier New", Qt::CaseInsensitive) == 0)
        return QStringLiteral("DejaVu Sans Mono");
    return name;
}

}  // namespace

QFont ToQFont(const LOGFONTW& font, int dpi) {
    QString requested = RequestedFace(font);
    QFont result(FaceOf(requested));
    result.setStyleHint(QFont::SansSerif);
    result.setWeight(font.lfWeight >= 600 ? QFont::Bold : QFont::Normal);
    result.setItalic(font.lfItalic != 0);
    result.setUnderline(font.lfUnderline != 0);
    result.setStrikeOut(font.lfStrikeOut != 0);
    result.setHintingPreference(QFont::PreferFullHinting);
    int height = font.lfHeight == 0 ? 13 : std::abs(static_cast<int>(font.lfHeight));
    // The stand-in runs wider than the device's face: one size or two
    // smaller keeps what was laid out for the device inside its screen.
    if (IsDeviceFace(requested) && height > 8)
        height = (height * 5 + 3) / 6;
    // The height is in the device's pixels, the screen's density included
    // (stock fonts and dialog fonts are made at it): nothing to scale here.
    (void)dpi;
    result.setPixelSize(std::max(1, height));
    if (font.lfHeight > 0) {
        // A positive height is the whole cell: fit the character height into it.
        QFontMetrics metrics(result);
        if (metrics.height() > height)
            result.setPixelSize(std::max(1, height * height / metrics.height()));
    }
    return result;
}

QString WithoutPrefixes(const QString& text) {
    QString out;
    out.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i] == u'&' && i + 1 < text.size()) {
            out.append(text[++i]);
            continue;
        }
        if (text[i] != u'&')
            out.append(text[i]);
    }
    return out;
}

}  // namespace ce::gui::qt
