#pragma once
// A test's Qt backend: installed for the test and removed after it, on the
// palm-size screen (240 x 320 with the shell's strip), with helpers that
// let Qt deliver what the test simulated and the window system dispatch
// the messages that came of it.

#include <gtest/gtest.h>

#include <QApplication>
#include <QWidget>
#include <cstdlib>
#include <memory>
#include <vector>

#include "platform/gui/Backend.h"
#include "platform/gui/NativeEvents.h"
#include "platform/gui/WinUser.h"
#include "platform/gui/qt/QtBackend.h"

namespace qt_testing {

struct Message {
    ce::HWND window;
    ce::UINT message;
    ce::WPARAM wParam;
    ce::LPARAM lParam;
};

class QtWindows : public ::testing::Test {
protected:
    void SetUp() override {
        ::unsetenv("TESSALY_SCREEN");
        ::unsetenv("TESSALY_DPI");
        ::setenv("QT_QPA_PLATFORM", "offscreen", 0);
        scope_ = std::make_unique<ce::gui::ScopedBackend>(
            std::make_unique<ce::gui::qt::QtBackend>(ce::gui::InteractiveOptions{}));
        qt_ = ce::gui::qt::CurrentQt();
        ASSERT_NE(qt_, nullptr);
    }
    void TearDown() override { scope_.reset(); }

    // Qt's pending events, then every queued message, as a program's loop would.
    void Settle() {
        for (int round = 0; round < 3; ++round) {
            QCoreApplication::processEvents();
            ce::MSG msg;
            while (ce::PeekMessageW(&msg, nullptr, 0, 0, ce::PM_REMOVE)) {
                if (msg.message == ce::WM_QUIT)
                    break;
                bool handled = false;
                for (ce::HWND dialog : ce::gui::OpenDialogs()) {
                    if (ce::IsDialogMessageW(dialog, &msg)) {
                        handled = true;
                        break;
                    }
                }
                if (!handled) {
                    ce::TranslateMessage(&msg);
                    ce::DispatchMessageW(&msg);
                }
            }
        }
    }

    QWidget* WidgetOf(ce::HWND window) {
        const ce::gui::qt::Peer* peer = qt_->PeerOf(window);
        return peer != nullptr ? peer->widget.data() : nullptr;
    }
    template <class T>
    T* PeerAs(ce::HWND window) {
        return qobject_cast<T*>(WidgetOf(window));
    }

    ce::gui::qt::QtBackend* qt_ = nullptr;

private:
    std::unique_ptr<ce::gui::ScopedBackend> scope_;
};

}  // namespace qt_testing
