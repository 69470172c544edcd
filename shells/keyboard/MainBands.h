#pragma once
// The keyboard edition's main window bands: a menu band and a toolbar band
// in a command-band strip, whose sizes are kept in the settings key between
// runs.

#include <span>

#include "platform/gui/CommandBar.h"

namespace shells {

// One entry of a command bar: a separator (command 0) or a button with its
// image and the string id of its tip.
struct ToolbarEntry {
    int image;
    ce::UINT command;
    ce::UINT tip;
};

// The main window's toolbar, left to right.
std::span<const ToolbarEntry> MainToolbar();
// The record editor's buttons after its menus, left to right.
std::span<const ToolbarEntry> EditorToolbar();

// The bands across the top of the main window; returns the menu band's
// command bar (nullptr on failure).
ce::HWND CreateMainBands(ce::HWND mainWindow);
// Keeps the list below the strip after the strip changed its height.
bool OnBandsNotify(ce::HWND mainWindow, const ce::NMHDR& header);
// Saves both bands' records as "MainBar1" and "MainBar2" and lets the tips go.
void SaveMainBands(ce::HWND mainWindow);

// Applies a stored band record to the band `id` of the strip when it is one
// that band can take (right size and form, its own id, a sane width);
// false (and the band unchanged) otherwise.
bool ApplyStoredBand(ce::HWND strip, ce::UINT id, std::span<const ce::BYTE> stored);

// Adds the toolbar entries and their tips to a command bar; the tips list
// starts with `leading` empty entries (a menu bar before the buttons).
bool AddToolbar(ce::HWND bar, std::span<const ToolbarEntry> entries, int leading);

}  // namespace shells
