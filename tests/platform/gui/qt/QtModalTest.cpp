// What the Qt backend asks itself: message boxes, popup menus and the file
// dialogs, answered through simulated input.

#include <QAbstractButton>
#include <QAction>
#include <QFileDialog>
#include <QMenu>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include "QtFixture.h"
#include "platform/core/Text.h"
#include "platform/gui/CommDlg.h"
#include "platform/gui/qt/QtText.h"
#include "tests/support/TempDevice.h"

namespace {

using namespace ce;

class QtModal : public qt_testing::QtWindows {};

TEST_F(QtModal, AMessageBoxHasTheStylesButtonsAndAnswers) {
    QString title;
    QString text;
    bool noIsDefault = false;
    QTimer::singleShot(0, [&] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        ASSERT_NE(box, nullptr);
        title = box->windowTitle();
        text = box->text();
        noIsDefault =
            static_cast<QAbstractButton*>(box->defaultButton()) == box->button(QMessageBox::No);
        EXPECT_EQ(box->icon(), QMessageBox::Warning);
        QTest::mouseClick(box->button(QMessageBox::Yes), Qt::LeftButton);
    });
    EXPECT_EQ(MessageBoxW(nullptr, u"Delete \"Contacts\"?", u"Tessaly",
                          MB_YESNO | MB_ICONEXCLAMATION | MB_DEFBUTTON2),
              IDYES);
    EXPECT_EQ(title, QStringLiteral("Tessaly"));
    EXPECT_EQ(text, QStringLiteral("Delete \"Contacts\"?"));
    EXPECT_TRUE(noIsDefault);

    // Escape gives the safe answer: No for a question without Cancel.
    QTimer::singleShot(0,
                       [] { QTest::keyClick(QApplication::activeModalWidget(), Qt::Key_Escape); });
    EXPECT_EQ(MessageBoxW(nullptr, u"Delete?", u"Tessaly", MB_YESNO), IDNO);
    QTimer::singleShot(0,
                       [] { QTest::keyClick(QApplication::activeModalWidget(), Qt::Key_Return); });
    EXPECT_EQ(MessageBoxW(nullptr, u"Saved.", u"Tessaly", MB_OK), IDOK);
}

std::vector<HMENU>& Initialised() {
    static std::vector<HMENU> menus;
    return menus;
}

LRESULT OwnerProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_INITMENUPOPUP) {
        auto menu = reinterpret_cast<HMENU>(wParam);
        Initialised().push_back(menu);
        // The owner sets the submenu's marks as it opens.
        CheckMenuRadioItem(menu, 21, 22, 22, MF_BYCOMMAND);
        return 0;
    }
    return DefWindowProcW(hwnd, message, wParam, lParam);
}

QAction* ActionNamed(QMenu* menu, const QString& text) {
    for (QAction* action : menu->actions()) {
        if (action->text() == text)
            return action;
    }
    return nullptr;
}

