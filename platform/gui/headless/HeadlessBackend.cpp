#include "platform/gui/headless/HeadlessBackend.h"

namespace ce::gui {

int HeadlessBackend::ShowMessageBox(const MessageBoxRequest& request) {
    return user_->AnswerMessageBox(request);
}

}  // namespace ce::gui
