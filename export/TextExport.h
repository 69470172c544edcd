#pragma once
// Export of one database into a text file: the options of one Export
// command, the file name question and the writing of the file.
//
// The file is written through a buffer of kExportBuffer bytes: the bytes are
// those of one write per character, without a system call for each.

#include <cstddef>

#include "export/ExportFormat.h"
#include "platform/gui/WinTypes.h"

namespace textexport {

using ce::HANDLE;
using ce::HWND;

inline constexpr std::size_t kExportBuffer = 64 * 1024;

// Built afresh for every Export command, so every export starts from the
// defaults: comma-separated, 8-bit.
struct ExportOptions {
    WCHAR fileName[ce::MAX_PATH] = {};
    int fileType = kCommaSeparated;
    HANDLE file = ce::INVALID_HANDLE_VALUE;
    HWND owner = nullptr;
    bool unicode = false;
    BYTE separatorByte = static_cast<BYTE>(kComma);
    WCHAR separator = kComma;
};

// The whole export: asks the file name in the save dialog (filter and name
// by file type), creates the file (asking before replacing one) and writes
// it. False when nothing was written or the export failed; failures have
// been reported.
bool ExportDatabase(const WCHAR* name, ExportOptions& options);

// Writes the database into `options.file`, which is open and empty, and
// closes it: the byte order mark in UNICODE mode, then a line for each
// record that can be read, in unsorted order. A database that cannot be
// opened or a write that fails is reported with "Unable to export the
// database into a file." and gives false; the file keeps what was written.
bool WriteExport(const WCHAR* name, ExportOptions& options);

}  // namespace textexport