TEST_F(QtModal, APopupMenuShowsItemStatesAndReturnsTheChoice) {
    Initialised().clear();
    WNDCLASSW wc{};
    wc.lpfnWndProc = OwnerProc;
    wc.lpszClassName = u"QtTestOwner";
    RegisterClassW(&wc);
    HWND owner =
        CreateWindowExW(0, u"QtTestOwner", u"Owner", WS_VISIBLE, CW_USEDEFAULT, CW_USEDEFAULT,
                        CW_USEDEFAULT, CW_USEDEFAULT, nullptr, nullptr, nullptr, nullptr);
    HMENU sub = CreatePopupMenu();
    AppendMenuW(sub, MF_STRING, 21, u"By &Name");
    AppendMenuW(sub, MF_STRING, 22, u"By &Size");
    HMENU menu = CreatePopupMenu();
    AppendMenuW(menu, MF_STRING, 11, u"&Open");
    AppendMenuW(menu, MF_STRING | MF_GRAYED, 12, u"&Delete");
    AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
    AppendMenuW(menu, MF_STRING | MF_CHECKED, 13, u"&Bold");
    AppendMenuW(menu, MF_POPUP, reinterpret_cast<std::uintptr_t>(sub), u"&Arrange");

    bool deleteGreyed = false;
    bool boldChecked = false;
    bool sizeChecked = false;
    QTimer::singleShot(0, [&] {
        auto* popup = qobject_cast<QMenu*>(QApplication::activePopupWidget());
        ASSERT_NE(popup, nullptr);
        deleteGreyed = !ActionNamed(popup, QStringLiteral("&Delete"))->isEnabled();
        boldChecked = ActionNamed(popup, QStringLiteral("&Bold"))->isChecked();
        QAction* arrange = ActionNamed(popup, QStringLiteral("&Arrange"));
        popup->setActiveAction(arrange);
        QTest::keyClick(popup, Qt::Key_Right);
        QTimer::singleShot(50, [&, popup, arrange] {
            QMenu* submenu = arrange->menu();
            QAction* size = ActionNamed(submenu, QStringLiteral("By &Size"));
            if (!submenu->isVisible() || size == nullptr) {
                popup->close();
                return;
            }
            sizeChecked = size->isChecked();
            QTest::mouseClick(submenu, Qt::LeftButton, {}, submenu->actionGeometry(size).center());
        });
    });
    BOOL chosen = TrackPopupMenuEx(menu, TPM_RETURNCMD, 10, 40, owner, nullptr);
    EXPECT_EQ(chosen, 22);
    EXPECT_TRUE(deleteGreyed);
    EXPECT_TRUE(boldChecked);
    EXPECT_TRUE(sizeChecked);
    EXPECT_NE(std::find(Initialised().begin(), Initialised().end(), sub), Initialised().end());

    // Closing the popup chooses nothing.
    QTimer::singleShot(0, [] {
        if (QWidget* popup = QApplication::activePopupWidget())
            popup->close();
    });
    EXPECT_EQ(TrackPopupMenuEx(menu, 0, 10, 40, owner, nullptr), FALSE);
    DestroyMenu(menu);
    DestroyWindow(owner);
}

// A popup's state holds its item count in the high byte; with 8 to 15 items
// that byte has the separator bit set.
TEST_F(QtModal, ASubmenuOfEightItemsIsShownAsASubmenu) {
    WNDCLASSW wc{};
    wc.lpfnWndProc = DefWindowProcW;
    wc.lpszClassName = u"QtTestSubmenuOwner";
    RegisterClassW(&wc);
    HWND owner = CreateWindowExW(0, u"QtTestSubmenuOwner", u"Owner", WS_VISIBLE, CW_USEDEFAULT,
                                 CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, nullptr, nullptr,
                                 nullptr, nullptr);
    HMENU sub = CreatePopupMenu();
    for (UINT i = 0; i < 8; ++i)
        AppendMenuW(sub, MF_STRING, 30 + i, u"Item");
    HMENU menu = CreatePopupMenu();
    AppendMenuW(menu, MF_POPUP, reinterpret_cast<std::uintptr_t>(sub), u"&Sort By");
    AppendMenuW(menu, MF_STRING, 11, u"&Open");
    bool isSubmenu = false;
    QTimer::singleShot(0, [&] {
        auto* popup = qobject_cast<QMenu*>(QApplication::activePopupWidget());
        ASSERT_NE(popup, nullptr);
        QAction* sortBy = ActionNamed(popup, QStringLiteral("&Sort By"));
        isSubmenu = sortBy != nullptr && sortBy->menu() != nullptr;
        popup->close();
    });
    EXPECT_EQ(TrackPopupMenuEx(menu, TPM_RETURNCMD, 10, 40, owner, nullptr), FALSE);
    EXPECT_TRUE(isSubmenu);
    DestroyMenu(menu);
    DestroyWindow(owner);
}

