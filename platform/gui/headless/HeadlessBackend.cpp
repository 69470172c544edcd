#include "platform/gui/headless/HeadlessBackend.h"

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <thread>

#include "platform/gui/NativeEvents.h"

namespace ce::gui {
namespace {

std::int64_t Milliseconds() {
    return std::chrono::duration_cast<std::chrono::milliseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

// Waiting on the real clock wakes up this often so that requests of other
// processes are answered.
constexpr std::int64_t kRealWaitSliceMs = 20;

LONG FontHeight(const LOGFONTW& font) {
    LONG h = font.lfHeight < 0 ? -font.lfHeight : font.lfHeight;
    return h == 0 ? 13 : h;
}

}  // namespace

HeadlessBackend::HeadlessBackend(std::shared_ptr<HeadlessUser> user) : user_(std::move(user)) {
    if (const char* text = std::getenv("TESSALY_SCREEN")) {
        int w = 0;
        int h = 0;
        if (std::sscanf(text, "%dx%d", &w, &h) == 2 && w > 0 && h > 0 && w <= 8192 && h <= 8192) {
            screen_.width = w;
            screen_.height = h;
        }
    }
    if (const char* text = std::getenv("TESSALY_DPI")) {
        int dpi = std::atoi(text);
        if (dpi >= 48 && dpi <= 600)
            screen_.dpi = DensityThatFits(screen_.width, screen_.height, dpi);
    }
}

void HeadlessBackend::WindowDestroyed(HWND window) {
    drawings_.erase(window);
    paints_.erase(window);
}

std::unique_ptr<Surface> HeadlessBackend::BeginDrawing(HWND window) {
    ++paints_[window];
    return std::make_unique<RecordingSurface>(
        [this, window](std::vector<DrawOp> ops) { drawings_[window] = std::move(ops); });
}

const std::vector<DrawOp>& HeadlessBackend::LastDrawing(HWND window) const {
    static const std::vector<DrawOp> none;
    auto it = drawings_.find(window);
    return it == drawings_.end() ? none : it->second;
}

int HeadlessBackend::PaintCount(HWND window) const {
    auto it = paints_.find(window);
    return it == paints_.end() ? 0 : it->second;
}

void HeadlessBackend::UseRealClock() {
    realClock_ = true;
    realStart_ = Milliseconds() - virtualNow_;
}

DWORD HeadlessBackend::Now() {
    return realClock_ ? static_cast<DWORD>(Milliseconds() - realStart_) : virtualNow_;
}

bool HeadlessBackend::WaitForInput(const WaitRequest& request) {
    // A person acts in the innermost dialog first, once per dialog.
    for (HWND dialog : OpenDialogs()) {
        if (std::find(acted_.begin(), acted_.end(), dialog) != acted_.end())
            continue;
        acted_.push_back(dialog);
        if (user_->ActOnDialog(dialog, DialogTemplateId(dialog)))
            return true;
        break;
    }
    if (!request.block)
        return true;
    if (request.deadline) {
        if (!realClock_) {
            if (static_cast<std::int32_t>(*request.deadline - virtualNow_) > 0)
                virtualNow_ = *request.deadline;
            return true;
        }
        std::int64_t wait = static_cast<std::int32_t>(*request.deadline - Now());
        if (wait > 0)
            std::this_thread::sleep_for(
                std::chrono::milliseconds(std::min(wait, kRealWaitSliceMs)));
        return true;
    }
    std::string what = request.modalDialog != nullptr
                           ? "dialog " + std::to_string(DialogTemplateId(request.modalDialog)) +
                                 " waits for input that nobody scripted"
                           : std::string("a message loop waits with nothing queued and no timer");
    user_->NothingToDo(what);
    return false;
}

int HeadlessBackend::ShowMessageBox(const MessageBoxRequest& request) {
    return user_->AnswerMessageBox(request);
}

std::optional<std::u16string> HeadlessBackend::ChooseFile(const FileDialogRequest& request) {
    return user_->ChooseFile(request);
}

UINT HeadlessBackend::TrackPopupMenu(const PopupMenuRequest& request) {
    return user_->ChooseFromPopup(request);
}

bool HeadlessBackend::IsTapAndHold(HWND, POINT) {
    return std::exchange(holdNext_, false);
}

FontMetrics HeadlessBackend::MeasureFont(const LOGFONTW& font) {
    LONG h = FontHeight(font);
    return {static_cast<int>(h + 3), static_cast<int>(h), static_cast<int>((h + 1) / 2)};
}

SIZE HeadlessBackend::MeasureText(const LOGFONTW& font, std::u16string_view text) {
    LONG h = FontHeight(font);
    return {static_cast<LONG>(text.size()) * ((h + 1) / 2), h + 3};
}

HeadlessBackend* CurrentHeadless() {
    return dynamic_cast<HeadlessBackend*>(&CurrentBackend());
}

}  // namespace ce::gui
