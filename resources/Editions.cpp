#include "resources/Editions.h"

namespace res {

ce::HINSTANCE PalmEdition() {
    static const ce::ResourceModule* module = [] {
        auto* m = new ce::ResourceModule;
        AddCommonStrings(*m);
        AddBrowserStrings(*m);
        AddBitmaps(*m);
        AddCommonDialogs(*m);
        AddBrowserDialogs(*m);
        AddPasswordDialogs(*m);
        AddCommonMenus(*m);
        return m;
    }();
    return module;
}

ce::HINSTANCE KeyboardEdition() {
    static const ce::ResourceModule* module = [] {
        auto* m = new ce::ResourceModule;
        AddCommonStrings(*m);
        AddBrowserStrings(*m);
        AddBitmaps(*m);
        AddCommonDialogs(*m);
        AddPasswordDialogs(*m);
        AddCommonMenus(*m);
        AddKeyboardStrings(*m);
        AddKeyboardPasswordDialogs(*m);
        return m;
    }();
    return module;
}

}  // namespace res
