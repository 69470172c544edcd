#include "platform/gui/qt/QtBackend.h"

#include <QApplication>
#include <QClipboard>
#include <QDeadlineTimer>
#include <QDesktopServices>
#include <QEvent>
#include <QFontInfo>
#include <QFontMetrics>
#include <QHelpEvent>
#include <QKeyEvent>
#include <QMimeData>
#include <QTimer>
#include <QToolTip>
#include <QUrl>
#include <QWindow>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "platform/gui/NativeEvents.h"
#include "platform/gui/controls/Controls.h"
#include "platform/gui/qt/FrameWidget.h"
#include "platform/gui/qt/Keys.h"
#include "platform/gui/qt/NativePeers.h"
#include "platform/gui/qt/PaintedWidget.h"
#include "platform/gui/qt/QtSurface.h"
#include "platform/gui/qt/QtText.h"
#include "platform/gui/windowing/WindowSystem.h"

namespace ce::gui::qt {
namespace {

// Waiting wakes up this often so that other processes' changes and requests
// (collected by the message loop) are seen.
constexpr qint64 kWakeSliceMs = 50;
// A press held this long is a tap-and-hold.
constexpr qint64 kHoldMs = 500;

std::string ProgramName() {
    std::error_code error;
    std::string name = std::filesystem::read_symlink("/proc/self/exe", error).filename().string();
    return error || name.empty() ? std::string("tessaly") : name;
}

void EnsureApplication() {
    if (qobject_cast<QApplication*>(QCoreApplication::instance()) != nullptr)
        return;
    // The program's own name (tessaly, tessbook) names its windows' class
    // on the desktop and the desktop entry they belong to.
    static std::string program = ProgramName();
    static int argc = 1;
    static char* argv[] = {program.data(), nullptr};
    // Lives as long as the process: windows of later backends need it too.
    auto* application = new QApplication(argc, argv);
    application->setQuitOnLastWindowClosed(false);
    QGuiApplication::setDesktopFileName(QString::fromStdString(program));
}

// Qt's own windows (menus, message boxes, file dialogs, tips) take the
// application's font: grown with the screen's density like everything else.
void ScaleApplicationFont(int dpi) {
    static const QFont original = QApplication::font();
    QFont font = original;
    if (dpi > 96) {
        int pixels = QFontInfo(original).pixelSize();
        font.setPixelSize(std::max(1, (pixels * dpi + 48) / 96));
    }
    QApplication::setFont(font);
    QToolTip::setFont(font);
}

int Scaled(int pixels, int dpi) {
    return dpi > 96 ? (pixels * dpi + 48) / 96 : pixels;
}

ScreenMetrics ScreenFromEnvironment(const InteractiveOptions& options) {
    ScreenMetrics screen;
    screen.width = options.defaultWidth;
    screen.height = options.defaultHeight;
    if (const char* text = std::getenv("TESSALY_SCREEN")) {
        int w = 0;
        int h = 0;
        if (std::sscanf(text, "%dx%d", &w, &h) == 2 && w >= 120 && h >= 120 && w <= 8192 &&
            h <= 8192) {
            screen.width = w;
            screen.height = h;
        }
    }
    if (const char* text = std::getenv("TESSALY_DPI")) {
        int dpi = std::atoi(text);
        if (dpi >= 48 && dpi <= 600)
            screen.dpi = DensityThatFits(screen.width, screen.height, dpi);
    }
    screen.captionHeight = Scaled(26, screen.dpi);
    screen.menuBarHeight = Scaled(26, screen.dpi);
    screen.scrollBarWidth = Scaled(13, screen.dpi);
    screen.workAreaTop = options.shellStrip ? screen.captionHeight : 0;
    return screen;
}

}  // namespace

QtBackend::QtBackend(const InteractiveOptions& options)
    : screen_(ScreenFromEnvironment(options)), shellStrip_(options.shellStrip) {
    EnsureApplication();
    ScaleApplicationFont(screen_.dpi);
    clock_.start();
    qApp->installEventFilter(this);
}

QtBackend::~QtBackend() {
    qApp->removeEventFilter(this);
    std::map<HWND, Peer> peers = std::move(peers_);
    peers_.clear();
    for (auto& [window, peer] : peers) {
        if (peer.frame)
            delete peer.frame.data();
    }
}

QtBackend* CurrentQt() {
    return dynamic_cast<QtBackend*>(&CurrentBackend());
}

const Peer* QtBackend::PeerOf(HWND window) const {
    auto it = peers_.find(window);
    return it == peers_.end() ? nullptr : &it->second;
}

HWND QtBackend::WindowOf(const QWidget* widget) const {
    for (const QWidget* w = widget; w != nullptr; w = w->parentWidget()) {
        QVariant value = w->property("tessaly.window");
        if (value.isValid())
            return reinterpret_cast<HWND>(value.value<quintptr>());
        // A window of Qt's own (a message box, a menu, a file dialog) keeps
        // its input, even when it opened over one of ours.
        if (w->isWindow())
            return nullptr;
    }
    return nullptr;
}

FrameWidget* QtBackend::FrameOf(HWND window) const {
    const Peer* peer = PeerOf(TopLevelOf(window));
    return peer != nullptr ? peer->frame.data() : nullptr;
}

QPoint QtBackend::ToGlobal(HWND near, POINT point) const {
    FrameWidget* frame = FrameOf(near);
    if (frame == nullptr)
        frame = FrameOf(GetActiveWindow());
    if (frame == nullptr)
        return QPoint(point.x, point.y);
    if (shellStrip_)
        return frame->mapToGlobal(QPoint(point.x, point.y));
    Window* w = Peek(frame->window());
    QPoint origin = w != nullptr ? QPoint(w->rect.left, w->rect.top) : QPoint();
    return frame->mapToGlobal(QPoint(point.x, point.y) - origin);
}

QWidget* QtBackend::DialogParent(HWND owner) const {
    // A dialog that is still being filled (not shown yet) lends its owner's frame.
    for (HWND w = TopLevelOf(owner); w != nullptr; w = GetWindow(w, GW_OWNER)) {
        if (FrameWidget* frame = FrameOf(w); frame != nullptr && frame->isVisible())
            return frame;
    }
    if (FrameWidget* frame = FrameOf(GetActiveWindow()); frame != nullptr && frame->isVisible())
        return frame;
    for (const auto& [window, peer] : peers_) {
        if (peer.frame && peer.frame->isVisible())
            return peer.frame;
    }
    return nullptr;
}

QRect QtBackend::DeviceArea(HWND window) const {
    QWidget* frame = DialogParent(window);
    if (frame == nullptr)
        return QRect();
    if (shellStrip_)
        return QRect(frame->mapToGlobal(QPoint(0, 0)), frame->size());
    // Without the strip the window that owns the others is the device's screen.
    HWND root = TopLevelOf(window != nullptr ? window : GetActiveWindow());
    while (root != nullptr && GetWindow(root, GW_OWNER) != nullptr)
        root = GetWindow(root, GW_OWNER);
    if (FrameWidget* main = FrameOf(root); main != nullptr && main->isVisible())
        frame = main;
    return frame->frameGeometry();
}

namespace {

// Moves (and if need be shrinks) a window into an area whenever it shows or changes size.
class OnDeviceKeeper : public QObject {
public:
    OnDeviceKeeper(QWidget* window, QRect area) : QObject(window), area_(area) {
        window->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        auto* window = qobject_cast<QWidget*>(watched);
        if (window == nullptr || busy_ ||
            (event->type() != QEvent::Show && event->type() != QEvent::Resize))
            return false;
        busy_ = true;
        QSize size = window->frameGeometry().size().boundedTo(area_.size());
        QSize extra = window->frameGeometry().size() - window->size();
        if (window->frameGeometry().size() != size)
            window->resize(size - extra);
        QPoint centred = area_.center() - QPoint(size.width() / 2, size.height() / 2);
        int x = std::clamp(centred.x(), area_.left(), area_.right() + 1 - size.width());
        int y = std::clamp(centred.y(), area_.top(), area_.bottom() + 1 - size.height());
        window->move(x, y);
        busy_ = false;
        return false;
    }

private:
    QRect area_;
    bool busy_ = false;
};

}  // namespace

void QtBackend::KeepOnDevice(QWidget* window, HWND near) {
    QRect area = DeviceArea(near);
    if (window != nullptr && area.isValid())
        new OnDeviceKeeper(window, area);
}

void QtBackend::Place(const Peer& peer) {
    Window* w = Peek(peer.window);
    if (w == nullptr || !peer.widget || peer.frame)
        return;
    RECT r = w->rect;
    peer.widget->setGeometry(r.left, r.top, std::max<LONG>(0, r.right - r.left),
                             std::max<LONG>(0, r.bottom - r.top));
    peer.widget->setEnabled((w->style & WS_DISABLED) == 0);
    peer.widget->setVisible((w->style & WS_VISIBLE) != 0);
}

void QtBackend::WindowCreated(HWND window, PeerKind kind) {
    Window* w = Peek(window);
    if (w == nullptr)
        return;
    Peer peer;
    peer.window = window;
    peer.kind = kind;
    if (w->parent == nullptr) {
        peer.kind = PeerKind::Frame;
        auto* frame = new FrameWidget(*this, window);
        peer.frame = frame;
        peer.widget = frame->client();
        frame->setProperty("tessaly.window",
                           QVariant::fromValue(reinterpret_cast<quintptr>(window)));
        if (FrameWidget* owner = FrameOf(w->owner)) {
            // Owned windows open over their owner, where the device shows them.
            QPoint at = owner->pos();
            if (!shellStrip_) {
                Window* o = Peek(owner->window());
                at += QPoint(w->rect.left - o->rect.left, w->rect.top - o->rect.top);
            }
            frame->move(at);
            frame->winId();
            if (owner->windowHandle() != nullptr)
                frame->windowHandle()->setTransientParent(owner->windowHandle());
        }
    } else {
        const Peer* parent = PeerOf(w->parent);
        if (parent == nullptr || !parent->widget)
            return;
        if (kind == PeerKind::Painted || kind == PeerKind::Frame) {
            peer.kind = PeerKind::Painted;
            peer.widget = new PaintedWidget(*this, window, parent->widget);
        } else {
            peer.widget = CreateNativePeer(*this, window, kind, parent->widget);
        }
        if (!peer.widget)
            return;
        if (kind == PeerKind::GroupBox)
            peer.widget->lower();
    }
    peer.widget->setProperty("tessaly.window",
                             QVariant::fromValue(reinterpret_cast<quintptr>(window)));
    peers_[window] = peer;
    Place(peer);
}

void QtBackend::WindowDestroyed(HWND window) {
    auto it = peers_.find(window);
    if (it == peers_.end())
        return;
    Peer peer = it->second;
    peers_.erase(it);
    if (press_.window == window)
        press_ = {};
    bool wasActive = peer.frame && QApplication::activeWindow() == peer.frame.data();
    HWND owner = GetWindow(window, GW_OWNER);
    if (peer.frame)
        delete peer.frame.data();
    else if (peer.widget)
        delete peer.widget.data();
    // The window that takes over (the dialog's owner) gets the desktop's keyboard.
    if (wasActive) {
        FrameWidget* next = FrameOf(owner != nullptr ? owner : GetActiveWindow());
        if (next != nullptr && next->isVisible() && next->isEnabled())
            next->activateWindow();
    }
}

void QtBackend::WindowChanged(HWND window, unsigned changes) {
    auto it = peers_.find(window);
    if (it == peers_.end())
        return;
    const Peer& peer = it->second;
    if (peer.frame) {
        peer.frame->Sync(changes);
        return;
    }
    if ((changes & (ChangedGeometry | ChangedVisible | ChangedEnabled)) != 0)
        Place(peer);
    if (peer.kind != PeerKind::Painted)
        SyncNativePeer(*this, window, peer.kind, peer.widget, changes);
}

void QtBackend::FocusChanged(HWND window) {
    const Peer* peer = PeerOf(window);
    if (peer == nullptr || !peer->widget)
        return;
    if (peer->frame) {
        peer->frame->activateWindow();
        return;
    }
    // The keys go to the window that holds the focus: with no window
    // manager nobody else gives it the desktop's keyboard (after a dialog
    // closed, the focus would stay on the desktop's root).
    QWidget* top = peer->widget->window();
    if (top != nullptr && top->isVisible() && QApplication::activeWindow() != top)
        top->activateWindow();
    if (QApplication::focusWidget() != peer->widget)
        peer->widget->setFocus(Qt::OtherFocusReason);
}

void QtBackend::BringToFront(HWND window) {
    if (FrameWidget* frame = FrameOf(window)) {
        frame->raise();
        frame->activateWindow();
    }
    // A message box or file dialog of Qt's own stays over the windows it belongs to.
    if (QWidget* modal = QApplication::activeModalWidget();
        modal != nullptr && WindowOf(modal) == nullptr) {
        modal->raise();
        modal->activateWindow();
    }
}

std::unique_ptr<Surface> QtBackend::BeginDrawing(HWND window) {
    const Peer* peer = PeerOf(window);
    if (peer != nullptr) {
        if (auto* painted = dynamic_cast<PaintedWidget*>(peer->widget.data()))
            return painted->BeginDrawing(screen_.dpi);
    }
    // Drawing on a window Qt draws itself goes nowhere.
    auto scratch = std::make_shared<QImage>(1, 1, QImage::Format_ARGB32_Premultiplied);
    return std::make_unique<QtSurface>(*scratch, screen_.dpi, [scratch] {});
}

DWORD QtBackend::Now() {
    return static_cast<DWORD>(1000 + clock_.elapsed());
}

bool QtBackend::AnyFrameShown() const {
    for (const auto& [window, peer] : peers_) {
        if (peer.frame && peer.frame->isVisible())
            return true;
    }
    return false;
}

void QtBackend::Pump(qint64 milliseconds, const bool& stop) {
    QDeadlineTimer until(milliseconds);
    QTimer wake;
    wake.setSingleShot(true);
    while (!stop) {
        qint64 left = until.remainingTime();
        if (left <= 0)
            break;
        wake.start(static_cast<int>(left));
        QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents);
    }
}

