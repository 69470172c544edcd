// Windows, dialogs and native controls of the Qt backend, driven through
// the window API and through simulated user input.

#include <QCheckBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QTimer>
#include <QToolButton>

#include "QtFixture.h"
#include "platform/gui/CommCtrl.h"
#include "platform/gui/Gdi.h"
#include "platform/gui/Resources.h"
#include "platform/gui/ShellUi.h"
#include "platform/gui/qt/FrameWidget.h"

namespace {

using namespace ce;
using qt_testing::Message;

constexpr UINT kDialog = 900;
constexpr int kName = 1001, kCompress = 1002, kManual = 1003, kFirst = 1004, kSecond = 1005;
constexpr int kProgress = 1006, kNotes = 1007;

const ResourceModule* TestResources() {
    static const ResourceModule* module = [] {
        auto* m = new ResourceModule;
        constexpr DWORD child = WS_CHILD | WS_VISIBLE;
        m->AddDialog(
            {kDialog,
             WS_POPUP | WS_CAPTION,
             0,
             0,
             0,
             160,
             150,
             u"Test",
             nullptr,
             0,
             {
                 {u"STATIC", u"&Name:", static_cast<UINT>(-1), 4, 6, 30, 10, child},
                 {u"EDIT", u"", kName, 36, 4, 110, 12,
                  child | WS_TABSTOP | WS_BORDER | ES_AUTOHSCROLL},
                 {u"BUTTON", u"Compress", kCompress, 4, 22, 100, 12,
                  child | WS_TABSTOP | BS_AUTOCHECKBOX},
                 {u"BUTTON", u"Manual", kManual, 4, 36, 100, 12, child | WS_TABSTOP | BS_CHECKBOX},
                 {u"BUTTON", u"First", kFirst, 4, 50, 60, 12,
                  child | WS_GROUP | BS_AUTORADIOBUTTON},
                 {u"BUTTON", u"Second", kSecond, 70, 50, 60, 12, child | BS_AUTORADIOBUTTON},
                 {u"msctls_progress32", u"", kProgress, 4, 66, 150, 8, child},
                 {u"EDIT", u"", kNotes, 4, 78, 150, 30,
                  child | WS_TABSTOP | WS_BORDER | ES_MULTILINE | ES_WANTRETURN},
                 {u"BUTTON", u"OK", IDOK, 20, 114, 50, 14, child | WS_TABSTOP | BS_DEFPUSHBUTTON},
                 {u"BUTTON", u"Cancel", IDCANCEL, 90, 114, 50, 14,
                  child | WS_TABSTOP | BS_PUSHBUTTON},
             }});
        return m;
    }();
    return module;
}

std::vector<Message>& Commands() {
    static std::vector<Message> commands;
    return commands;
}

HWND openDialog = nullptr;

BOOL TestDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_INITDIALOG) {
        openDialog = dialog;
        return TRUE;
    }
    if (message == WM_COMMAND) {
        Commands().push_back({dialog, message, wParam, lParam});
        int id = LOWORD(static_cast<DWORD>(wParam));
        if (id == IDOK || id == IDCANCEL)
            EndDialog(dialog, id);
        return TRUE;
    }
    return FALSE;
}

bool Heard(int id, WORD code) {
    for (const Message& m : Commands()) {
        if (LOWORD(static_cast<DWORD>(m.wParam)) == id &&
            HIWORD(static_cast<DWORD>(m.wParam)) == code)
            return true;
    }
    return false;
}

class QtDialogs : public qt_testing::QtWindows {
protected:
    void SetUp() override {
        QtWindows::SetUp();
        Commands().clear();
        openDialog = nullptr;
    }
    HWND OpenModeless() {
        HWND dialog = CreateDialogParamW(TestResources(), MAKEINTRESOURCE(kDialog), nullptr,
                                         TestDialogProc, 0);
        ShowWindow(dialog, SW_SHOW);
        Settle();
        return dialog;
    }
};

