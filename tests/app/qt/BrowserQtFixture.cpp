#include "tests/app/qt/BrowserQtFixture.h"

#include <QApplication>
#include <QCheckBox>
#include <QElapsedTimer>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QToolButton>
#include <algorithm>
#include <cstdlib>
#include <string>

#include "app/MainWindow.h"
#include "appcore/Application.h"
#include "appcore/EditionShell.h"
#include "platform/core/Handles.h"
#include "platform/core/Text.h"
#include "platform/gui/CommCtrl.h"
#include "platform/gui/NativeEvents.h"
#include "platform/gui/Resources.h"
#include "platform/gui/ShellUi.h"
#include "platform/gui/qt/FrameWidget.h"
#include "platform/objectstore/ObjectStore.h"
#include "resources/ControlIds.h"
#include "resources/DialogIds.h"
#include "tests/support/ScriptedSession.h"
#include "tests/support/SeedDatabases.h"
#include "ui/DialogFrame.h"

namespace browser_qt {

namespace {

constexpr int kGiveUpMs = 10000;

// Ends whatever modal part is open, so that a test that went wrong ends
// instead of waiting forever.
void CloseModalParts() {
    if (QWidget* popup = QApplication::activePopupWidget())
        popup->close();
    if (QWidget* modal = QApplication::activeModalWidget())
        modal->close();
    // Modal dialogs end; a window with a loop of its own (the record
    // editor) closes on Cancel.
    for (HWND dialog : gui::OpenDialogs()) {
        EndDialog(dialog, IDCANCEL);
        PostMessageW(dialog, WM_COMMAND, IDCANCEL, 0);
    }
}

}  // namespace

void BrowserQt::SetUp() {
    ::setenv("TESSALY_SCREEN", ScreenSize(), 1);
    if (ScreenDpi() != 96)
        ::setenv("TESSALY_DPI", std::to_string(ScreenDpi()).c_str(), 1);
    else
        ::unsetenv("TESSALY_DPI");
    ::setenv("QT_QPA_PLATFORM", "offscreen", 0);
    shell_ = std::make_unique<appcore::ScopedShell>(testing_support::MakeShell(Edition()));
    backend_ = std::make_unique<gui::ScopedBackend>(
        std::make_unique<gui::qt::QtBackend>(appcore::Shell().InteractiveWindowOptions()));
    qt_ = gui::qt::CurrentQt();
    ASSERT_NE(qt_, nullptr);
    application_ = std::make_unique<appcore::ScopedApplication>();
    appcore::App().instance = testing_support::EditionResources(Edition());
    stallWatch_ = std::make_unique<QTimer>();
    QObject::connect(stallWatch_.get(), &QTimer::timeout, stallWatch_.get(), [this] {
        if (pending_ != 0 || !waiting_.isValid() || waiting_.elapsed() < kGiveUpMs)
            return;
        ADD_FAILURE() << "a loop waits for input that no registered action gives";
        CloseModalParts();
        waiting_.restart();
    });
    stallWatch_->start(100);
}

void BrowserQt::TearDown() {
    stallWatch_.reset();
    watchers_.clear();
    if (IsWindow(main()))
        DestroyWindow(main());
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
    }
    if (accelerators_ != nullptr)
        DestroyAcceleratorTable(accelerators_);
    application_.reset();
    backend_.reset();
    shell_.reset();
    ::unsetenv("TESSALY_SCREEN");
    ::unsetenv("TESSALY_DPI");
}

void BrowserQt::MakeDatabase(const char16_t* name, int records, DWORD bytes) {
    ASSERT_NE(test_support::MakeDatabase(name, records, 0, bytes), 0u);
}

bool BrowserQt::Exists(const char16_t* name) {
    return test_support::DatabaseExists(name);
}

void BrowserQt::Start() {
    ASSERT_TRUE(app::RegisterMainClass());
    ASSERT_TRUE(app::CreateMainWindow());
    accelerators_ =
        LoadAcceleratorsW(appcore::App().instance, MAKEINTRESOURCE(res::IDR_MAIN_ACCELERATORS));
    Pump();
}

void BrowserQt::RunLoop(const std::function<void()>& loop) {
    if (loopDepth_++ == 0)
        waiting_.start();
    loop();
    if (--loopDepth_ == 0)
        waiting_.invalidate();
}

void BrowserQt::Pump() {
    RunLoop([this] { PumpOnce(); });
}

void BrowserQt::PumpOnce() {
    for (int round = 0; round < 4; ++round) {
        QCoreApplication::processEvents();
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            if (msg.message == WM_QUIT)
                break;
            if (!TranslateAcceleratorW(main(), accelerators_, &msg)) {
                TranslateMessage(&msg);
                DispatchMessageW(&msg);
            }
        }
    }
}

