#pragma once
// The window system in memory, without a display: every window, control and
// dialog exists as state only, and a HeadlessUser stands in for the person.

#include <memory>

#include "platform/gui/Backend.h"
#include "platform/gui/headless/HeadlessUser.h"

namespace ce::gui {

class HeadlessBackend : public Backend {
public:
    explicit HeadlessBackend(std::shared_ptr<HeadlessUser> user) : user_(std::move(user)) {}
    const char* Name() const override { return "headless"; }
    int ShowMessageBox(const MessageBoxRequest& request) override;
    HeadlessUser& user() { return *user_; }

private:
    std::shared_ptr<HeadlessUser> user_;
};

}  // namespace ce::gui
