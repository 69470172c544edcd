#pragma once
// Qt widgets for the native control kinds: push buttons, check boxes, radio
// buttons, group boxes, single- and multi-line edit fields, static texts and
// progress bars. Core owns their state: a peer shows it (with its own
// signals blocked, so that nothing echoes back) and reports what the user
// does through NativeEvents.h.

#include <QWidget>

#include "platform/gui/Backend.h"

namespace ce::gui::qt {

class QtBackend;

QWidget* CreateNativePeer(QtBackend& backend, HWND window, PeerKind kind, QWidget* parent);
// Follows the control's text, style, value and font (WindowChange bits).
void SyncNativePeer(QtBackend& backend, HWND window, PeerKind kind, QWidget* widget,
                    unsigned changes);

// Positions in a multi-line field: core counts a line break as "\r\n", Qt as one character.
int ToQtPosition(std::u16string_view coreText, int position);
int ToCorePosition(std::u16string_view coreText, int position);

}  // namespace ce::gui::qt
