#include "export/TextExport.h"

#include <vector>

#include "platform/core/Text.h"
#include "platform/files/Files.h"
#include "platform/gui/Cursor.h"
#include "resources/StringIds.h"
#include "store/Database.h"
#include "ui/FileDialogs.h"
#include "ui/MessageBoxes.h"
#include "ui/WaitCursor.h"

namespace textexport {

using namespace ce;

namespace {

// Collects the file's bytes and hands them to the file a buffer at a time;
// after the first failed write nothing more is written.
class BufferedFile {
public:
    explicit BufferedFile(HANDLE file) : file_(file) { bytes_.reserve(kExportBuffer + 1024); }

    std::vector<BYTE>& bytes() { return bytes_; }
    bool failed() const { return failed_; }

    // Writes the buffer once it is full (or always, with `all`).
    void Drain(bool all) {
        if (failed_ || bytes_.empty() || (!all && bytes_.size() < kExportBuffer))
            return;
        DWORD written = 0;
        if (!WriteFile(file_, bytes_.data(), static_cast<DWORD>(bytes_.size()), &written,
                       nullptr) ||
            written != bytes_.size()) {
            failed_ = true;
        }
        bytes_.clear();
    }

private:
    HANDLE file_;
    std::vector<BYTE> bytes_;
    bool failed_ = false;
};

void CloseFile(ExportOptions& options) {
    if (options.file != INVALID_HANDLE_VALUE)
        CloseHandle(options.file);
    options.file = INVALID_HANDLE_VALUE;
}

bool ReportFailure(const ExportOptions& options) {
    ui::MessageById(options.owner, res::IDS_CANT_EXPORT, ui::kErrorStyle);
    return false;
}

}  // namespace

bool WriteExport(const WCHAR* name, ExportOptions& options) {
    LineEncoder encoder(options.unicode, SeparatorOf(options.fileType));
    // The byte order mark goes out at once (a database that cannot be opened
    // leaves it as the whole file), and its write is not checked.
    std::vector<BYTE> mark;
    encoder.AppendByteOrderMark(mark);
    if (!mark.empty()) {
        DWORD written = 0;
        WriteFile(options.file, mark.data(), static_cast<DWORD>(mark.size()), &written, nullptr);
    }

    store::Database database(options.owner);
    if (database.Open(name) == INVALID_HANDLE_VALUE) {
        CloseFile(options);
        return ReportFailure(options);
    }
    options.separator = encoder.separator();
    options.separatorByte = static_cast<BYTE>(options.separator);
    bool failed = false;
    {
        ui::WaitCursor wait;
        // The walk ends with a failed seek, and unreadable records are
        // skipped without a word.
        auto quiet = database.QuietErrors();
        BufferedFile out(options.file);
        store::RecordBuffer record;
        DWORD index = 0;
        bool more = database.SeekFirst(index);
        while (more && !out.failed()) {
            if (database.ReadRecord(record) != 0)
                encoder.AppendRecord(record.props(), record.count, out.bytes());
            out.Drain(false);
            more = database.SeekNext(index);
        }
        out.Drain(true);
        failed = out.failed();
        record.Release();
    }
    database.Close();
    CloseFile(options);
    return failed ? ReportFailure(options) : true;
}

bool ExportDatabase(const WCHAR* name, ExportOptions& options) {
    bool comma = options.fileType != kTabSeparated;
    WCHAR path[MAX_PATH] = {};
    if (!ui::AskFileName(options.owner, path, false,
                         comma ? res::IDS_FILTER_CSV : res::IDS_FILTER_TXT,
                         comma ? u"*.csv" : u"*.txt")) {
        return false;
    }
    CopyWide(options.fileName, MAX_PATH, WideView(path, MAX_PATH));
    options.file = ui::CreateFileAsking(options.owner, options.fileName, options.fileName);
    if (options.file == INVALID_HANDLE_VALUE)
        return false;
    return WriteExport(name, options);
}

}  // namespace textexport
