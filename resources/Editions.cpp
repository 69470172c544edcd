#include "resources/Editions.h"

namespace res {

ce::HINSTANCE PalmEdition() {
    static const ce::ResourceModule* module = [] {
        auto* m = new ce::ResourceModule;
        AddCommonStrings(*m);
        AddBitmaps(*m);
        AddCommonDialogs(*m);
        AddPasswordDialogs(*m);
        AddBackupDialogs(*m);
        AddTransferStrings(*m);
        AddTransferDialogs(*m);
        AddCommonMenus(*m);
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
        AddBackupDialogs(*m);
        AddCommonMenus(*m);
        AddKeyboardStrings(*m);
        AddKeyboardPasswordDialogs(*m);
        AddKeyboardBackupDialogs(*m);
        AddTransferStrings(*m);
        AddKeyboardTransferStrings(*m);
        AddTransferDialogs(*m);
        AddKeyboardTransferDialogs(*m);
        return m;
    }();
    return module;
}

}  // namespace res
