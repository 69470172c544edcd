// The Protect Backup and Enter Password dialogs, as a person answers them in
// a window and as the console host answers them in an unattended run.

#include "backup/PasswordDialogs.h"

#include <gtest/gtest.h>
#include <pty.h>
#include <termios.h>
#include <unistd.h>

#include <cstdio>
#include <string>
#include <thread>

#include "platform/core/Text.h"
#include "platform/gui/NativeEvents.h"
#include "platform/gui/ShellUi.h"
#include "platform/gui/WinUser.h"
#include "platform/gui/headless/ConsoleHost.h"
#include "platform/gui/headless/HeadlessBackend.h"
#include "platform/gui/testing/UserInput.h"
#include "resources/ControlIds.h"
#include "resources/DialogIds.h"
#include "resources/StringIds.h"
#include "tests/support/ScriptedSession.h"

namespace {

using namespace ce;
using testing_support::Edition;
using testing_support::ScriptedSession;

// Types into the fields and presses OK (the Done button of a full-screen
// dialog) as a person would.
void Confirm(HWND dialog) {
    if (HasDoneButton(dialog))
        gui::input::PressDone(dialog);
    else
        gui::input::ClickDlgButton(dialog, IDOK);
}

void TypeAndConfirm(HWND dialog, std::initializer_list<std::pair<int, const char16_t*>> fields) {
    for (const auto& [id, text] : fields)
        SetDlgItemTextW(dialog, id, text);
    Confirm(dialog);
}

std::u16string FieldText(HWND dialog, int id) {
    WCHAR text[64] = {};
    GetDlgItemTextW(dialog, id, text, 64);
    return text;
}

class PasswordDialogs : public ::testing::TestWithParam<Edition> {
protected:
    ScriptedSession session_{GetParam()};
    gui::ScriptedUser& user_ = session_.user();
};

TEST_P(PasswordDialogs, ANewPasswordNeedsFourCharactersAndTheSameConfirmation) {
    user_.OnDialog(res::IDD_PROTECT_PASSWORD, [this](HWND dialog) {
        TypeAndConfirm(dialog, {{res::IDC_PASSWORD, u"abc"}, {res::IDC_PASSWORD_CONFIRM, u"abc"}});
        EXPECT_TRUE(user_.WasShown(res::IDS_PASSWORD_TOO_SHORT));
        // The refused text is selected, ready to be typed over.
        gui::ControlValue field = gui::GetControlValue(GetDlgItem(dialog, res::IDC_PASSWORD));
        EXPECT_EQ(field.selectionStart, 0);
        EXPECT_EQ(field.selectionEnd, 3);
        TypeAndConfirm(dialog,
                       {{res::IDC_PASSWORD, u"Abcd"}, {res::IDC_PASSWORD_CONFIRM, u"abcd"}});
        EXPECT_TRUE(user_.WasShown(res::IDS_PASSWORD_NOT_CONFIRMED));
        TypeAndConfirm(dialog,
                       {{res::IDC_PASSWORD, u"Abcd"}, {res::IDC_PASSWORD_CONFIRM, u"Abcd"}});
    });
    WCHAR password[backup::kPasswordUnits] = {};
    ASSERT_TRUE(backup::AskProtectPassword(password, nullptr));
    EXPECT_EQ(std::u16string(password), u"Abcd");
    EXPECT_EQ(user_.ShownIds(),
              (std::vector<UINT>{res::IDS_PASSWORD_TOO_SHORT, res::IDS_PASSWORD_NOT_CONFIRMED}));
}

TEST_P(PasswordDialogs, BothFieldsLeftEmptyOrCancelSetNoPassword) {
    WCHAR password[backup::kPasswordUnits] = {u'x', 0};
    user_.OnDialog(res::IDD_PROTECT_PASSWORD, [](HWND dialog) { TypeAndConfirm(dialog, {}); });
    EXPECT_FALSE(backup::AskProtectPassword(password, nullptr));
    user_.OnDialog(res::IDD_PROTECT_PASSWORD, [](HWND dialog) {
        SetDlgItemTextW(dialog, res::IDC_PASSWORD, u"secret");
        SendMessageW(dialog, WM_COMMAND, IDCANCEL, 0);
    });
    EXPECT_FALSE(backup::AskProtectPassword(password, nullptr));
    EXPECT_EQ(std::u16string(password), u"x");
    EXPECT_TRUE(user_.ShownIds().empty());
}

TEST_P(PasswordDialogs, TheFieldsTakeNineteenCharacters) {
    user_.OnDialog(res::IDD_PROTECT_PASSWORD, [](HWND dialog) {
        for (int id : {res::IDC_PASSWORD, res::IDC_PASSWORD_CONFIRM}) {
            HWND field = GetDlgItem(dialog, id);
            SetFocus(field);
            for (int i = 0; i < 25; ++i)
                SendMessageW(field, WM_CHAR, u'a' + i, 0);
        }
        EXPECT_EQ(FieldText(dialog, res::IDC_PASSWORD), u"abcdefghijklmnopqrs");
        Confirm(dialog);
    });
    WCHAR password[backup::kPasswordUnits] = {};
    ASSERT_TRUE(backup::AskProtectPassword(password, nullptr));
    EXPECT_EQ(std::u16string(password), u"abcdefghijklmnopqrs");
}

TEST_P(PasswordDialogs, AnEmptyStoredPasswordAsksNothing) {
    EXPECT_TRUE(backup::AskPassword(u"", nullptr));
    EXPECT_TRUE(user_.dialogs().empty());
}

TEST_P(PasswordDialogs, OnlyTheExactPasswordOpensAndTriesAreUnlimited) {
    user_.OnDialog(res::IDD_ENTER_PASSWORD, [](HWND dialog) {
        for (const char16_t* wrong : {u"Secret", u"secre", u"secret "})
            TypeAndConfirm(dialog, {{res::IDC_PASSWORD_ENTER, wrong}});
        TypeAndConfirm(dialog, {{res::IDC_PASSWORD_ENTER, u"secret"}});
    });
    EXPECT_TRUE(backup::AskPassword(u"secret", nullptr));
    EXPECT_EQ(user_.CountShown(res::IDS_PASSWORD_INCORRECT), 3);
}

TEST_P(PasswordDialogs, ABlankPasswordEndsWithoutAMessage) {
    user_.OnDialog(res::IDD_ENTER_PASSWORD, [](HWND dialog) { TypeAndConfirm(dialog, {}); });
    EXPECT_FALSE(backup::AskPassword(u"secret", nullptr));
    EXPECT_TRUE(user_.ShownIds().empty());
}

INSTANTIATE_TEST_SUITE_P(BothEditions, PasswordDialogs,
                         ::testing::Values(Edition::Palm, Edition::Keyboard), [](const auto& info) {
                             return info.param == Edition::Palm ? "Palm" : "Keyboard";
                         });

// ---- On the console ----

// The console host of an unattended run, reading `input` and writing to a file.
class ConsolePasswords : public ::testing::Test {
protected:
    void Use(const char* input) {
        TearDown();
        in_ = std::tmpfile();
        out_ = std::tmpfile();
        std::fputs(input, in_);
        std::rewind(in_);
        console_ = std::make_unique<gui::ScopedBackend>(
            std::make_unique<gui::HeadlessBackend>(std::make_shared<gui::ConsoleHost>(in_, out_)));
    }
    void TearDown() override {
        console_.reset();
        if (in_ != nullptr) {
            std::fclose(in_);
            std::fclose(out_);
        }
        in_ = out_ = nullptr;
    }
    std::string Written() {
        std::rewind(out_);
        std::string text;
        for (int c; (c = std::fgetc(out_)) != EOF;)
            text.push_back(static_cast<char>(c));
        return text;
    }