bool QtBackend::WaitForInput(const WaitRequest& request) {
    if (!request.block) {
        QCoreApplication::processEvents(QEventLoop::AllEvents);
        return true;
    }
    // Shown windows first, so that nobody waits on a picture that is not there.
    QCoreApplication::sendPostedEvents();
    if (!request.deadline && !AnyFrameShown())
        return false;
    qint64 wait = kWakeSliceMs;
    if (request.deadline)
        wait = std::min<qint64>(wait,
                                std::max(0, static_cast<std::int32_t>(*request.deadline - Now())));
    inputArrived_ = false;
    if (wait > 0)
        Pump(wait, inputArrived_);
    else
        QCoreApplication::processEvents(QEventLoop::AllEvents);
    return true;
}

void QtBackend::NotePress(HWND window, bool right, QPoint at) {
    press_.window = window;
    press_.right = right;
    press_.down = true;
    press_.moved = false;
    press_.at = at;
    press_.since.start();
}

void QtBackend::NoteRelease() {
    press_.down = false;
}

void QtBackend::NoteMove(QPoint at) {
    if (press_.down && (at - press_.at).manhattanLength() > QApplication::startDragDistance())
        press_.moved = true;
}

bool QtBackend::IsTapAndHold(HWND window, POINT) {
    if (press_.window != window || !press_.since.isValid())
        return false;
    if (press_.right)
        return true;
    bool decided = false;
    while (press_.down && !press_.moved) {
        qint64 left = kHoldMs - press_.since.elapsed();
        if (left <= 0) {
            decided = true;
            break;
        }
        bool stop = false;
        Pump(left, stop);
    }
    return decided && press_.down && !press_.moved;
}

