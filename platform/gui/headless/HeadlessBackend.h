#pragma once
// The window system without a display: every window, control and dialog
// exists as core state only, a HeadlessUser stands in for the person, text
// has fixed-width metrics, paints are recorded, and timers run on a virtual
// clock that jumps to the next timer when nothing else is left to do (or,
// optionally, on the real clock).

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "platform/gui/Backend.h"
#include "platform/gui/headless/HeadlessUser.h"
#include "platform/gui/headless/RecordingSurface.h"

namespace ce::gui {

struct HelpRequest {
    std::filesystem::path file;
    std::u16string anchor;
};

class HeadlessBackend : public Backend {
public:
    // The screen comes from TESSALY_SCREEN ("WxH") and TESSALY_DPI when set.
    explicit HeadlessBackend(std::shared_ptr<HeadlessUser> user);
    const char* Name() const override { return "headless"; }
    HeadlessUser& user() { return *user_; }

    void WindowCreated(HWND, PeerKind) override {}
    void WindowDestroyed(HWND window) override;
    void WindowChanged(HWND, unsigned) override {}
    void FocusChanged(HWND) override {}
    void BringToFront(HWND window) override { raised_.push_back(window); }
    std::unique_ptr<Surface> BeginDrawing(HWND window) override;

    DWORD Now() override;
    bool WaitForInput(const WaitRequest& request) override;

    int ShowMessageBox(const MessageBoxRequest& request) override;
    std::optional<std::u16string> ChooseFile(const FileDialogRequest& request) override;
    UINT TrackPopupMenu(const PopupMenuRequest& request) override;
    bool IsTapAndHold(HWND window, POINT point) override;

    void ShowToolTip(HWND, POINT, const std::u16string& text) override {
        if (!text.empty())
            tips_.push_back(text);
        tipShown_ = !text.empty();
    }

    ScreenMetrics Screen() override { return screen_; }
    // Fixed width: every character is (height + 1) / 2 pixels wide, a line
    // is height + 3 pixels high (height 13 when the font does not say).
    FontMetrics MeasureFont(const LOGFONTW& font) override;
    SIZE MeasureText(const LOGFONTW& font, std::u16string_view text) override;

    bool ShowHelp(const std::filesystem::path& file, const std::u16string& anchor) override {
        help_.push_back({file, anchor});
        return helpShown_;
    }

    // ---- For tests and input helpers ----
    void SetScreen(const ScreenMetrics& screen) { screen_ = screen; }
    // Timers run on the real clock and waiting sleeps (for peers that wait
    // for other processes).
    void UseRealClock();
    // The next IsTapAndHold answers yes (the pen is held).
    void HoldNextTap() { holdNext_ = true; }
    // Whether help files can be shown (no browser can be started when not).
    void SetHelpShown(bool shown) { helpShown_ = shown; }
    // What the last paint of a window drew, and how many paints it had.
    const std::vector<DrawOp>& LastDrawing(HWND window) const;
    int PaintCount(HWND window) const;
    const std::vector<HWND>& raised() const { return raised_; }
    const std::vector<HelpRequest>& helpRequests() const { return help_; }
    // Every tooltip text shown, and whether one shows now.
    const std::vector<std::u16string>& tips() const { return tips_; }
    bool tipShown() const { return tipShown_; }

private:
    std::shared_ptr<HeadlessUser> user_;
    ScreenMetrics screen_;
    bool realClock_ = false;
    DWORD virtualNow_ = 1000;
    std::int64_t realStart_ = 0;
    bool holdNext_ = false;
    bool helpShown_ = true;
    std::map<HWND, std::vector<DrawOp>> drawings_;
    std::map<HWND, int> paints_;
    std::vector<HWND> raised_;
    std::vector<HelpRequest> help_;
    std::vector<std::u16string> tips_;
    bool tipShown_ = false;
    std::vector<HWND> acted_;
};

// The installed backend when it is a headless one, else nullptr.
HeadlessBackend* CurrentHeadless();

}  // namespace ce::gui