TEST_F(QtDialogs, NativeControlsShowCoreState) {
    HWND dialog = OpenModeless();
    ASSERT_NE(dialog, nullptr);
    auto* name = PeerAs<QLineEdit>(GetDlgItem(dialog, kName));
    ASSERT_NE(name, nullptr);
    RECT r;
    GetWindowRect(GetDlgItem(dialog, kName), &r);
    EXPECT_EQ(name->width(), r.right - r.left);
    EXPECT_EQ(name->height(), r.bottom - r.top);
    EXPECT_TRUE(name->isVisible());

    SetDlgItemTextW(dialog, kName, u"Contacts");
    EXPECT_EQ(name->text(), QStringLiteral("Contacts"));
    SendDlgItemMessageW(dialog, kName, EM_LIMITTEXT, 12, 0);
    EXPECT_EQ(name->maxLength(), 12);
    SendDlgItemMessageW(dialog, kName, EM_SETSEL, 0, 3);
    EXPECT_EQ(name->selectedText(), QStringLiteral("Con"));

    CheckRadioButton(dialog, kFirst, kSecond, kSecond);
    EXPECT_TRUE(PeerAs<QRadioButton>(GetDlgItem(dialog, kSecond))->isChecked());
    EXPECT_FALSE(PeerAs<QRadioButton>(GetDlgItem(dialog, kFirst))->isChecked());

    SendDlgItemMessageW(dialog, kProgress, PBM_SETRANGE32, 0, 10);
    SendDlgItemMessageW(dialog, kProgress, PBM_SETPOS, 4, 0);
    auto* bar = PeerAs<QProgressBar>(GetDlgItem(dialog, kProgress));
    EXPECT_EQ(bar->maximum(), 10);
    EXPECT_EQ(bar->value(), 4);

    HWND compress = GetDlgItem(dialog, kCompress);
    EnableWindow(compress, FALSE);
    EXPECT_FALSE(WidgetOf(compress)->isEnabled());
    ShowWindow(compress, SW_HIDE);
    EXPECT_FALSE(WidgetOf(compress)->isVisible());

    // Line breaks are "\r\n" in core and one character in Qt, selections too.
    SetDlgItemTextW(dialog, kNotes, u"ab\r\ncd");
    auto* notes = PeerAs<QPlainTextEdit>(GetDlgItem(dialog, kNotes));
    EXPECT_EQ(notes->toPlainText(), QStringLiteral("ab\ncd"));
    SendDlgItemMessageW(dialog, kNotes, EM_SETSEL, 4, 6);
    EXPECT_EQ(notes->textCursor().selectedText(), QStringLiteral("cd"));
    DestroyWindow(dialog);
    EXPECT_EQ(qt_->PeerOf(dialog), nullptr);
}

TEST_F(QtDialogs, TypingAndClickingReachCore) {
    HWND dialog = OpenModeless();
    HWND nameWindow = GetDlgItem(dialog, kName);
    SetFocus(nameWindow);
    auto* name = PeerAs<QLineEdit>(nameWindow);
    QTest::keyClicks(name, "Inbox");
    Settle();
    WCHAR text[32];
    GetDlgItemTextW(dialog, kName, text, 32);
    EXPECT_EQ(std::u16string(text), u"Inbox");
    EXPECT_TRUE(Heard(kName, EN_CHANGE));
    DWORD start = 0, end = 0;
    SendMessageW(nameWindow, EM_GETSEL, reinterpret_cast<WPARAM>(&start),
                 reinterpret_cast<LPARAM>(&end));
    EXPECT_EQ(start, 5u);

    // A limit set in core stops typing in the field.
    SendMessageW(nameWindow, EM_LIMITTEXT, 6, 0);
    QTest::keyClicks(name, "xyz");
    Settle();
    GetDlgItemTextW(dialog, kName, text, 32);
    EXPECT_EQ(std::u16string(text), u"Inboxx");

    auto* compress = PeerAs<QCheckBox>(GetDlgItem(dialog, kCompress));
    QTest::mouseClick(compress, Qt::LeftButton, {}, QPoint(6, compress->height() / 2));
    Settle();
    EXPECT_EQ(IsDlgButtonChecked(dialog, kCompress), BST_CHECKED);
    EXPECT_TRUE(compress->isChecked());
    EXPECT_TRUE(Heard(kCompress, BN_CLICKED));

    // A check box that does not check itself stays as core has it.
    auto* manual = PeerAs<QCheckBox>(GetDlgItem(dialog, kManual));
    QTest::mouseClick(manual, Qt::LeftButton, {}, QPoint(6, manual->height() / 2));
    Settle();
    EXPECT_TRUE(Heard(kManual, BN_CLICKED));
    EXPECT_EQ(IsDlgButtonChecked(dialog, kManual), BST_UNCHECKED);
    EXPECT_FALSE(manual->isChecked());

    // Automatic radio buttons: core unchecks the rest of the group.
    QTest::mouseClick(PeerAs<QRadioButton>(GetDlgItem(dialog, kFirst)), Qt::LeftButton, {},
                      QPoint(6, 6));
    Settle();
    QTest::mouseClick(PeerAs<QRadioButton>(GetDlgItem(dialog, kSecond)), Qt::LeftButton, {},
                      QPoint(6, 6));
    Settle();
    EXPECT_EQ(IsDlgButtonChecked(dialog, kFirst), BST_UNCHECKED);
    EXPECT_EQ(IsDlgButtonChecked(dialog, kSecond), BST_CHECKED);
    EXPECT_FALSE(PeerAs<QRadioButton>(GetDlgItem(dialog, kFirst))->isChecked());

    // Enter in a multi-line field that wants it is a line break, not OK.
    HWND notesWindow = GetDlgItem(dialog, kNotes);
    SetFocus(notesWindow);
    auto* notes = PeerAs<QPlainTextEdit>(notesWindow);
    QTest::keyClicks(notes, "a");
    QTest::keyClick(notes, Qt::Key_Return);
    QTest::keyClicks(notes, "b");
    Settle();
    GetDlgItemTextW(dialog, kNotes, text, 32);
    EXPECT_EQ(std::u16string(text), u"a\r\nb");
    EXPECT_FALSE(Heard(IDOK, BN_CLICKED));
    DestroyWindow(dialog);
}

