#pragma once
// The readers work on open files: a fuzz input is written to a temporary
// file of this process and opened for reading.

#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <string>

#include "platform/core/Handles.h"
#include "platform/core/Text.h"
#include "platform/files/Files.h"

class FuzzFile {
public:
    FuzzFile(const std::uint8_t* data, std::size_t size) {
        path_ = "/tmp/tessaly-fuzz-" + std::to_string(getpid());
        std::FILE* f = std::fopen(path_.c_str(), "wb");
        if (f == nullptr)
            return;
        if (size != 0)
            std::fwrite(data, 1, size, f);
        std::fclose(f);
        std::u16string wide = ce::Utf8ToWide(path_);
        handle_ = ce::CreateFileW(wide.c_str(), ce::GENERIC_READ, 0, nullptr, ce::OPEN_EXISTING,
                                  ce::FILE_ATTRIBUTE_NORMAL, nullptr);
    }
    ~FuzzFile() {
        if (handle_ != ce::INVALID_HANDLE_VALUE)
            ce::CloseHandle(handle_);
        std::remove(path_.c_str());
    }
    FuzzFile(const FuzzFile&) = delete;
    FuzzFile& operator=(const FuzzFile&) = delete;

    bool ok() const { return handle_ != ce::INVALID_HANDLE_VALUE; }
    ce::HANDLE handle() const { return handle_; }
    const std::string& path() const { return path_; }

private:
    std::string path_;
    ce::HANDLE handle_ = ce::INVALID_HANDLE_VALUE;
};
