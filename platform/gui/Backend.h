#pragma once
// The window system's backend: what actually shows windows and asks the
// user. Two exist: headless/ (in memory; a console host for unattended runs
// and a scripted user for tests) and qt/ (real windows). The choice is made
// at run time by installing one; without an installed backend the headless
// console host is used.

#include <memory>
#include <string>

#include "platform/gui/WinTypes.h"

namespace ce::gui {

struct MessageBoxRequest {
    HWND owner = nullptr;
    std::u16string text;
    std::u16string caption;
    UINT style = MB_OK;
    // The string-table id the text came from (0 when unknown), so that a
    // scripted user can answer by id.
    UINT stringId = 0;
};

class Backend {
public:
    virtual ~Backend() = default;
    virtual const char* Name() const = 0;
    // Shows a modal message box and returns the button chosen (IDOK, IDYES, ...).
    virtual int ShowMessageBox(const MessageBoxRequest& request) = 0;
};

// The backend in use (the headless console host until one is installed).
Backend& CurrentBackend();
// Installs a backend; returns the one it replaces (possibly null).
std::unique_ptr<Backend> InstallBackend(std::unique_ptr<Backend> backend);

// Installs a backend for a scope and puts the previous one back afterwards.
class ScopedBackend {
public:
    explicit ScopedBackend(std::unique_ptr<Backend> backend)
        : previous_(InstallBackend(std::move(backend))) {}
    ~ScopedBackend() { InstallBackend(std::move(previous_)); }
    ScopedBackend(const ScopedBackend&) = delete;
    ScopedBackend& operator=(const ScopedBackend&) = delete;

private:
    std::unique_ptr<Backend> previous_;
};

// A message box with the id of the string its text came from.
int ShowMessageBox(const MessageBoxRequest& request);

// The answer a message box gets when nobody can be asked: Cancel when the
// box has it, else No, else OK.
int SafeAnswer(UINT style);

}  // namespace ce::gui

namespace ce {

int MessageBoxW(HWND hWnd, LPCWSTR lpText, LPCWSTR lpCaption, UINT uType);

}  // namespace ce