TEST_F(QtDialogs, ModalDialogsEndByButtonEnterAndEscape) {
    auto clickLater = [this](int id) {
        QTimer::singleShot(20, [this, id] {
            QTest::mouseClick(PeerAs<QPushButton>(GetDlgItem(openDialog, id)), Qt::LeftButton);
        });
    };
    clickLater(IDCANCEL);
    EXPECT_EQ(
        DialogBoxParamW(TestResources(), MAKEINTRESOURCE(kDialog), nullptr, TestDialogProc, 0),
        IDCANCEL);

    // Enter in a single-line field presses the default button; Escape cancels.
    auto keyLater = [this](Qt::Key key) {
        QTimer::singleShot(20, [this, key] {
            HWND name = GetDlgItem(openDialog, kName);
            SetFocus(name);
            QTest::keyClick(PeerAs<QLineEdit>(name), key);
        });
    };
    keyLater(Qt::Key_Return);
    EXPECT_EQ(
        DialogBoxParamW(TestResources(), MAKEINTRESOURCE(kDialog), nullptr, TestDialogProc, 0),
        IDOK);
    keyLater(Qt::Key_Escape);
    EXPECT_EQ(
        DialogBoxParamW(TestResources(), MAKEINTRESOURCE(kDialog), nullptr, TestDialogProc, 0),
        IDCANCEL);
}

TEST_F(QtDialogs, AcceleratorKeysLeaveANativeFieldForTheMessageLoop) {
    HWND dialog = OpenModeless();
    HWND nameWindow = GetDlgItem(dialog, kName);
    SetFocus(nameWindow);
    QTest::keyClick(PeerAs<QLineEdit>(nameWindow), Qt::Key_R, Qt::ControlModifier);
    QCoreApplication::processEvents();
    bool sawR = false;
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (msg.message == WM_KEYDOWN && msg.wParam == 'R') {
            sawR = true;
            EXPECT_EQ(msg.hwnd, nameWindow);
            EXPECT_NE(GetKeyState(VK_CONTROL) & 0x8000, 0);
        }
    }
    EXPECT_TRUE(sawR);
    EXPECT_TRUE(PeerAs<QLineEdit>(nameWindow)->text().isEmpty());
    DestroyWindow(dialog);
}

// ---- Painted windows --------------------------------------------------------

std::vector<Message>& Input() {
    static std::vector<Message> input;
    return input;
}

constexpr COLORREF kRed = RGB(255, 0, 0);
constexpr COLORREF kBlue = RGB(0, 0, 255);
constexpr COLORREF kTitle = RGB(0, 0, 128);