FontMetrics QtBackend::MeasureFont(const LOGFONTW& font) {
    QFontMetrics metrics(ToQFont(font, screen_.dpi));
    static const QString alphabet =
        QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz");
    int average = (metrics.horizontalAdvance(alphabet) / 26 + 1) / 2;
    return {metrics.height(), metrics.ascent(), std::max(1, average)};
}

SIZE QtBackend::MeasureText(const LOGFONTW& font, std::u16string_view text) {
    QFontMetrics metrics(ToQFont(font, screen_.dpi));
    return {metrics.horizontalAdvance(ToQString(text)), metrics.height()};
}

bool QtBackend::ShowHelp(const std::filesystem::path& file, const std::u16string& anchor) {
    QUrl url = QUrl::fromLocalFile(QString::fromStdString(file.string()));
    if (!anchor.empty())
        url.setFragment(ToQString(anchor));
    return QDesktopServices::openUrl(url);
}

void QtBackend::ShowToolTip(HWND near, POINT screenPoint, const std::u16string& text) {
    if (text.empty()) {
        QToolTip::hideText();
        return;
    }
    const Peer* peer = PeerOf(near);
    QPoint at = ToGlobal(near, screenPoint);
    // Above the point: the tip must not hide what the pen holds.
    QFontMetrics metrics(QToolTip::font());
    at.ry() -= metrics.height() + 8;
    QToolTip::showText(at, ToQString(text), peer != nullptr ? peer->widget.data() : nullptr);
}

