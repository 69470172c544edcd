// What the editor writes is what another program reads: every type edited in
// the value pane, then `devicectl dump --json` in a process of its own.

#include <gtest/gtest.h>

#include "platform/core/Text.h"
#include "platform/gui/CommCtrl.h"
#include "resources/EditorIds.h"
#include "tests/editor/EditorFixture.h"
#include "tests/support/Process.h"

namespace editor_test {
namespace {

using Strings = std::vector<std::u16string>;

class RoundTripTest : public EditorTest {
protected:
    std::string Dump(const char* name) {
        testing_support::ProcessResult result =
            testing_support::RunProgram(testing_support::BuiltProgram("devicectl"),
                                        {"dump", name, "--json"}, {device_.EnvAssignment()});
        EXPECT_EQ(result.exitCode, 0) << result.err;
        return result.out;
    }
};

TEST_F(RoundTripTest, EveryTypeTheEditorWritesIsWhatDevicectlReads) {
    MakeDatabase(u"Trip",
                 {{Int(1, 0), UInt(2, 0), Long(3, 0), ULong(4, 0), Float(5, 0.0), Bool(6, 0),
                   Date(7, 0x01DC000000000000ULL), Text(8, u"old"), Text(9, u"clear me"),
                   Blob(10, std::vector<BYTE>(65471, 0xAB)), Blob(11, {})}});
    RunEditor(u"Trip", [](EditorWindow& editor) {
        const std::pair<WORD, const char16_t*> numbers[] = {
            {1, u"-32768"}, {2, u"65535"}, {3, u"-2147483648"}, {4, u"4294967295"}, {5, u"-0.25"}};
        for (auto [id, text] : numbers) {
            editor.SelectProperty(id);
            editor.Type(res::IDC_VALUE_NUMBER, text);
        }
        editor.SelectProperty(6);
        CheckRadioButton(editor.hwnd(), res::IDC_VALUE_TRUE, res::IDC_VALUE_FALSE,
                         res::IDC_VALUE_TRUE);
        editor.SelectProperty(7);
        SYSTEMTIME picked{2026, 3, 3, 4, 5, 6, 7, 0};
        DateTime_SetSystemtime(GetDlgItem(editor.hwnd(), res::IDC_DATE_PICKER), GDT_VALID, &picked);
        DateTime_SetSystemtime(GetDlgItem(editor.hwnd(), res::IDC_TIME_PICKER), GDT_VALID, &picked);
        editor.SelectProperty(8);
        editor.Type(res::IDC_VALUE_TEXT, u"\u65e5\u672c \u00e9\u00e8 \U0001F600");
        editor.SelectProperty(9);
        editor.Type(res::IDC_VALUE_TEXT, u"");
        editor.SelectProperty(10);
        EXPECT_EQ(editor.SelectedRow(), u"BINARY 65471 10");
        editor.SelectProperty(11);
        EXPECT_EQ(editor.SelectedRow(), u"BINARY 0 11");
        editor.Done();
    });
    std::string dump = Dump("Trip");
    for (const char* expected : {
             "{\"id\":1,\"type\":\"INT\",\"value\":-32768}",
             "{\"id\":2,\"type\":\"UINT\",\"value\":65535}",
             "{\"id\":3,\"type\":\"LONG\",\"value\":-2147483648}",
             "{\"id\":4,\"type\":\"ULONG\",\"value\":4294967295}",
             "{\"id\":6,\"type\":\"BOOLEAN\",\"value\":1}",
             // 2026-03-04 05:06:07 (TZ=UTC) as a FILETIME.
             "{\"id\":7,\"type\":\"DATE\",\"value\":134170743670000000}",
             "{\"id\":8,\"type\":\"TEXT\",\"value\":\"\xe6\x97\xa5\xe6\x9c\xac \xc3\xa9\xc3\xa8 "
             "\xf0\x9f\x98\x80\"}",
             "{\"id\":9,\"type\":\"TEXT\",\"value\":null}",
             "{\"id\":11,\"type\":\"BINARY\",\"value\":\"\"}",
         })
        EXPECT_NE(dump.find(expected), std::string::npos) << expected << "\nin " << dump;
    EXPECT_NE(dump.find("{\"id\":5,\"type\":\"FLOAT\",\"value\":-0.25}"), std::string::npos)
        << dump;
    EXPECT_NE(dump.find("{\"id\":10,\"type\":\"BINARY\",\"value\":\"" +
                        [] {
                            std::string hex;
                            for (int i = 0; i < 65471; ++i)
                                hex += "ab";
                            return hex;
                        }() +
                        "\"}"),
              std::string::npos);
}

}  // namespace
}  // namespace editor_test
