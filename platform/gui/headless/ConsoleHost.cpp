#include "platform/gui/headless/ConsoleHost.h"

#include <cctype>
#include <string>

#include "platform/core/Text.h"

namespace ce::gui {
namespace {

const char* Choices(UINT type) {
    switch (type) {
        case MB_OKCANCEL:
            return " [o/c] ";
        case MB_YESNO:
            return " [y/n] ";
        case MB_YESNOCANCEL:
            return " [y/n/c] ";
        case MB_RETRYCANCEL:
            return " [r/c] ";
        case MB_ABORTRETRYIGNORE:
            return " [a/r/i] ";
        default:
            return "";
    }
}

int Interpret(UINT type, char c) {
    c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    switch (type) {
        case MB_OKCANCEL:
            return (c == 'o' || c == 'y') ? IDOK : IDCANCEL;
        case MB_YESNO:
            return c == 'y' ? IDYES : IDNO;
        case MB_YESNOCANCEL:
            return c == 'y' ? IDYES : c == 'n' ? IDNO : IDCANCEL;
        case MB_RETRYCANCEL:
            return c == 'r' ? IDRETRY : IDCANCEL;
        case MB_ABORTRETRYIGNORE:
            return c == 'r' ? IDRETRY : c == 'i' ? IDIGNORE : IDABORT;
        default:
            return IDOK;
    }
}

}  // namespace

std::string ConsoleHost::OneLine(const MessageBoxRequest& request) {
    std::u16string line = request.caption.empty() ? u"Tessaly" : request.caption;
    line += u": ";
    bool lastBlank = false;
    for (char16_t c : request.text) {
        if (c == u'\n' || c == u'\r' || c == u'\t')
            c = u' ';
        if (c == u' ' && lastBlank)
            continue;
        lastBlank = c == u' ';
        line.push_back(c);
    }
    while (!line.empty() && line.back() == u' ')
        line.pop_back();
    return WideToUtf8(line);
}

int ConsoleHost::AnswerMessageBox(const MessageBoxRequest& request) {
    UINT type = request.style & MB_TYPEMASK;
    std::string line = OneLine(request) + Choices(type);
    if (type == MB_OK) {
        std::fprintf(output_, "%s\n", line.c_str());
        std::fflush(output_);
        return IDOK;
    }
    std::fprintf(output_, "%s", line.c_str());
    std::fflush(output_);
    char answer[64];
    if (input_ == nullptr || std::fgets(answer, sizeof answer, input_) == nullptr) {
        std::fprintf(output_, "\n");
        std::fflush(output_);
        return SafeAnswer(request.style);
    }
    std::size_t i = 0;
    while (answer[i] == ' ' || answer[i] == '\t')
        ++i;
    if (answer[i] == '\n' || answer[i] == 0)
        return SafeAnswer(request.style);
    return Interpret(type, answer[i]);
}

}  // namespace ce::gui
