// A property copied in one running editor pastes into another process's
// editor through the desktop's real clipboard, under the program's own MIME
// type. The test is the copying process; it starts a second process (this
// program again, on a device of its own) that pastes, and serves the
// clipboard from its own event loop meanwhile. Both need an X server: the
// test command runs them under Xvfb.

#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>
#include <QProcess>
#include <QProcessEnvironment>
#include <cstdlib>

#include "editor/RecordEditor.h"
#include "platform/core/Handles.h"
#include "platform/core/LocalMemory.h"
#include "platform/gui/CommCtrl.h"
#include "platform/objectstore/ObjectStore.h"
#include "resources/ControlIds.h"
#include "resources/EditorIds.h"
#include "tests/app/qt/BrowserQtFixture.h"

namespace {

using namespace ce;

constexpr const char* kPeerVariable = "TESSALY_CLIPBOARD_PEER";
constexpr const char16_t* kCopied = u"copied across processes, ünïcode";

bool OnX() {
    const char* platform = std::getenv("QT_QPA_PLATFORM");
    return std::getenv("DISPLAY") != nullptr && platform != nullptr &&
           std::string(platform) == "xcb";
}

class EditorClipboard : public browser_qt::BrowserQt {
protected:
    void SetUp() override {
        if (!OnX())
            GTEST_SKIP() << "needs an X server (the test command starts Xvfb)";
        BrowserQt::SetUp();
    }
    static void MakeRecord(const char16_t* database, CEPROPVAL value) {
        CEOID oid = CeCreateDatabase(database, 0, 0, nullptr);
        ASSERT_NE(oid, 0u);
        HANDLE handle = CeOpenDatabase(&oid, nullptr, 0, 0, nullptr);
        ASSERT_NE(CeWriteRecordProps(handle, 0, 1, &value), 0u);
        CloseHandle(handle);
    }
    // The text of property `id` of the database's first record.
    static std::u16string StoredText(const char16_t* database, WORD id) {
        CEOID oid = 0;
        HANDLE handle = CeOpenDatabase(&oid, database, 0, 0, nullptr);
        BYTE* buffer = nullptr;
        DWORD size = 0;
        WORD count = 0;
        std::u16string text;
        if (CeReadRecordProps(handle, CEDB_ALLOWREALLOC, &count, nullptr, &buffer, &size) != 0) {
            for (WORD i = 0; i < count; ++i) {
                const CEPROPVAL& p = reinterpret_cast<CEPROPVAL*>(buffer)[i];
                if (p.propid == MakePropID(id, CEVT_LPWSTR) && p.val.lpwstr != nullptr)
                    text = p.val.lpwstr;
            }
        }
        LocalFree(buffer);
        CloseHandle(handle);
        return text;
    }
    static void SelectFirstRow(HWND editor) {
        HWND list = GetDlgItem(editor, res::IDC_PROPERTY_LIST);
        ListView_SetItemState(list, 0, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
        SetFocus(list);
    }
};

TEST_F(EditorClipboard, APropertyCopiedInOneProcessPastesInAnother) {
    std::u16string text = kCopied;
    CEPROPVAL value{};
    value.propid = MakePropID(7, CEVT_LPWSTR);
    value.val.lpwstr = text.data();
    MakeRecord(u"Source", value);
    Start();

    QProcess peer;
    bool mimeOffered = false;
    When([] { return editor::CurrentEditorWindow() != nullptr; },
         [&, this] {
             HWND editor = editor::CurrentEditorWindow();
             SelectFirstRow(editor);
             SendMessageW(editor, WM_COMMAND, res::IDM_EDIT_COPY, 0);
             const QMimeData* data = QGuiApplication::clipboard()->mimeData();
             mimeOffered =
                 data != nullptr && data->hasFormat("application/x-tessaly-TS_DatabasePropFmt");
             // The peer pastes while this editor's loop serves the clipboard.
             QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
             environment.insert(kPeerVariable, "1");
             environment.remove("TESSALY_DEVICE");
             peer.setProcessEnvironment(environment);
             peer.setProcessChannelMode(QProcess::MergedChannels);
             peer.start(QCoreApplication::applicationFilePath(),
                        {"--gtest_filter=EditorClipboardPeer.*"});
             When([&peer] { return peer.state() == QProcess::NotRunning; },
                  [editor, this] { PressDone(editor); });
         });
    RunLoop([this] { editor::RunRecordEditor(main(), u"Source"); });
    ASSERT_TRUE(AllActed());
    EXPECT_TRUE(mimeOffered);
    peer.waitForFinished(1000);
    std::string output = peer.readAll().toStdString();
    EXPECT_EQ(peer.exitCode(), 0) << output;
    EXPECT_NE(output.find("[  PASSED  ] 1 test"), std::string::npos) << output;
}

// The pasting side, run only by the test above in a process of its own.
class EditorClipboardPeer : public EditorClipboard {};

TEST_F(EditorClipboardPeer, PastesWhatTheOtherProcessCopied) {
    if (std::getenv(kPeerVariable) == nullptr)
        GTEST_SKIP() << "run by APropertyCopiedInOneProcessPastesInAnother";
    CEPROPVAL value{};
    value.propid = MakePropID(1, CEVT_I4);
    value.val.lVal = 5;
    MakeRecord(u"Target", value);
    Start();
    bool offered = false;
    When([] { return editor::CurrentEditorWindow() != nullptr; },
         [&, this] {
             HWND editor = editor::CurrentEditorWindow();
             SelectFirstRow(editor);
             offered =
                 IsClipboardFormatAvailable(RegisterClipboardFormatW(u"TS_DatabasePropFmt")) != 0;
             SendMessageW(editor, WM_COMMAND, res::IDM_EDIT_PASTE, 0);
             PressDone(editor);
         });
    RunLoop([this] { editor::RunRecordEditor(main(), u"Target"); });
    ASSERT_TRUE(AllActed());
    EXPECT_TRUE(offered);
    EXPECT_EQ(StoredText(u"Target", 7), kCopied);
}

}  // namespace
