#pragma once
// The Export command: the Export Database options (file format and
// UNICODE), then the export of the database.

#include "export/TextExport.h"

namespace textexport {

// Runs the options dialog on fresh options (comma-separated, 8-bit) owned
// by `owner`, and on OK exports database `name`. True when a file was
// written; failures have been reported.
bool ExportCommand(HWND owner, const WCHAR* name);

// The options dialog (template 119): starts on the options' file type and
// UNICODE flag and stores the choice on OK. False on Cancel.
bool AskExportOptions(ExportOptions& options);

}  // namespace textexport
