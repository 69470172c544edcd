#include "platform/core/WideFormat.h"

#include "platform/core/Text.h"

namespace ce {
namespace {

struct Spec {
    bool leftAlign = false;
    bool zeroPad = false;
    int width = 0;
    int precision = -1;
    int size = 0;  // 0 int, 1 short, 2 long, 3 64-bit
    char16_t conversion = 0;
};

// Parses a conversion at `format[i]` (just after the '%'); returns the index
// after it, or npos when the text is not a conversion.
std::size_t ParseSpec(std::u16string_view format, std::size_t i, Spec& spec) {
    while (i < format.size() && (format[i] == u'-' || format[i] == u'0')) {
        if (format[i] == u'-')
            spec.leftAlign = true;
        if (format[i] == u'0')
            spec.zeroPad = true;
        ++i;
    }
    while (i < format.size() && format[i] >= u'0' && format[i] <= u'9') {
        if (spec.width < 10000)
            spec.width = spec.width * 10 + (format[i] - u'0');
        ++i;
    }
    if (i < format.size() && format[i] == u'.') {
        ++i;
        spec.precision = 0;
        while (i < format.size() && format[i] >= u'0' && format[i] <= u'9') {
            if (spec.precision < 10000)
                spec.precision = spec.precision * 10 + (format[i] - u'0');
            ++i;
        }
    }
    if (i < format.size() && format[i] == u'l') {
        spec.size = 2;
        ++i;
        if (i < format.size() && format[i] == u'l') {
            spec.size = 3;
            ++i;
        }
    } else if (i < format.size() && format[i] == u'h') {
        spec.size = 1;
        ++i;
    } else if (format.substr(i, 3) == u"I64") {
        spec.size = 3;
        i += 3;
    }
    if (i >= format.size())
        return std::u16string_view::npos;
    spec.conversion = format[i];
    switch (spec.conversion) {
        case u'd':
        case u'i':
        case u'u':
        case u'x':
        case u'X':
        case u's':
        case u'S':
        case u'c':
            return i + 1;
        default:
            return std::u16string_view::npos;
    }
}

std::u16string Digits(std::uint64_t value, unsigned base, bool upper) {
    const char16_t* digits = upper ? u"0123456789ABCDEF" : u"0123456789abcdef";
    std::u16string out;
    do {
        out.insert(out.begin(), digits[value % base]);
        value /= base;
    } while (value != 0);
    return out;
}

std::u16string Convert(const Spec& spec, const FormatArg* arg) {
    std::u16string body;
    std::u16string sign;
    bool numeric = true;
    if (arg == nullptr)
        return {};
    switch (spec.conversion) {
        case u's':
        case u'S': {
            numeric = false;
            std::u16string_view text = arg->IsText() ? arg->Text() : std::u16string_view{};
            if (spec.precision >= 0 && text.size() > static_cast<std::size_t>(spec.precision)) {
                text = text.substr(0, spec.precision);
            }
            body = text;
            break;
        }
        case u'c':
            numeric = false;
            if (!arg->IsText())
                body.push_back(static_cast<char16_t>(arg->Integer()));
            break;
        case u'd':
        case u'i': {
            std::int64_t v = arg->Integer();
            if (spec.size == 1)
                v = static_cast<std::int16_t>(v);
            else if (spec.size != 3)
                v = static_cast<std::int32_t>(v);
            if (v < 0) {
                sign = u"-";
                body = Digits(static_cast<std::uint64_t>(-(v + 1)) + 1, 10, false);
            } else {
                body = Digits(static_cast<std::uint64_t>(v), 10, false);
            }
            break;
        }
        default: {
            auto v = static_cast<std::uint64_t>(arg->Integer());
            if (spec.size == 1)
                v = static_cast<std::uint16_t>(v);
            else if (spec.size != 3)
                v = static_cast<std::uint32_t>(v);
            unsigned base = spec.conversion == u'u' ? 10 : 16;
            body = Digits(v, base, spec.conversion == u'X');
            break;
        }
    }
    if (numeric && spec.precision >= 0 && body.size() < static_cast<std::size_t>(spec.precision)) {
        body.insert(0, spec.precision - body.size(), u'0');
    }
    std::size_t total = sign.size() + body.size();
    if (static_cast<std::size_t>(spec.width) > total) {
        std::size_t pad = spec.width - total;
        if (spec.leftAlign) {
            body.append(pad, u' ');
        } else if (spec.zeroPad && numeric && spec.precision < 0) {
            body.insert(0, pad, u'0');
        } else {
            sign.insert(0, pad, u' ');
        }
    }
    return sign + body;
}

}  // namespace

std::u16string FormatWide(std::u16string_view format, std::initializer_list<FormatArg> args) {
    std::u16string out;
    const FormatArg* next = args.begin();
    for (std::size_t i = 0; i < format.size();) {
        if (format[i] != u'%') {
            out.push_back(format[i++]);
            continue;
        }
        if (i + 1 < format.size() && format[i + 1] == u'%') {
            out.push_back(u'%');
            i += 2;
            continue;
        }
        Spec spec;
        std::size_t end = ParseSpec(format, i + 1, spec);
        if (end == std::u16string_view::npos) {
            out.push_back(format[i++]);
            continue;
        }
        const FormatArg* arg = next != args.end() ? next++ : nullptr;
        out += Convert(spec, arg);
        i = end;
    }
    return out;
}

std::size_t FormatWideInto(WCHAR* buffer, std::size_t capacity, std::u16string_view format,
                           std::initializer_list<FormatArg> args) {
    return CopyWide(buffer, capacity, FormatWide(format, args));
}

int CountPlaceholders(std::u16string_view format) {
    int count = 0;
    for (std::size_t i = 0; i < format.size(); ++i) {
        if (format[i] != u'%')
            continue;
        if (i + 1 < format.size() && format[i + 1] == u'%') {
            ++i;
            continue;
        }
        Spec spec;
        std::size_t end = ParseSpec(format, i + 1, spec);
        if (end != std::u16string_view::npos) {
            ++count;
            i = end - 1;
        }
    }
    return count;
}

}  // namespace ce
