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
        AddBackupDialogs(*m);
        AddTransferStrings(*m);
        AddTransferDialogs(*m);
        AddExportStrings(*m);
        AddExportDialogs(*m);
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
        AddBrowserStrings(*m);
        AddBitmaps(*m);
        AddKeyboardBitmaps(*m);
        AddCommonDialogs(*m);
        AddPasswordDialogs(*m);
        AddExportStrings(*m);
        AddExportDialogs(*m);
        AddBackupDialogs(*m);
        AddCommonMenus(*m);
        AddEditorStrings(*m);
        AddEditorDialogs(*m);
        AddKeyboardStrings(*m);
        AddKeyboardMenus(*m);
        AddKeyboardBrowserDialogs(*m);
        AddKeyboardPasswordDialogs(*m);
        AddKeyboardBackupDialogs(*m);
        AddTransferStrings(*m);
        AddKeyboardTransferStrings(*m);
        AddTransferDialogs(*m);
        AddKeyboardTransferDialogs(*m);
        AddKeyboardExportDialogs(*m);
        AddKeyboardEditorDialogs(*m);
        return m;
    }();
    return module;
}

}  // namespace res
