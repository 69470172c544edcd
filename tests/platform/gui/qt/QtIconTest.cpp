// A window's icons shown by its Qt frame; the main window's icon becomes the
// program's, so Qt's own message boxes and file dialogs show it too.

#include <QApplication>
#include <QBuffer>
#include <QIcon>
#include <QImage>

#include "platform/gui/Gdi.h"
#include "platform/gui/Resources.h"
#include "platform/gui/qt/FrameWidget.h"
#include "tests/platform/gui/qt/QtFixture.h"

namespace {

using namespace ce;

constexpr UINT kIcon = 101;

std::vector<BYTE> Png(int size, QRgb colour) {
    QImage image(size, size, QImage::Format_ARGB32);
    image.fill(colour);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return std::vector<BYTE>(bytes.begin(), bytes.end());
}

LRESULT Plain(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    return DefWindowProcW(hwnd, message, wParam, lParam);
}

class QtIcons : public qt_testing::QtWindows {
protected:
    void SetUp() override {
        QtWindows::SetUp();
        module_.AddIcon({kIcon, 16, small_});
        module_.AddIcon({kIcon, 32, big_});
        WNDCLASSW windowClass{};
        windowClass.lpfnWndProc = &Plain;
        windowClass.hIcon = LoadIconW(&module_, MAKEINTRESOURCE(kIcon));
        windowClass.lpszClassName = u"QtIconTest";
        RegisterClassW(&windowClass);
        QApplication::setWindowIcon(QIcon());
    }
    void TearDown() override {
        UnregisterClassW(u"QtIconTest", &module_);
        QtWindows::TearDown();
    }
    HWND Make(HWND owner) {
        return CreateWindowExW(0, u"QtIconTest", u"Icons", WS_VISIBLE, 0, 0, 120, 120, owner,
                               nullptr, &module_, nullptr);
    }
    QWidget* FrameOf(HWND window) { return qt_->FrameOf(window); }

    std::vector<BYTE> small_ = Png(16, qRgb(200, 0, 0));
    std::vector<BYTE> big_ = Png(32, qRgb(0, 0, 200));
    ResourceModule module_;
};

TEST_F(QtIcons, TheFrameShowsTheClassIconThenBothOfTheWindowsOwn) {
    HWND window = Make(nullptr);
    ASSERT_NE(window, nullptr);
    Settle();
    ASSERT_NE(FrameOf(window), nullptr);
    EXPECT_EQ(FrameOf(window)->windowIcon().availableSizes(), (QList<QSize>{QSize(32, 32)}));

    auto small =
        static_cast<HICON>(LoadImageW(&module_, MAKEINTRESOURCE(kIcon), IMAGE_ICON, 16, 16, 0));
    SendMessageW(window, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(small));
    Settle();
    QList<QSize> sizes = FrameOf(window)->windowIcon().availableSizes();
    EXPECT_TRUE(sizes.contains(QSize(16, 16)));
    EXPECT_TRUE(sizes.contains(QSize(32, 32)));
    // The small picture is the one given: red, not the class icon's blue.
    QImage shown = FrameOf(window)->windowIcon().pixmap(QSize(16, 16)).toImage();
    EXPECT_EQ(QColor(shown.pixel(8, 8)), QColor(200, 0, 0));
    DestroyWindow(window);
}

TEST_F(QtIcons, TheMainWindowsIconIsTheProgramsAndAnOwnedWindowKeepsIt) {
    HWND main = Make(nullptr);
    Settle();
    EXPECT_FALSE(QApplication::windowIcon().isNull());
    EXPECT_TRUE(QApplication::windowIcon().availableSizes().contains(QSize(32, 32)));

    // An owned window with an icon of its own does not change the program's.
    QApplication::setWindowIcon(QIcon());
    HWND owned = Make(main);
    Settle();
    EXPECT_TRUE(QApplication::windowIcon().isNull());
    DestroyWindow(owned);
    DestroyWindow(main);
}

}  // namespace