namespace {

// The program's own formats travel under a MIME type of their name.
const QString kFormatMimePrefix = QStringLiteral("application/x-tessaly-");

}  // namespace

void QtBackend::ClipboardWritten(const std::vector<ClipboardItem>& items) {
    auto* data = new QMimeData;
    for (const ClipboardItem& item : items) {
        if (item.name.empty()) {
            if (item.format != CF_UNICODETEXT)
                continue;
            std::size_t units = item.bytes.size() / 2;
            std::u16string text(units, u'\0');
            for (std::size_t i = 0; i < units; ++i)
                text[i] = static_cast<char16_t>(item.bytes[2 * i] | (item.bytes[2 * i + 1] << 8));
            text = text.substr(0, text.find(u'\0'));
            data->setText(ToQString(text));
        } else {
            data->setData(kFormatMimePrefix + ToQString(item.name),
                          QByteArray(reinterpret_cast<const char*>(item.bytes.data()),
                                     static_cast<qsizetype>(item.bytes.size())));
        }
    }
    QGuiApplication::clipboard()->setMimeData(data);
}

std::optional<std::vector<ClipboardItem>> QtBackend::ReadClipboard() {
    const QMimeData* data = QGuiApplication::clipboard()->mimeData();
    std::vector<ClipboardItem> items;
    if (data == nullptr)
        return items;
    for (const QString& type : data->formats()) {
        if (!type.startsWith(kFormatMimePrefix))
            continue;
        QByteArray bytes = data->data(type);
        ClipboardItem item;
        item.name = ToWide(type.mid(kFormatMimePrefix.size()));
        item.bytes.assign(bytes.begin(), bytes.end());
        items.push_back(std::move(item));
    }
    if (data->hasText()) {
        std::u16string text = ToWide(data->text());
        ClipboardItem item;
        item.format = CF_UNICODETEXT;
        for (char16_t c : text) {
            item.bytes.push_back(static_cast<BYTE>(c));
            item.bytes.push_back(static_cast<BYTE>(c >> 8));
        }
        item.bytes.push_back(0);
        item.bytes.push_back(0);
        items.push_back(std::move(item));
    }
    return items;
}

