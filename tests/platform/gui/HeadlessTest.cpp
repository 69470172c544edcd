#include <gtest/gtest.h>
#include <cstdio>

#include "platform/core/Text.h"
#include "platform/gui/Backend.h"
#include "platform/gui/Gdi.h"
#include "platform/gui/Resources.h"
#include "platform/gui/headless/ConsoleHost.h"
#include "platform/gui/headless/HeadlessBackend.h"
#include "platform/gui/testing/ScriptedUser.h"

namespace {

using namespace ce;
using ce::gui::MessageBoxRequest;

MessageBoxRequest Request(const char16_t* text, UINT style, UINT id = 0) {
    MessageBoxRequest r;
    r.text = text;
    r.caption = u"Tessaly";
    r.style = style;
    r.stringId = id;
    return r;
}

// The console host reads answers from a stream and writes to another.
struct Console {
    explicit Console(const char* input) {
        in = std::tmpfile();
        out = std::tmpfile();
        std::fputs(input, in);
        std::rewind(in);
    }
    ~Console() {
        std::fclose(in);
        std::fclose(out);
    }
    std::string Written() {
        std::rewind(out);
        std::string text;
        char buffer[256];
        while (std::fgets(buffer, sizeof buffer, out) != nullptr)
            text += buffer;
        return text;
    }
    std::FILE* in;
    std::FILE* out;
};

TEST(ConsoleHost, AMessageIsOneLineWithTheCaption) {
    Console console("");
    gui::ConsoleHost host(console.in, console.out);
    EXPECT_EQ(host.AnswerMessageBox(Request(u"Line one.\nLine  two.", MB_OK | MB_ICONEXCLAMATION)),
              IDOK);
    EXPECT_EQ(console.Written(), "Tessaly: Line one. Line two.\n");
}

TEST(ConsoleHost, QuestionsAreAnsweredFromInputAndNoAnswerIsNo) {
    Console console("y\n  n\nc\n");
    gui::ConsoleHost host(console.in, console.out);
    EXPECT_EQ(host.AnswerMessageBox(Request(u"Delete?", MB_YESNO)), IDYES);
    EXPECT_EQ(host.AnswerMessageBox(Request(u"Delete?", MB_YESNO)), IDNO);
    EXPECT_EQ(host.AnswerMessageBox(Request(u"Restore?", MB_YESNOCANCEL)), IDCANCEL);
    // Input is exhausted: the safe answers.
    EXPECT_EQ(host.AnswerMessageBox(Request(u"Restore?", MB_YESNOCANCEL)), IDCANCEL);
    EXPECT_EQ(host.AnswerMessageBox(Request(u"Delete?", MB_YESNO)), IDNO);
    EXPECT_NE(console.Written().find("Tessaly: Delete? [y/n]"), std::string::npos);
}

TEST(ScriptedUser, AnswersByStringIdInOrderAndRecordsEveryBox) {
    auto user = std::make_shared<gui::ScriptedUser>();
    gui::ScopedBackend scope(std::make_unique<gui::HeadlessBackend>(user));
    user->Answer(46, IDYES);
    user->Answer(46, IDNO);
    user->AlwaysAnswer(99, IDYES);
    EXPECT_EQ(gui::ShowMessageBox(Request(u"a", MB_YESNO, 46)), IDYES);
    EXPECT_EQ(gui::ShowMessageBox(Request(u"b", MB_YESNO, 46)), IDNO);
    EXPECT_EQ(gui::ShowMessageBox(Request(u"c", MB_YESNO, 99)), IDYES);
    EXPECT_EQ(gui::ShowMessageBox(Request(u"d", MB_YESNO, 99)), IDYES);
    EXPECT_EQ(gui::ShowMessageBox(Request(u"e", MB_OK, 31)), IDOK);  // OK needs no script
    EXPECT_EQ(user->ShownIds(), (std::vector<UINT>{46, 46, 99, 99, 31}));
    EXPECT_EQ(user->UnusedAnswers(), 0u);
}

TEST(ScriptedUser, AnUnscriptedQuestionFailsAndGetsTheSafeAnswer) {
    auto user = std::make_shared<gui::ScriptedUser>();
    std::vector<std::string> failures;
    user->SetFailureHandler([&](const std::string& what) { failures.push_back(what); });
    gui::ScopedBackend scope(std::make_unique<gui::HeadlessBackend>(user));
    EXPECT_EQ(MessageBoxW(nullptr, u"Overwrite?", u"Tessaly", MB_YESNOCANCEL), IDCANCEL);
    EXPECT_EQ(MessageBoxW(nullptr, u"Delete?", u"Tessaly", MB_YESNO | MB_DEFBUTTON2), IDNO);
    ASSERT_EQ(failures.size(), 2u);
    EXPECT_NE(failures[0].find("Overwrite?"), std::string::npos);
}

TEST(Resources, EditionEntriesReplaceCommonOnesAndLoadingTruncates) {
    static const StringResource common[] = {{1, u"Tessaly"}, {96, u"common text"}};
    static const StringResource edition[] = {{96, u"edition text"}};
    ResourceModule module;
    module.AddStrings(common);
    module.AddStrings(edition);
    WCHAR buffer[5];
    EXPECT_EQ(LoadStringW(&module, 96, buffer, 5), 4);
    EXPECT_EQ(std::u16string(buffer), u"edit");
    EXPECT_EQ(LoadStringW(&module, 2, buffer, 5), 0);
    EXPECT_EQ(buffer[0], 0);
}

TEST(Gdi, FontsCarryTheirWeightAndStockFontsSurviveDeletion) {
    std::size_t before = LiveGdiObjectCount();
    HGDIOBJ stock = GetStockObject(SYSTEM_FONT);
    LOGFONTW font;
    ASSERT_EQ(GetObjectW(stock, sizeof font, &font), static_cast<int>(sizeof font));
    font.lfWeight = FW_BOLD;
    HFONT bold = CreateFontIndirectW(&font);
    ASSERT_NE(bold, nullptr);
    EXPECT_EQ(FontDescription(bold)->lfWeight, FW_BOLD);
    EXPECT_TRUE(DeleteObject(stock));
    EXPECT_NE(FontDescription(stock), nullptr);
    EXPECT_TRUE(DeleteObject(bold));
    EXPECT_EQ(FontDescription(bold), nullptr);
    EXPECT_EQ(LiveGdiObjectCount(), before);
}

}  // namespace