LRESULT PaintedProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_PAINT: {
            PAINTSTRUCT ps;
            HDC dc = BeginPaint(hwnd, &ps);
            RECT client;
            GetClientRect(hwnd, &client);
            HBRUSH white = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
            FillRect(dc, &client, white);
            if (GetParent(hwnd) == nullptr) {
                // A title line as the palm-size frame paints it.
                LOGFONTW font;
                GetObjectW(GetStockObject(SYSTEM_FONT), sizeof font, &font);
                font.lfWeight = FW_BOLD;
                HFONT bold = CreateFontIndirectW(&font);
                HGDIOBJ old = SelectObject(dc, bold);
                SetTextColor(dc, kTitle);
                SetBkMode(dc, TRANSPARENT);
                RECT title{8, 0, client.right, 26};
                DrawTextW(dc, u"Database Properties", -1, &title,
                          DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX);
                MoveToEx(dc, 0, 26, nullptr);
                LineTo(dc, client.right, 26);
                SelectObject(dc, old);
                DeleteObject(bold);
            } else {
                HBRUSH red = CreateSolidBrush(kRed);
                RECT box{10, 10, 30, 30};
                FillRect(dc, &box, red);
                DeleteObject(red);
                HPEN blue = CreatePen(PS_SOLID, 1, kBlue);
                HGDIOBJ old = SelectObject(dc, blue);
                MoveToEx(dc, 0, 50, nullptr);
                LineTo(dc, 100, 50);
                SelectObject(dc, old);
                DeleteObject(blue);
            }
            EndPaint(hwnd, &ps);
            return 0;
        }
        case WM_LBUTTONDOWN:
        case WM_LBUTTONUP:
        case WM_LBUTTONDBLCLK:
        case WM_RBUTTONDOWN:
        case WM_KEYDOWN:
        case WM_CHAR:
        case WM_COMMAND:
        case WM_MOUSEWHEEL:
            Input().push_back({hwnd, message, wParam, lParam});
            return 0;
        default:
            return DefWindowProcW(hwnd, message, wParam, lParam);
    }
}

class QtPainted : public qt_testing::QtWindows {
protected:
    void SetUp() override {
        QtWindows::SetUp();
        Input().clear();
        WNDCLASSW wc{};
        wc.style = CS_DBLCLKS;
        wc.lpfnWndProc = PaintedProc;
        wc.lpszClassName = u"QtTestPainted";
        RegisterClassW(&wc);
        frame_ = CreateWindowExW(0, u"QtTestPainted", u"Painted", WS_VISIBLE, CW_USEDEFAULT,
                                 CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, nullptr, nullptr,
                                 nullptr, nullptr);
        child_ = CreateWindowExW(0, u"QtTestPainted", u"", WS_CHILD | WS_VISIBLE, 5, 40, 120, 100,
                                 frame_, reinterpret_cast<HMENU>(7), nullptr, nullptr);
        Settle();
    }
    std::vector<Message> Heard(UINT message) {
        std::vector<Message> found;
        for (const Message& m : Input()) {
            if (m.message == message)
                found.push_back(m);
        }
        return found;
    }
    HWND frame_ = nullptr;
    HWND child_ = nullptr;
};

QRgb Pixel(COLORREF c) {
    return qRgb(GetRValue(c), GetGValue(c), GetBValue(c));
}

TEST_F(QtPainted, CoreDrawingShowsInTheWidgetAndTheFrame) {
    QImage child = WidgetOf(child_)->grab().toImage();
    EXPECT_EQ(child.pixel(15, 15), Pixel(kRed));
    EXPECT_EQ(child.pixel(50, 50), Pixel(kBlue));
    EXPECT_EQ(child.pixel(100, 50), qRgb(255, 255, 255));  // the end point is not drawn
    EXPECT_EQ(child.pixel(50, 20), qRgb(255, 255, 255));

    // The whole frame: the shell's strip, then the window below it.
    auto* frame = qt_->FrameOf(frame_);
    ASSERT_NE(frame, nullptr);
    EXPECT_EQ(frame->size(), QSize(240, 320));
    RECT r;
    GetWindowRect(frame_, &r);
    EXPECT_EQ(r.top, 26);
    EXPECT_EQ(r.bottom, 320);
    QImage shot = frame->grab().toImage();
    EXPECT_EQ(qBlue(shot.pixel(2, 2)), 96);
    EXPECT_EQ(shot.pixel(5 + 15, 26 + 40 + 15), Pixel(kRed));
    EXPECT_EQ(shot.pixel(200, 26 + 26), qRgb(0, 0, 0));  // the title's separator
    bool titleInk = false;
    for (int y = 26; y < 26 + 26 && !titleInk; ++y) {
        for (int x = 8; x < 120 && !titleInk; ++x)
            titleInk = qBlue(shot.pixel(x, y)) > 100 && qRed(shot.pixel(x, y)) < 60;
    }
    EXPECT_TRUE(titleInk);
}