    ScriptedSession session_{Edition::Keyboard};  // no pause before the question
    std::FILE* in_ = nullptr;
    std::FILE* out_ = nullptr;
    std::unique_ptr<gui::ScopedBackend> console_;
};

TEST_F(ConsolePasswords, AWrongPasswordIsSaidAndAskedForAgain) {
    Use("guess\nsecret\n");
    EXPECT_TRUE(backup::AskPassword(u"secret", nullptr));
    EXPECT_EQ(Written(), "Password: Tessaly: The password is incorrect!\nPassword: ");
}

TEST_F(ConsolePasswords, TheEndOfInputCancels) {
    Use("guess\n");
    EXPECT_FALSE(backup::AskPassword(u"secret", nullptr));
    Use("");
    WCHAR password[backup::kPasswordUnits] = {};
    EXPECT_FALSE(backup::AskProtectPassword(password, nullptr));
    EXPECT_EQ(password[0], 0);
}

TEST_F(ConsolePasswords, ANewPasswordIsTypedTwiceWithTheDialogsChecks) {
    Use("abc\nabc\nabcd\nabcd\n");
    WCHAR password[backup::kPasswordUnits] = {};
    ASSERT_TRUE(backup::AskProtectPassword(password, nullptr));
    EXPECT_EQ(std::u16string(password), u"abcd");
    EXPECT_NE(Written().find("Tessaly: Password must be minimum 4 characters long.\n"),
              std::string::npos);
}

TEST(ConsoleHost, ASecretTypedAtATerminalIsNotEchoedAndTheEchoComesBack) {
    int controller = -1, terminal = -1;
    ASSERT_EQ(openpty(&controller, &terminal, nullptr, nullptr, nullptr), 0);
    std::FILE* in = fdopen(terminal, "r");
    std::FILE* out = std::tmpfile();
    gui::ConsoleHost console(in, out);
    // Types only once the terminal has stopped echoing, as a person would
    // after the prompt.
    std::thread person([&] {
        for (int i = 0; i < 500; ++i) {
            struct termios now;
            if (tcgetattr(terminal, &now) == 0 && (now.c_lflag & ECHO) == 0)
                break;
            usleep(2000);
        }
        const char typed[] = "hush\n";
        EXPECT_EQ(write(controller, typed, sizeof typed - 1),
                  static_cast<ssize_t>(sizeof typed - 1));
    });
    std::optional<std::u16string> line = console.ReadLine(u"Password: ", true);
    person.join();
    ASSERT_TRUE(line.has_value());
    EXPECT_EQ(*line, u"hush");
    struct termios after;
    ASSERT_EQ(tcgetattr(terminal, &after), 0);
    EXPECT_NE(after.c_lflag & ECHO, 0u);
    // What the terminal showed: the line end only, never the secret.
    char shown[64] = {};
    ssize_t n = read(controller, shown, sizeof shown - 1);
    EXPECT_EQ(std::string(shown, n > 0 ? static_cast<std::size_t>(n) : 0).find("hush"),
              std::string::npos);
    std::fclose(out);
    std::fclose(in);
    close(controller);
}

TEST(ConsoleHost, LinesAreReadWholeWithoutTheirEndsAndNothingAtTheEnd) {
    std::FILE* in = std::tmpfile();
    std::FILE* out = std::tmpfile();
    std::fputs("first line\r\nzw\xc3\xb6lf\nlast", in);
    std::rewind(in);
    gui::ConsoleHost console(in, out);
    EXPECT_EQ(console.ReadLine(u"? ", false), std::optional<std::u16string>(u"first line"));
    EXPECT_EQ(console.ReadLine(u"? ", true), std::optional<std::u16string>(u"zw\u00f6lf"));
    EXPECT_EQ(console.ReadLine(u"? ", false), std::optional<std::u16string>(u"last"));
    EXPECT_EQ(console.ReadLine(u"? ", false), std::nullopt);
    std::fclose(in);
    std::fclose(out);
}

}  // namespace
