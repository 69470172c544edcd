#include "resources/Editions.h"

namespace res {

ce::HINSTANCE PalmEdition() {
    static const ce::ResourceModule* module = [] {
        auto* m = new ce::ResourceModule;
        AddCommonStrings(*m);
        AddBitmaps(*m);
        AddCommonDialogs(*m);
        AddPasswordDialogs(*m);
        AddCommonMenus(*m);
        AddEditorStrings(*m);
        AddEditorDialogs(*m);
        return m;
    }();
    return module;
}

ce::HINSTANCE KeyboardEdition() {
    static const ce::ResourceModule* module = [] {
        auto* m = new ce::ResourceModule;
        AddCommonStrings(*m);
        AddBitmaps(*m);
        AddCommonDialogs(*m);
        AddPasswordDialogs(*m);
        AddCommonMenus(*m);
        AddEditorStrings(*m);
        AddEditorDialogs(*m);
        AddKeyboardStrings(*m);
        AddKeyboardPasswordDialogs(*m);
        AddKeyboardEditorDialogs(*m);
        return m;
    }();
    return module;
}

}  // namespace res
