#pragma once
// Which window backend an interactive start uses. Without one that can show
// windows to a person, the headless console host stays installed and an
// interactive start ends with a message saying how to get a display.

namespace app {

// Installs the interactive backend when this session has a display.
void InstallWindowBackend();
// Whether the installed backend shows windows to a person.
bool HasInteractiveBackend();

// TESSALY_HEADLESS_INTERACTIVE=1 runs the interactive program on the
// headless backend, with nobody to answer, until it is closed or killed:
// tests start real programs this way. It prints "ready" once the main
// window exists and "brought forward" when another start raised it.
bool HeadlessInteractiveRequested();
void InstallHeadlessInteractiveBackend();
// Keeps the headless program's loop alive and reports what the tests wait for.
void StartHeadlessKeepAlive();

}  // namespace app