bool QtBackend::eventFilter(QObject* watched, QEvent* event) {
    QEvent::Type type = event->type();
    if (type == QEvent::ToolTip) {
        auto* widget = qobject_cast<QWidget*>(watched);
        const Peer* peer = PeerOf(WindowOf(widget));
        if (peer == nullptr || peer->widget != widget || peer->kind != PeerKind::Painted)
            return false;
        auto* help = static_cast<QHelpEvent*>(event);
        std::u16string tip = ToolTipAt(peer->window, {help->pos().x(), help->pos().y()});
        if (tip.empty())
            QToolTip::hideText();
        else
            QToolTip::showText(help->globalPos(), ToQString(tip), widget);
        return true;
    }
    if (type != QEvent::KeyPress && type != QEvent::KeyRelease && type != QEvent::FocusIn)
        return false;
    auto* widget = qobject_cast<QWidget*>(watched);
    if (widget == nullptr)
        return false;
    HWND window = WindowOf(widget);
    const Peer* peer = PeerOf(window);
    if (peer == nullptr)
        return false;
    if (type == QEvent::FocusIn) {
        if (peer->kind != PeerKind::Frame && GetFocus() != window) {
            ControlFocused(window);
            NoteInput();
        }
        return false;
    }
    // Each key once, where it starts: at the focus widget, or the window without one.
    QWidget* focus = QApplication::focusWidget();
    if (focus != nullptr ? widget != focus : !widget->isWindow())
        return false;
    auto* key = static_cast<QKeyEvent*>(event);
    UINT message = type == QEvent::KeyPress ? WM_KEYDOWN : WM_KEYUP;
    WORD vk = VirtualKey(key->key());
    Qt::KeyboardModifiers modifiers = key->modifiers();
    // A modifier let go while a popup menu had the keyboard (Alt after Alt+F)
    // never reached the window system: it is let go before this key.
    const std::pair<WORD, Qt::KeyboardModifier> held[] = {{VK_MENU, Qt::AltModifier},
                                                          {VK_CONTROL, Qt::ControlModifier},
                                                          {VK_SHIFT, Qt::ShiftModifier}};
    for (auto [modifier, flag] : held) {
        if (vk != modifier && (GetKeyState(modifier) & 0x8000) != 0 && (modifiers & flag) == 0)
            PostKey(WM_KEYUP, modifier);
    }
    bool command = (modifiers & (Qt::ControlModifier | Qt::AltModifier)) != 0;
    if (peer->kind == PeerKind::Painted || peer->kind == PeerKind::Frame) {
        if (vk != 0)
            PostKey(message, vk);
        if (type == QEvent::KeyPress && !command && (vk == 0 || !TranslatedToCharacter(vk))) {
            for (QChar c : key->text()) {
                if (c.unicode() >= 32 && c.unicode() != 127)
                    PostCharacter(c.unicode());
            }
        }
        NoteInput();
        return true;
    }
    // A native control keeps its own typing; the dialog keys, function keys
    // and accelerators go to the message loop.
    if (vk == VK_SHIFT || vk == VK_CONTROL || vk == VK_MENU) {
        PostKey(message, vk);
        return false;
    }
    bool toCore = vk == VK_ESCAPE || vk == VK_TAB || (vk >= VK_F1 && vk < VK_F1 + 12);
    if (vk == VK_RETURN) {
        DWORD style = Peek(window) != nullptr ? Peek(window)->style : 0;
        toCore = !(peer->kind == PeerKind::Edit && (style & ES_MULTILINE) != 0 &&
                   (style & ES_WANTRETURN) != 0);
    }
    // Accelerators, except the text-editing keys of an edit field.
    bool editing = peer->kind == PeerKind::Edit && (modifiers & Qt::AltModifier) == 0 &&
                   IsTextEditingKey(window, vk);
    if (command && vk >= 'A' && vk <= 'Z' && !InModalLoop() && !editing)
        toCore = true;
    if (!toCore)
        return false;
    PostKey(message, vk);
    NoteInput();
    return true;
}

}  // namespace ce::gui::qt
