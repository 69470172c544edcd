#pragma once
// What reaches a program from outside its message queue, such as the object
// store's change notifications. Each source registers itself here; the
// window system's message loop asks every source between its waits and hands
// it a way to post to a window of this process. So a source needs nothing of
// the window system, and the window system nothing of the sources.

#include <cstdint>

#include "platform/core/Types.h"

namespace ce {

// Posts a message to a window of this process, as PostMessageW does; a
// handle that names no window of this process gets nothing (false).
using PostToWindow = bool (*)(HWND window, UINT message, std::uintptr_t wParam,
                              std::intptr_t lParam);
// Posts what has arrived since it was last asked; cheap when nothing has.
using MessageSource = void (*)(PostToWindow post);

// Adds a source; adding it again changes nothing. Safe from any thread.
void AddMessageSource(MessageSource source);
// Asks every source, in the order they were added.
void PollMessageSources(PostToWindow post);

}  // namespace ce
