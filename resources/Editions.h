#pragma once
// The resource modules of the two programs: the common resources, with each
// edition's own entries replacing common ones of the same number.

#include "platform/gui/Resources.h"

namespace res {

void AddCommonStrings(ce::ResourceModule& module);
void AddKeyboardStrings(ce::ResourceModule& module);
void AddBrowserStrings(ce::ResourceModule& module);
void AddBrowserDialogs(ce::ResourceModule& module);
void AddBitmaps(ce::ResourceModule& module);
void AddKeyboardBitmaps(ce::ResourceModule& module);
void AddCommonDialogs(ce::ResourceModule& module);
void AddCommonMenus(ce::ResourceModule& module);
void AddKeyboardMenus(ce::ResourceModule& module);
void AddKeyboardBrowserDialogs(ce::ResourceModule& module);
void AddPasswordDialogs(ce::ResourceModule& module);
void AddKeyboardPasswordDialogs(ce::ResourceModule& module);
void AddBackupDialogs(ce::ResourceModule& module);
void AddKeyboardBackupDialogs(ce::ResourceModule& module);
void AddTransferStrings(ce::ResourceModule& module);
void AddKeyboardTransferStrings(ce::ResourceModule& module);
void AddTransferDialogs(ce::ResourceModule& module);
void AddKeyboardTransferDialogs(ce::ResourceModule& module);
void AddExportStrings(ce::ResourceModule& module);
void AddExportDialogs(ce::ResourceModule& module);
void AddKeyboardExportDialogs(ce::ResourceModule& module);
void AddEditorStrings(ce::ResourceModule& module);
void AddEditorDialogs(ce::ResourceModule& module);
void AddKeyboardEditorDialogs(ce::ResourceModule& module);

// The palm-size edition's resources (tessaly).
ce::HINSTANCE PalmEdition();
// The keyboard edition's resources (tessbook).
ce::HINSTANCE KeyboardEdition();

}  // namespace res
