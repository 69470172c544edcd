#include "platform/gui/headless/ConsoleHost.h"

#include <termios.h>
#include <unistd.h>

#include <cctype>
#include <csignal>
#include <string>

#include "platform/core/Text.h"
#include "platform/gui/NativeEvents.h"
#include "platform/gui/headless/HeadlessBackend.h"

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

// While a secret is typed the terminal does not echo; an interrupt then
// puts the echo back before the program ends as it would have.
struct termios savedTerminal;
int hiddenFd = -1;

void RestoreEchoAndReraise(int signal) {
    if (hiddenFd >= 0)
        tcsetattr(hiddenFd, TCSAFLUSH, &savedTerminal);
    std::signal(signal, SIG_DFL);
    std::raise(signal);
}

class HiddenInput {
public:
    explicit HiddenInput(int fd) {
        if (tcgetattr(fd, &savedTerminal) != 0)
            return;
        struct termios quiet = savedTerminal;
        quiet.c_lflag &= ~static_cast<tcflag_t>(ECHO);
        quiet.c_lflag |= ECHONL;
        hiddenFd = fd;
        previousInt_ = std::signal(SIGINT, &RestoreEchoAndReraise);
        previousTerm_ = std::signal(SIGTERM, &RestoreEchoAndReraise);
        tcsetattr(fd, TCSAFLUSH, &quiet);
    }
    ~HiddenInput() {
        if (hiddenFd < 0)
            return;
        tcsetattr(hiddenFd, TCSAFLUSH, &savedTerminal);
        hiddenFd = -1;
        std::signal(SIGINT, previousInt_);
        std::signal(SIGTERM, previousTerm_);
    }
    HiddenInput(const HiddenInput&) = delete;
    HiddenInput& operator=(const HiddenInput&) = delete;

private:
    void (*previousInt_)(int) = SIG_DFL;
    void (*previousTerm_)(int) = SIG_DFL;
};

}  // namespace

ConsoleHost* CurrentConsole() {
    HeadlessBackend* backend = CurrentHeadless();
    return backend != nullptr ? dynamic_cast<ConsoleHost*>(&backend->user()) : nullptr;
}

void ConsoleHost::AnswerDialog(UINT templateId, DialogAnswer answer) {
    answers_[templateId] = std::move(answer);
}

bool ConsoleHost::ActOnDialog(HWND dialog, UINT templateId) {
    auto it = answers_.find(templateId);
    if (it == answers_.end())
        return false;
    DialogAnswer answer = it->second;  // the answer may register others
    answer(dialog, *this);
    return true;
}

std::optional<std::u16string> ConsoleHost::ReadLine(std::u16string_view prompt, bool secret) {
    EndProgress();
    std::fputs(WideToUtf8(prompt).c_str(), output_);
    std::fflush(output_);
    if (input_ == nullptr)
        return std::nullopt;
    int fd = fileno(input_);
    std::optional<HiddenInput> hidden;
    if (secret && fd >= 0 && isatty(fd))
        hidden.emplace(fd);
    std::string line;
    bool any = false;
    for (int c; (c = std::fgetc(input_)) != EOF;) {
        any = true;
        if (c == '\n')
            break;
        line.push_back(static_cast<char>(c));
    }
    hidden.reset();
    if (!any) {
        std::fputc('\n', output_);
        std::fflush(output_);
        return std::nullopt;
    }
    if (!line.empty() && line.back() == '\r')
        line.pop_back();
    return Utf8ToWide(line);
}

void ConsoleHost::ShowProgress(std::u16string_view text) {
    int fd = fileno(output_);
    if (fd < 0 || !isatty(fd))
        return;
    MessageBoxRequest line;
    line.caption = u"";
    line.text = text;
    std::string shown = OneLine(line);
    // Without its "Tessaly: " caption, and cleared to the end of the line.
    std::size_t colon = shown.find(": ");
    if (colon != std::string::npos)
        shown.erase(0, colon + 2);
    std::fprintf(output_, "\r%s\x1b[K", shown.c_str());
    std::fflush(output_);
    progressShown_ = true;
}

void ConsoleHost::EndProgress() {
    if (!progressShown_)
        return;
    progressShown_ = false;
    std::fputc('\n', output_);
    std::fflush(output_);
}

void ConsoleHost::Say(std::u16string_view text) {
    EndProgress();
    std::fprintf(output_, "%s\n", WideToUtf8(text).c_str());
    std::fflush(output_);
}

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
    EndProgress();
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
