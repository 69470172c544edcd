#pragma once
// The two password dialogs that backup archives, Autobackup scripts and
// registry backups share. A password is 1 to 19 units (backup/Password.h);
// both take and give it in plain form.
//
// In an unattended run the console host acts in both: it prompts on its
// output and reads the password without echo from a terminal, or as one
// line from standard input; end of input leaves the field empty, which
// cancels.
//
// Library: password_dialogs.

#include "backup/Password.h"
#include "platform/gui/WinTypes.h"

namespace backup {

// The Protect Backup dialog. True with `password` (kPasswordUnits units)
// holding the new password, 4 to 19 characters that both fields agreed on;
// false when the user cancelled or left both fields empty.
bool AskProtectPassword(ce::WCHAR* password, ce::HWND owner);

// The Enter Password dialog. True at once when `expected` is empty;
// otherwise true once exactly that password is typed, false when the field
// is left blank or the dialog cancelled. A wrong password is refused with a
// message and may be typed again, without limit.
bool AskPassword(const ce::WCHAR* expected, ce::HWND owner);

}  // namespace backup
