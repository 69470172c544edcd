#pragma once
// The single application object: every part of the program reaches the main
// window, the resources, the settings and the help program through it.

#include <memory>
#include <string>

#include "appcore/ScopedValue.h"
#include "appcore/Settings.h"
#include "platform/gui/WinTypes.h"

namespace appcore {

class Application {
public:
    virtual ~Application();

    ce::HWND mainWindow = nullptr;
    ce::HINSTANCE instance = nullptr;
    // Set by the infrared transfer window's Cancel button.
    bool cancelRequested = false;
    ce::HWND list = nullptr;
    ce::WNDPROC listProcedure = nullptr;
    std::unique_ptr<Settings> settings;
    ce::HIMAGELIST headerImages = nullptr;
    ce::HWND menuBar = nullptr;
    ce::HIMAGELIST largeImages = nullptr;
    ce::HIMAGELIST smallImages = nullptr;
    std::u16string helpProgram = u"PegHelp.exe";
    ce::LONG topOffset = 0;
    // False while a menu command runs; the main window refuses to close then.
    bool commandsIdle = true;

    // Process-wide values beside it: whether the display has more than 150
    // logical pixels per inch (the larger bitmap of every pair is used), the
    // dialog frame's help-button bitmap, and the record editor's accelerators.
    bool highResolution = false;
    ce::HBITMAP helpBitmap = nullptr;
    ce::HACCEL editorAccelerators = nullptr;

    // Commands are not idle until the returned guard ends; then they are as
    // they were.
    ScopedValue<bool> CommandRunning() { return {commandsIdle, false}; }
};

// The application object in use. A program has one for the whole process.
Application& App();

// Replaces the application object with a fresh one for a scope, and puts the
// previous one back afterwards; tests start each case with one, so that no
// case inherits another's state.
class ScopedApplication {
public:
    ScopedApplication();
    ~ScopedApplication();
    ScopedApplication(const ScopedApplication&) = delete;
    ScopedApplication& operator=(const ScopedApplication&) = delete;

private:
    std::unique_ptr<Application> fresh_;
    Application* previous_;
};

// Whether the running program is silent (the settings' silent switch).
bool RunningSilently();

}  // namespace appcore
