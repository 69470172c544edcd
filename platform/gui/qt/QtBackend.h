#pragma once
// The window system shown with Qt Widgets. Every core window gets a peer:
// a frame (a top-level Qt window) for top-level windows and dialogs, a
// painted widget whose pixels core draws, or a native widget for the native
// control kinds. Peers follow core's state through WindowChanged and turn
// what the user does into messages (NativeEvents.h); nothing here runs a
// window procedure.

#include <QElapsedTimer>
#include <QObject>
#include <QPoint>
#include <QPointer>
#include <QRect>
#include <QSize>
#include <map>
#include <memory>

#include "platform/gui/Backend.h"
#include "platform/gui/BackendLoader.h"

class QWidget;

namespace ce::gui::qt {

class FrameWidget;
class PaintedWidget;

struct Peer {
    HWND window = nullptr;
    PeerKind kind = PeerKind::Painted;
    // What shows the window's area; children are placed in it.
    QPointer<QWidget> widget;
    // Frames only: the top-level window around `widget`.
    QPointer<FrameWidget> frame;
};

class QtBackend : public QObject, public Backend {
public:
    explicit QtBackend(const InteractiveOptions& options);
    ~QtBackend() override;
    const char* Name() const override { return "qt"; }

    void WindowCreated(HWND window, PeerKind kind) override;
    void WindowDestroyed(HWND window) override;
    void WindowChanged(HWND window, unsigned changes) override;
    void FocusChanged(HWND window) override;
    void BringToFront(HWND window) override;
    std::unique_ptr<Surface> BeginDrawing(HWND window) override;

    DWORD Now() override;
    bool WaitForInput(const WaitRequest& request) override;

    int ShowMessageBox(const MessageBoxRequest& request) override;
    std::optional<std::u16string> ChooseFile(const FileDialogRequest& request) override;
    UINT TrackPopupMenu(const PopupMenuRequest& request) override;
    bool IsTapAndHold(HWND window, POINT point) override;
    void ShowToolTip(HWND near, POINT screenPoint, const std::u16string& text) override;

    ScreenMetrics Screen() override { return screen_; }
    FontMetrics MeasureFont(const LOGFONTW& font) override;
    SIZE MeasureText(const LOGFONTW& font, std::u16string_view text) override;

    bool ShowHelp(const std::filesystem::path& file, const std::u16string& anchor) override;
    void ClipboardWritten(const std::vector<ClipboardItem>& items) override;
    std::optional<std::vector<ClipboardItem>> ReadClipboard() override;

    // ---- For the peers ----
    // User input queued messages: a waiting WaitForInput returns.
    void NoteInput() { inputArrived_ = true; }
    // A pointer button went down on or came up from a painted window.
    void NotePress(HWND window, bool right, QPoint at);
    void NoteRelease();
    void NoteMove(QPoint at);
    bool shellStrip() const { return shellStrip_; }
    const Peer* PeerOf(HWND window) const;
    // The window a widget shows (the nearest one up its parents), or nullptr.
    HWND WindowOf(const QWidget* widget) const;
    // The frame that shows `window`'s top-level window, or nullptr.
    FrameWidget* FrameOf(HWND window) const;
    // Where a device screen point lies on the desktop.
    QPoint ToGlobal(HWND near, POINT screenPoint) const;
    // Where a popup menu of `size` opens for `request`: aligned to its point
    // as the flags say and kept on the device's screen.
    QPoint PopupPosition(const PopupMenuRequest& request, QSize size) const;
    // The widget a modal window of `owner` belongs over: the frame of the
    // nearest shown window up its owners, else of the active window, else
    // any shown frame.
    QWidget* DialogParent(HWND owner) const;
    // The device's screen on the desktop, as the frame near `window` shows it.
    QRect DeviceArea(HWND window) const;
    // Keeps a window of Qt's own (a message box, a file dialog) on the
    // device's screen whenever it is shown or resized.
    void KeepOnDevice(QWidget* window, HWND near);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void Place(const Peer& peer);
    bool AnyFrameShown() const;
    // Waits in Qt's event loop until input arrives or `milliseconds` pass.
    void Pump(qint64 milliseconds, const bool& stop);

    ScreenMetrics screen_;
    bool shellStrip_ = true;
    QElapsedTimer clock_;
    bool inputArrived_ = false;
    std::map<HWND, Peer> peers_;
    struct Press {
        HWND window = nullptr;
        bool right = false;
        bool down = false;
        bool moved = false;
        QPoint at;
        QElapsedTimer since;
    } press_;
};

// The installed backend when it is this one, else nullptr.
QtBackend* CurrentQt();

}  // namespace ce::gui::qt
