#pragma once
// The user of an unattended run: a message box is one line on standard error
// ("Tessaly: text"); a question is asked there too and answered with a line
// on standard input ("y", "n", "c"); no answer (end of input) means No or
// Cancel. A dialog that must work in an unattended run registers an answer
// by its template: the console host runs it when the dialog waits for input,
// and the answer reads what it needs (a password without echo, a choice) and
// sets the dialog's controls and presses its buttons as a person would.

#include <cstdio>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <string_view>

#include "platform/gui/headless/HeadlessUser.h"

namespace ce::gui {

class ConsoleHost : public HeadlessUser {
public:
    // Acts in a dialog until it has ended or the answer gives up.
    using DialogAnswer = std::function<void(HWND dialog, ConsoleHost& console)>;

    ConsoleHost() : ConsoleHost(stdin, stderr) {}
    ConsoleHost(std::FILE* input, std::FILE* output) : input_(input), output_(output) {}
    int AnswerMessageBox(const MessageBoxRequest& request) override;
    bool ActOnDialog(HWND dialog, UINT templateId) override;

    // Every dialog made from `templateId` gets `answer` (replacing an earlier one).
    void AnswerDialog(UINT templateId, DialogAnswer answer);
    bool AnswersDialog(UINT templateId) const { return answers_.count(templateId) != 0; }

    // Writes `prompt` and reads one line (without its line end). With
    // `secret` and a terminal as input, what is typed is not echoed; from a
    // pipe or file the line is read as it stands. Nothing at end of input.
    std::optional<std::u16string> ReadLine(std::u16string_view prompt, bool secret);
    // Writes one line of text (a status line) to the console's output.
    void Say(std::u16string_view text);
    // Shows the progress of a long operation as one line, redrawn in place,
    // when the output is a terminal (nothing otherwise); EndProgress ends
    // the line. Anything else written meanwhile starts on a line of its own.
    void ShowProgress(std::u16string_view text);
    void EndProgress();

    // The one-line form of a message: caption, ": ", and the text with its
    // line breaks turned into blanks.
    static std::string OneLine(const MessageBoxRequest& request);

private:
    std::FILE* input_;
    std::FILE* output_;
    std::map<UINT, DialogAnswer> answers_;
    bool progressShown_ = false;
};

// The console host of the installed headless backend, or nullptr when the
// backend is another or its user is not a console (a test's scripted user).
ConsoleHost* CurrentConsole();

}  // namespace ce::gui
