#include "platform/gui/qt/FrameWidget.h"

#include <QApplication>
#include <QCloseEvent>
#include <QIcon>
#include <QImage>
#include <QPainter>
#include <QToolButton>
#include <QWindow>

#include "platform/gui/Gdi.h"
#include "platform/gui/NativeEvents.h"
#include "platform/gui/ShellUi.h"
#include "platform/gui/drawing/Icons.h"
#include "platform/gui/qt/PaintedWidget.h"
#include "platform/gui/qt/QtBackend.h"
#include "platform/gui/qt/QtText.h"
#include "platform/gui/windowing/WindowSystem.h"

namespace ce::gui::qt {
namespace {

const QColor kStripColor(0, 0, 96);
const QColor kDesktopColor(0, 128, 128);

QString TextOf(HWND window) {
    Window* w = Peek(window);
    return w != nullptr ? ToQString(w->text) : QString();
}

}  // namespace

CaptionStrip::CaptionStrip(QtBackend& backend, HWND window, QWidget* parent)
    : QWidget(parent), backend_(backend), window_(window), done_(new QToolButton(this)) {
    done_->setText(QStringLiteral("ok"));
    done_->setCursor(Qt::PointingHandCursor);
    done_->setFocusPolicy(Qt::NoFocus);
    done_->setStyleSheet(
        QStringLiteral("QToolButton { color: white; font-weight: bold; border: 1px solid white;"
                       " border-radius: 4px; padding: 0 4px; background: transparent; }"
                       "QToolButton:pressed { background: white; color: #000060; }"));
    done_->hide();
    QObject::connect(done_, &QToolButton::clicked, this, [this] {
        DoneButtonPressed(window_);
        backend_.NoteInput();
    });
}

void CaptionStrip::Sync() {
    done_->setVisible(HasDoneButton(window_));
    update();
}

void CaptionStrip::resizeEvent(QResizeEvent*) {
    int h = height() - 6;
    int w = std::max(h + 8, done_->sizeHint().width());
    done_->setGeometry(width() - w - 4, 3, w, h);
}

void CaptionStrip::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.fillRect(rect(), kStripColor);
    LOGFONTW font{};
    int dpi = backend_.Screen().dpi;
    font.lfHeight = dpi > 96 ? -((13 * dpi + 48) / 96) : -13;
    font.lfWeight = FW_BOLD;
    painter.setFont(ToQFont(font, backend_.Screen().dpi));
    painter.setPen(Qt::white);
    int right = done_->isVisible() ? done_->x() - 4 : width() - 4;
    QRect area(6, 0, std::max(0, right - 6), height());
    QString text = painter.fontMetrics().elidedText(TextOf(window_), Qt::ElideRight, area.width());
    painter.drawText(area, Qt::AlignVCenter | Qt::AlignLeft, text);
}

FrameWidget::FrameWidget(QtBackend& backend, HWND window)
    : QWidget(nullptr, Qt::Window),
      backend_(backend),
      window_(window),
      client_(new PaintedWidget(backend, window, this)) {
    setAttribute(Qt::WA_DeleteOnClose, false);
    // The device shows a button's tip whichever window has the keyboard.
    setAttribute(Qt::WA_AlwaysShowToolTips);
    if (backend_.shellStrip()) {
        ScreenMetrics screen = backend_.Screen();
        setFixedSize(screen.width, screen.height);
        strip_ = new CaptionStrip(backend_, window_, this);
        strip_->setGeometry(0, 0, screen.width, std::max(screen.workAreaTop, 1));
    }
    Sync(ChangedGeometry | ChangedText | ChangedDoneButton | ChangedEnabled | ChangedIcon);
}

namespace {

void AddPicture(QIcon& icon, HICON handle) {
    std::shared_ptr<const Image> image = IconImage(handle);
    if (!image || image->width <= 0 || image->height <= 0)
        return;
    QImage picture(image->rgba.data(), image->width, image->height, image->width * 4,
                   QImage::Format_RGBA8888);
    icon.addPixmap(QPixmap::fromImage(picture.copy()));
}

}  // namespace

void FrameWidget::SyncIcon() {
    QIcon icon;
    HICON small = WindowIcon(window_, ICON_SMALL);
    HICON big = WindowIcon(window_, ICON_BIG);
    AddPicture(icon, small);
    if (big != small)
        AddPicture(icon, big);
    if (icon.isNull())
        return;
    setWindowIcon(icon);
    // The program's main window gives its icon to every window of the
    // program, Qt's own message boxes and file dialogs too.
    if (GetWindow(window_, GW_OWNER) == nullptr)
        QApplication::setWindowIcon(icon);
}

void FrameWidget::Sync(unsigned changes) {
    Window* w = Peek(window_);
    if (w == nullptr)
        return;
    if ((changes & ChangedGeometry) != 0) {
        RECT r = w->rect;
        int width = std::max<LONG>(1, r.right - r.left);
        int height = std::max<LONG>(1, r.bottom - r.top);
        placing_ = true;
        if (strip_ != nullptr) {
            client_->setGeometry(r.left, r.top, width, height);
            strip_->raise();
        } else {
            resize(width, height);
            client_->setGeometry(0, 0, width, height);
            // An owned window (a captioned dialog) goes where the device
            // puts it over its owner: centring after creation moves it.
            Window* o = Peek(w->owner);
            FrameWidget* owner = backend_.FrameOf(w->owner);
            if (o != nullptr && owner != nullptr && owner != this)
                move(owner->pos() + QPoint(r.left - o->rect.left, r.top - o->rect.top));
        }
        placing_ = false;
    }
    if ((changes & ChangedText) != 0) {
        setWindowTitle(TextOf(window_));
        if (strip_ != nullptr)
            strip_->update();
    }
    if ((changes & ChangedIcon) != 0)
        SyncIcon();
    if ((changes & ChangedDoneButton) != 0 && strip_ != nullptr)
        strip_->Sync();
    if ((changes & ChangedEnabled) != 0)
        setEnabled((w->style & WS_DISABLED) == 0);
    if ((changes & ChangedVisible) != 0) {
        bool show = (w->style & WS_VISIBLE) != 0;
        if (show && !isVisible()) {
            setVisible(true);
            raise();
            activateWindow();
        } else if (!show) {
            setVisible(false);
        }
    }
}

void FrameWidget::closeEvent(QCloseEvent* event) {
    // The program decides whether its window closes.
    event->ignore();
    CloseRequested(window_);
    backend_.NoteInput();
}

void FrameWidget::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    if (strip_ == nullptr && !placing_ && event->spontaneous()) {
        FrameResized(window_, width(), height());
        backend_.NoteInput();
    }
}

void FrameWidget::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.fillRect(rect(), kDesktopColor);
}

}  // namespace ce::gui::qt
