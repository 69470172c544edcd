// The database browser in real Qt windows: the list as a person sees it,
// the View menu and the Options dialog, Properties through its accelerator,
// the context menu of a right tap and of a tap held, and their commands.

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QHelpEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QToolTip>

#include "appcore/Application.h"
#include "platform/gui/CommCtrl.h"
#include "platform/gui/Gdi.h"
#include "platform/gui/NativeEvents.h"
#include "platform/gui/ShellUi.h"
#include "platform/gui/qt/FrameWidget.h"
#include "resources/ControlIds.h"
#include "tests/app/qt/BrowserQtFixture.h"

namespace browser_qt {
namespace {

QMenu* OpenPopup() {
    return qobject_cast<QMenu*>(QApplication::activePopupWidget());
}

QAction* ActionNamed(QMenu* menu, const char* text) {
    for (QAction* action : menu->actions()) {
        if (action->text() == QString::fromUtf8(text))
            return action;
    }
    return nullptr;
}

void Choose(QMenu* menu, const char* text) {
    QAction* action = ActionNamed(menu, text);
    ASSERT_NE(action, nullptr) << text;
    QTest::mouseClick(menu, Qt::LeftButton, {}, menu->actionGeometry(action).center());
}

QMessageBox* OpenMessageBox() {
    return qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
}

class BrowserWindow : public BrowserQt {
protected:
    void SetUp() override {
        BrowserQt::SetUp();
        MakeDatabase(u"Contacts", 0, 1536);
        MakeDatabase(u"Notes", 3);
        MakeDatabase(u"Empty", 0);
        MakeDatabase(u"\\System", 2);
    }
};

TEST_F(BrowserWindow, TheListShowsEveryDatabaseWithSizeAndIconOnTheDeviceScreen) {
    Start();
    EXPECT_EQ(Names(), (std::vector<std::u16string>{u"Contacts", u"Empty", u"Notes"}));
    EXPECT_EQ(Text(0, 1), u"1.50KB");
    EXPECT_EQ(Text(1, 1), u"0.00KB");
    EXPECT_EQ(Icon(0), 0);
    EXPECT_EQ(Icon(1), 4);
    EXPECT_EQ(Icon(2), 0);

    // One device screen: the strip, the list below it, the bar at the bottom.
    gui::qt::FrameWidget* frame = qt_->FrameOf(main());
    ASSERT_NE(frame, nullptr);
    EXPECT_EQ(frame->size(), QSize(240, 320));
    QWidget* listWidget = WidgetOf(list());
    QWidget* barWidget = WidgetOf(SHFindMenuBar(main()));
    ASSERT_NE(listWidget, nullptr);
    ASSERT_NE(barWidget, nullptr);
    QRect listArea(listWidget->mapTo(frame, QPoint(0, 0)), listWidget->size());
    QRect barArea(barWidget->mapTo(frame, QPoint(0, 0)), barWidget->size());
    EXPECT_TRUE(listWidget->isVisible());
    EXPECT_EQ(barArea.bottom(), 319);
    EXPECT_LE(listArea.bottom(), barArea.top());
    // The selected first row is drawn highlighted; the rows below are not.
    QImage shot = listWidget->grab().toImage();
    QPoint selected = RowPoint(0) + QPoint(60, 0);
    QPoint plain = RowPoint(2) + QPoint(60, 0);
    EXPECT_NE(shot.pixel(selected), qRgb(255, 255, 255));
    EXPECT_EQ(shot.pixel(plain), qRgb(255, 255, 255));
}

TEST_F(BrowserWindow, OptionsFromTheViewMenuShowSystemDatabasesAndChangeTheTap) {
    Start();
    QRect menuArea;
    bool detailsMarked = false;
    bool nameMarked = false;
    When([] { return OpenPopup() != nullptr; },
         [&] {
             QMenu* menu = OpenPopup();
             menuArea = QRect(menu->pos(), menu->size());
             detailsMarked = ActionNamed(menu, "Details")->isChecked();
             nameMarked = ActionNamed(menu, "Arrange by Name")->isChecked();
             Choose(menu, "Options...");
         });
    When([this] { return DialogTitled(u"Options") != nullptr; },
         [this] {
             HWND dialog = DialogTitled(u"Options");
             QTest::mouseClick(PeerAs<QCheckBox>(GetDlgItem(dialog, res::IDC_OPT_SHOW_SYSTEM)),
                               Qt::LeftButton, {}, QPoint(6, 6));
             QTest::mouseClick(PeerAs<QCheckBox>(GetDlgItem(dialog, res::IDC_OPT_DOUBLE_TAP)),
                               Qt::LeftButton, {}, QPoint(6, 6));
             PressDone(dialog);
         });
    TapMenuBar(1);
    Pump();
    ASSERT_TRUE(AllActed());
    EXPECT_TRUE(detailsMarked);
    EXPECT_TRUE(nameMarked);
    // The View menu opens above the bar, on the device's screen.
    QWidget* barWidget = WidgetOf(SHFindMenuBar(main()));
    QPoint barTop = barWidget->mapToGlobal(QPoint(0, 0));
    EXPECT_LE(menuArea.bottom(), barTop.y());
    EXPECT_GE(menuArea.top(), qt_->FrameOf(main())->mapToGlobal(QPoint(0, 0)).y());

    appcore::Settings& settings = *appcore::App().settings;
    EXPECT_TRUE(settings.showSystemDatabases);
    EXPECT_EQ(settings.doubleTap, 1u);
    // The list was refilled at once: the system database is there, with its icon.
    int system = RowOf(u"\\System");
    ASSERT_GE(system, 0);
    EXPECT_EQ(Icon(system), 1);

    // A tap now only selects: no record editor, no message.
    QTest::mouseClick(WidgetOf(list()), Qt::LeftButton, {}, RowPoint(RowOf(u"Notes")));
    Pump();
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
    EXPECT_EQ(ListView_GetNextItem(list(), -1, LVNI_SELECTED), RowOf(u"Notes"));
}

TEST_F(BrowserWindow, CtrlPShowsThePropertiesOfTheTappedDatabase) {
    Start();
    appcore::App().settings->doubleTap = 1;
    QTest::mouseClick(WidgetOf(list()), Qt::LeftButton, {}, RowPoint(RowOf(u"Contacts")));
    Pump();
    QString name, size, records;
    bool fits = false;
    When([this] { return DialogTitled(u"Database Properties") != nullptr; },
         [&, this] {
             HWND dialog = DialogTitled(u"Database Properties");
             name = PeerAs<QLabel>(GetDlgItem(dialog, res::IDC_PROP_NAME))->text();
             size = PeerAs<QLabel>(GetDlgItem(dialog, res::IDC_PROP_SIZE))->text();
             records = PeerAs<QLabel>(GetDlgItem(dialog, res::IDC_PROP_RECORDS))->text();
             QLabel* sizeLabel = PeerAs<QLabel>(GetDlgItem(dialog, res::IDC_PROP_SIZE));
             fits = sizeLabel->sizeHint().width() <= sizeLabel->width();
             PressDone(dialog);
         });
    // Keys go where Qt's focus is, the window itself when no widget has it.
    QWidget* focus = QApplication::focusWidget();
    QTest::keyClick(focus != nullptr ? focus : qt_->FrameOf(main()), Qt::Key_P,
                    Qt::ControlModifier);
    Pump();
    ASSERT_TRUE(AllActed());
    EXPECT_EQ(name, QStringLiteral("Contacts"));
    EXPECT_EQ(size, QStringLiteral("1.50KB (1536 Bytes)"));
    EXPECT_EQ(records, QStringLiteral("1"));
    EXPECT_TRUE(fits);
    EXPECT_TRUE(gui::OpenDialogs().empty());
}

TEST_F(BrowserWindow, ARightTapSelectsTheRowOpensItsMenuAndDeleteAsksFirst) {
    Start();
    int notes = RowOf(u"Notes");
    QRgb underMenu = 0;
    QStringList items;
    When([] { return OpenPopup() != nullptr; },
         [&, this] {
             // The row the menu is for shows selected while the menu is open.
             underMenu = WidgetOf(list())->grab().toImage().pixel(RowPoint(notes) + QPoint(60, 0));
             for (QAction* action : OpenPopup()->actions()) {
                 if (!action->isSeparator())
                     items << action->text();
             }
             Choose(OpenPopup(), "Delete");
         });
    int boxWidth = 0;
    bool noFirst = false;
    When([] { return OpenMessageBox() != nullptr; },
         [&] {
             QMessageBox* box = OpenMessageBox();
             boxWidth = box->width();
             noFirst = box->defaultButton() == box->button(QMessageBox::No);
             QTest::mouseClick(box->button(QMessageBox::Yes), Qt::LeftButton);
         });
    QTest::mouseClick(WidgetOf(list()), Qt::RightButton, {}, RowPoint(notes));
    Pump();
    ASSERT_TRUE(AllActed());
    EXPECT_NE(underMenu, qRgb(255, 255, 255));
    EXPECT_EQ(items, (QStringList{"View/Modify", "Copy...", "Delete", "Backup...", "Export...",
                                  "Send...", "Properties..."}));
    EXPECT_TRUE(noFirst);
    EXPECT_LE(boxWidth, 240);
    EXPECT_FALSE(Exists(u"Notes"));
    EXPECT_EQ(Names(), (std::vector<std::u16string>{u"Contacts", u"Empty"}));
}

TEST_F(BrowserWindow, ATapHeldOpensTheMenuAndCopyTakesTheTypedName) {
    Start();
    int contacts = RowOf(u"Contacts");
    bool typingInTo = false;
    When([] { return OpenPopup() != nullptr; }, [] { Choose(OpenPopup(), "Copy..."); });
    When([this] { return DialogTitled(u"New Database Name") != nullptr; },
         [&, this] {
             HWND dialog = DialogTitled(u"New Database Name");
             auto* to = PeerAs<QLineEdit>(GetDlgItem(dialog, res::IDC_NAME_TO));
             typingInTo = GetFocus() == GetDlgItem(dialog, res::IDC_NAME_TO);
             QTest::keyClicks(to, "Contacts copy");
             PressDone(dialog);
         });
    QWidget* listWidget = WidgetOf(list());
    QTest::mousePress(listWidget, Qt::LeftButton, {}, RowPoint(contacts));
    Pump();
    QTest::mouseRelease(listWidget, Qt::LeftButton, {}, RowPoint(contacts));
    Pump();
    ASSERT_TRUE(AllActed());
    EXPECT_TRUE(typingInTo);
    EXPECT_TRUE(Exists(u"Contacts copy"));
    EXPECT_GE(RowOf(u"Contacts copy"), 0);
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
}

TEST_F(BrowserWindow, MenuBarButtonsShowTheirTipsOnHoverAndWhenTheyAreHeld) {
    Start();
    HWND bar = SHFindMenuBar(main());
    QWidget* barWidget = WidgetOf(bar);
    auto middle = [&](int item) {
        RECT r{};
        SendMessageW(bar, TB_GETITEMRECT, static_cast<WPARAM>(item), reinterpret_cast<LPARAM>(&r));
        return QPoint((r.left + r.right) / 2, (r.top + r.bottom) / 2);
    };
    // The pointer rests on the Backup button.
    QHelpEvent hover(QEvent::ToolTip, middle(5), barWidget->mapToGlobal(middle(5)));
    QApplication::sendEvent(barWidget, &hover);
    EXPECT_TRUE(QToolTip::isVisible());
    EXPECT_EQ(QToolTip::text(), QStringLiteral("Backup"));
    // Over a menu caption there is none.
    QHelpEvent onMenu(QEvent::ToolTip, middle(0), barWidget->mapToGlobal(middle(0)));
    QApplication::sendEvent(barWidget, &onMenu);
    QTest::qWait(600);
    EXPECT_FALSE(QToolTip::isVisible());

    // The pen held on Delete: the tip shows above the button while it is held.
    bool anyMessage = false;
    QTimer watcher;
    QObject::connect(&watcher, &QTimer::timeout, [&] {
        if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
            anyMessage = true;
            box->close();
        }
    });
    watcher.start(20);
    QString held;
    QRect tipArea;
    QTimer::singleShot(700, [&] {
        held = QToolTip::isVisible() ? QToolTip::text() : QString();
        QTest::mouseRelease(barWidget, Qt::LeftButton, {}, middle(4));
    });
    QTest::mousePress(barWidget, Qt::LeftButton, {}, middle(4));
    Pump();
    QTest::qWait(800);
    Pump();
    EXPECT_EQ(held, QStringLiteral("Delete"));
    EXPECT_FALSE(anyMessage);
    EXPECT_TRUE(Exists(u"Notes"));
}

// A screen of few pixels and many dots per inch.
class SmallDenseScreen : public BrowserWindow {
protected:
    int ScreenDpi() const override { return 200; }
};

TEST_F(SmallDenseScreen, KeepsTheMenuBarsButtonsAndTheNamesOnTheScreen) {
    Start();
    // 240 by 320 pixels hold no more than the usual density.
    EXPECT_EQ(GetDeviceCaps(nullptr, LOGPIXELSX), 96);
    HWND bar = SHFindMenuBar(main());
    RECT client{};
    GetClientRect(bar, &client);
    RECT last{};
    ASSERT_TRUE(SendMessageW(bar, TB_GETITEMRECT, 7, reinterpret_cast<LPARAM>(&last)));
    EXPECT_LE(last.right, client.right);
    int name = ListView_GetColumnWidth(list(), 0);
    EXPECT_GE(name, ListView_GetStringWidth(list(), u"Contacts") + 20);
}

}  // namespace
}  // namespace browser_qt
