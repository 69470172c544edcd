#pragma once
// A move-only owner for an open registry key, closed with RegCloseKey. The
// root keys are never opened, and closing one does nothing, so an owner may
// hold one as well.

#include "platform/core/UniqueResource.h"
#include "platform/registry/Registry.h"

namespace ce {

struct KeyTraits {
    using Value = HKEY;
    static HKEY Empty() { return 0; }
    static bool IsEmpty(HKEY key) { return key == 0; }
    static void Close(HKEY key) { RegCloseKey(key); }
};
using UniqueKey = UniqueResource<KeyTraits>;

}  // namespace ce