TEST_F(QtPainted, PointerInputArrivesInClientCoordinates) {
    QWidget* widget = WidgetOf(child_);
    QTest::mouseClick(widget, Qt::LeftButton, {}, QPoint(20, 30));
    Settle();
    auto downs = Heard(WM_LBUTTONDOWN);
    ASSERT_EQ(downs.size(), 1u);
    EXPECT_EQ(downs[0].window, child_);
    EXPECT_EQ(GET_X_LPARAM(downs[0].lParam), 20);
    EXPECT_EQ(GET_Y_LPARAM(downs[0].lParam), 30);
    EXPECT_EQ(Heard(WM_LBUTTONUP).size(), 1u);

    QTest::mouseDClick(widget, Qt::LeftButton, {}, QPoint(7, 8));
    Settle();
    EXPECT_EQ(Heard(WM_LBUTTONDBLCLK).size(), 1u);
    QTest::mouseClick(widget, Qt::RightButton, {}, QPoint(3, 4));
    Settle();
    ASSERT_EQ(Heard(WM_RBUTTONDOWN).size(), 1u);
    EXPECT_EQ(GET_X_LPARAM(Heard(WM_RBUTTONDOWN)[0].lParam), 3);
}

TEST_F(QtPainted, KeysBecomeKeyAndCharacterMessagesOnce) {
    SetFocus(child_);
    QWidget* widget = WidgetOf(child_);
    QTest::keyClick(widget, Qt::Key_A);
    QTest::keyClick(widget, Qt::Key_Exclam, Qt::ShiftModifier, -1);
    Settle();
    auto chars = Heard(WM_CHAR);
    ASSERT_EQ(chars.size(), 2u);
    EXPECT_EQ(chars[0].wParam, static_cast<WPARAM>(u'a'));
    EXPECT_EQ(chars[1].wParam, static_cast<WPARAM>(u'!'));
    bool sawA = false;
    for (const Message& m : Heard(WM_KEYDOWN))
        sawA = sawA || m.wParam == 'A';
    EXPECT_TRUE(sawA);
}

TEST_F(QtPainted, APressHeldHalfASecondOrTheRightButtonIsTapAndHold) {
    QWidget* widget = WidgetOf(child_);
    SHRGINFO info{sizeof(SHRGINFO), child_, {20, 20}, SHRG_RETURNCMD};
    QTest::mousePress(widget, Qt::LeftButton, {}, QPoint(20, 20));
    QElapsedTimer held;
    held.start();
    EXPECT_EQ(SHRecognizeGesture(&info), GN_CONTEXTMENU);
    EXPECT_GE(held.elapsed(), 400);
    QTest::mouseRelease(widget, Qt::LeftButton, {}, QPoint(20, 20));

    QTest::mousePress(widget, Qt::LeftButton, {}, QPoint(20, 20));
    QTimer::singleShot(
        100, [widget] { QTest::mouseRelease(widget, Qt::LeftButton, {}, QPoint(20, 20)); });
    EXPECT_EQ(SHRecognizeGesture(&info), 0u);

    QTest::mousePress(widget, Qt::RightButton, {}, QPoint(20, 20));
    EXPECT_EQ(SHRecognizeGesture(&info), GN_CONTEXTMENU);
    QTest::mouseRelease(widget, Qt::RightButton, {}, QPoint(20, 20));
    Settle();
}

TEST_F(QtPainted, TheDoneButtonShowsInTheStripAndSendsOk) {
    auto* frame = qt_->FrameOf(frame_);
    QToolButton* done = frame->strip()->doneButton();
    EXPECT_TRUE(done->isHidden());
    SHINITDLGINFO info{SHIDIM_FLAGS, frame_, SHIDIF_DONEBUTTON | SHIDIF_SIZEDLGFULLSCREEN};
    SHInitDialog(&info);
    EXPECT_FALSE(done->isHidden());
    QTest::mouseClick(done, Qt::LeftButton);
    Settle();
    bool ok = false;
    for (const Message& m : Heard(WM_COMMAND))
        ok = ok || LOWORD(static_cast<DWORD>(m.wParam)) == IDOK;
    EXPECT_TRUE(ok);
}

TEST_F(QtPainted, WaitingEndsAtATimerAndWhenNoWindowIsLeft) {
    gui::WaitRequest request;
    request.deadline = gui::CurrentBackend().Now() + 30;
    QElapsedTimer waited;
    waited.start();
    EXPECT_TRUE(gui::CurrentBackend().WaitForInput(request));
    EXPECT_LT(waited.elapsed(), 1000);
    DestroyWindow(frame_);
    request.deadline.reset();
    EXPECT_FALSE(gui::CurrentBackend().WaitForInput(request));
}

}  // namespace