TEST_F(QtModal, KeysTypedInAMessageBoxOrAMenuOverAWindowStayWithThem) {
    WNDCLASSW wc{};
    wc.lpfnWndProc = OwnerProc;
    wc.lpszClassName = u"QtTestKeyOwner";
    RegisterClassW(&wc);
    HWND owner =
        CreateWindowExW(0, u"QtTestKeyOwner", u"Owner", WS_VISIBLE, CW_USEDEFAULT, CW_USEDEFAULT,
                        CW_USEDEFAULT, CW_USEDEFAULT, nullptr, nullptr, nullptr, nullptr);
    QCoreApplication::processEvents();
    // Enter where the keyboard is, on the box's default button: No.
    QTimer::singleShot(0, [] {
        QWidget* box = QApplication::activeModalWidget();
        ASSERT_NE(box, nullptr);
        QWidget* focus = QApplication::focusWidget();
        QTest::keyClick(focus != nullptr ? focus : box, Qt::Key_Return);
        QTimer::singleShot(1000, [] {
            if (QWidget* still = QApplication::activeModalWidget()) {
                ADD_FAILURE() << "Enter did not reach the message box";
                still->close();
            }
        });
    });
    EXPECT_EQ(MessageBoxW(owner, u"Delete?", u"Tessaly", MB_YESNO | MB_DEFBUTTON2), IDNO);

    HMENU menu = CreatePopupMenu();
    AppendMenuW(menu, MF_STRING, 31, u"&First");
    AppendMenuW(menu, MF_STRING, 32, u"&Second");
    QTimer::singleShot(0, [] {
        QWidget* popup = QApplication::activePopupWidget();
        ASSERT_NE(popup, nullptr);
        QTest::keyClick(popup, Qt::Key_Down);
        QTest::keyClick(popup, Qt::Key_Down);
        QTest::keyClick(popup, Qt::Key_Return);
        QTimer::singleShot(1000, [] {
            if (QWidget* still = QApplication::activePopupWidget())
                still->close();
        });
    });
    EXPECT_EQ(TrackPopupMenuEx(menu, TPM_RETURNCMD, 10, 40, owner, nullptr), 32);
    // None of those keys reached the window underneath.
    MSG msg;
    bool keys = false;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE))
        keys = keys || msg.message == WM_KEYDOWN;
    EXPECT_FALSE(keys);
    DestroyMenu(menu);
    DestroyWindow(owner);
}

class QtFileDialogs : public qt_testing::QtWindows {
protected:
    void SetUp() override {
        QtWindows::SetUp();
        std::filesystem::create_directories(device_.path() / "files" / "My Documents");
    }
    BOOL Ask(bool save, std::u16string initial, std::function<void(QFileDialog*)> act) {
        CopyWide(file_, initial);
        OPENFILENAMEW ofn{};
        ofn.lStructSize = sizeof ofn;
        ofn.lpstrFilter = u"Backup Files (*.bkp)\0*.bkp\0\0";
        ofn.nFilterIndex = 1;
        ofn.lpstrFile = file_;
        ofn.nMaxFile = 260;
        ofn.lpstrDefExt = u"bkp";
        ofn.Flags = save ? OFN_OVERWRITEPROMPT : OFN_FILEMUSTEXIST;
        QTimer::singleShot(0, [act] {
            auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
            ASSERT_NE(dialog, nullptr);
            act(dialog);
        });
        return save ? GetSaveFileNameW(&ofn) : GetOpenFileNameW(&ofn);
    }
    testing_support::TempDevice device_;
    WCHAR file_[260] = {};
};

TEST_F(QtFileDialogs, DevicePathsOpenUnderFilesAndComeBackInDeviceForm) {
    QString folder;
    QStringList filters;
    EXPECT_TRUE(Ask(true, u"\\My Documents\\backup.bkp", [&](QFileDialog* dialog) {
        folder = dialog->directory().absolutePath();
        filters = dialog->nameFilters();
        dialog->selectFile(dialog->directory().absoluteFilePath(QStringLiteral("week")));
        QMetaObject::invokeMethod(dialog, "accept", Qt::DirectConnection);
    }));
    EXPECT_TRUE(folder.endsWith(QStringLiteral("/files/My Documents"))) << folder.toStdString();
    EXPECT_EQ(filters, QStringList{QStringLiteral("Backup Files (*.bkp)")});
    EXPECT_EQ(std::u16string(file_), u"\\My Documents\\week.bkp");

    // A file outside the device keeps its host path; Cancel changes nothing.
    testing_support::TempDirectory host;
    std::string outside = (host.path() / "all.bkp").string();
    {
        std::FILE* f = std::fopen(outside.c_str(), "w");
        std::fclose(f);
    }
    EXPECT_TRUE(Ask(false, u".bkp", [&](QFileDialog* dialog) {
        dialog->selectFile(QString::fromStdString(outside));
        QMetaObject::invokeMethod(dialog, "accept", Qt::DirectConnection);
    }));
    EXPECT_EQ(std::u16string(file_), gui::qt::ToWide(QString::fromStdString(outside)));
    EXPECT_FALSE(
        Ask(false, u"\\My Documents\\x.bkp", [](QFileDialog* dialog) { dialog->reject(); }));
    EXPECT_EQ(std::u16string(file_), u"\\My Documents\\x.bkp");
}

}  // namespace
