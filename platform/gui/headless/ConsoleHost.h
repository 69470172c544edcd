#pragma once
// The user of an unattended run: a message box is one line on standard error
// ("Tessaly: text"); a question is asked there too and answered with a line
// on standard input ("y", "n", "c"); no answer (end of input) means No or
// Cancel.

#include <cstdio>

#include "platform/gui/headless/HeadlessUser.h"

namespace ce::gui {

class ConsoleHost : public HeadlessUser {
public:
    ConsoleHost() : ConsoleHost(stdin, stderr) {}
    ConsoleHost(std::FILE* input, std::FILE* output) : input_(input), output_(output) {}
    int AnswerMessageBox(const MessageBoxRequest& request) override;

    // The one-line form of a message: caption, ": ", and the text with its
    // line breaks turned into blanks.
    static std::string OneLine(const MessageBoxRequest& request);

private:
    std::FILE* input_;
    std::FILE* output_;
};

}  // namespace ce::gui