void BrowserQt::When(std::function<bool()> ready, std::function<void()> action) {
    auto timer = std::make_unique<QTimer>();
    QTimer* watcher = timer.get();
    auto since = std::make_shared<QElapsedTimer>();
    since->start();
    ++pending_;
    QObject::connect(watcher, &QTimer::timeout, watcher, [this, watcher, since, ready, action] {
        if (ready()) {
            watcher->stop();
            --pending_;
            if (waiting_.isValid())
                waiting_.restart();
            action();
        } else if (since->elapsed() > kGiveUpMs) {
            watcher->stop();
            ADD_FAILURE() << "what the test waited for never showed";
            CloseModalParts();
        }
    });
    watcher->start(10);
    watchers_.push_back(std::move(timer));
}

HWND BrowserQt::main() const {
    return appcore::App().mainWindow;
}

HWND BrowserQt::list() const {
    return appcore::App().list;
}

QWidget* BrowserQt::WidgetOf(HWND window) const {
    const gui::qt::Peer* peer = qt_->PeerOf(window);
    return peer != nullptr ? peer->widget.data() : nullptr;
}

std::u16string BrowserQt::Text(int row, int column) {
    WCHAR text[260] = {};
    ListView_GetItemText(list(), row, column, text, 260);
    return std::u16string(WideView(text, 260));
}

std::vector<std::u16string> BrowserQt::Names() {
    std::vector<std::u16string> names;
    for (int row = 0; row < ListView_GetItemCount(list()); ++row)
        names.push_back(Text(row, 0));
    return names;
}

int BrowserQt::Icon(int row) {
    LVITEMW item{};
    item.mask = LVIF_IMAGE;
    item.iItem = row;
    ListView_GetItem(list(), &item);
    return item.iImage;
}

int BrowserQt::RowOf(const char16_t* name) {
    std::vector<std::u16string> names = Names();
    auto it = std::find(names.begin(), names.end(), std::u16string(name));
    return it == names.end() ? -1 : static_cast<int>(it - names.begin());
}

QPoint BrowserQt::RowPoint(int row) {
    RECT r{};
    ListView_GetItemRect(list(), row, &r, LVIR_LABEL);
    return QPoint(r.left + 12, (r.top + r.bottom) / 2);
}

void BrowserQt::TapMenuBar(int item) {
    HWND bar = SHFindMenuBar(main());
    RECT r{};
    ASSERT_TRUE(
        SendMessageW(bar, TB_GETITEMRECT, static_cast<WPARAM>(item), reinterpret_cast<LPARAM>(&r)));
    QTest::mouseClick(WidgetOf(bar), Qt::LeftButton, {},
                      QPoint((r.left + r.right) / 2, (r.top + r.bottom) / 2));
}

HWND BrowserQt::DialogTitled(const char16_t* title) {
    for (HWND dialog : gui::OpenDialogs()) {
        WCHAR text[64] = {};
        GetDlgItemTextW(dialog, res::IDC_TITLE, text, 64);
        if (WideView(text, 64) == std::u16string_view(title) && IsWindowVisible(dialog))
            return dialog;
    }
    return nullptr;
}

void BrowserQt::PressDone(HWND dialog) {
    gui::qt::FrameWidget* frame = qt_->FrameOf(dialog);
    ASSERT_NE(frame, nullptr);
    QToolButton* done = frame->strip()->doneButton();
    ASSERT_TRUE(done->isVisible());
    QTest::mouseClick(done, Qt::LeftButton);
}

bool ShowsWholeText(QWidget* widget, std::string& why) {
    if (auto* label = qobject_cast<QLabel*>(widget)) {
        if (label->text().isEmpty())
            return true;
        int needed =
            label->wordWrap() ? label->heightForWidth(label->width()) : label->sizeHint().height();
        why = "needs " + std::to_string(label->sizeHint().width()) + "x" + std::to_string(needed);
        return needed <= label->height() &&
               (label->wordWrap() || label->sizeHint().width() <= label->width());
    }
    if (qobject_cast<QCheckBox*>(widget) != nullptr ||
        qobject_cast<QRadioButton*>(widget) != nullptr) {
        why = "needs " + std::to_string(widget->sizeHint().width());
        return widget->sizeHint().width() <= widget->width();
    }
    if (auto* button = qobject_cast<QPushButton*>(widget)) {
        int needed = button->fontMetrics().horizontalAdvance(button->text()) + 8;
        why = "needs " + std::to_string(needed);
        return button->text().isEmpty() || needed <= button->width();
    }
    if (auto* group = qobject_cast<QGroupBox*>(widget)) {
        int needed = group->fontMetrics().horizontalAdvance(group->title()) + 8;
        why = "needs " + std::to_string(needed);
        return needed <= group->width();
    }
    return true;
}

BOOL Framed(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_INITDIALOG) {
        ui::InitDialogFrame(dialog, true, true);
        return TRUE;
    }
    BOOL result = FALSE;
    ui::HandleFrameMessage(dialog, message, wParam, lParam, nullptr, result);
    return result;
}

}  // namespace browser_qt
