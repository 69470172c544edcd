#include <cstdio>

#include "platform/core/ErrorCodes.h"
#include "platform/core/LastError.h"
#include "tools/devicectl/Commands.h"

namespace devicectl {
namespace {

const char* CodeText(ce::DWORD code) {
    switch (code) {
        case ce::ERROR_FILE_NOT_FOUND:
            return "not found";
        case ce::ERROR_PATH_NOT_FOUND:
            return "path not found";
        case ce::ERROR_ACCESS_DENIED:
            return "access denied";
        case ce::ERROR_INVALID_HANDLE:
            return "invalid handle or identifier";
        case ce::ERROR_NOT_ENOUGH_MEMORY:
            return "not enough memory";
        case ce::ERROR_SHARING_VIOLATION:
            return "in use by another handle";
        case ce::ERROR_DUP_NAME:
            return "a database of that name exists";
        case ce::ERROR_INVALID_PARAMETER:
            return "invalid parameter";
        case ce::ERROR_DISK_FULL:
            return "the store is full";
        case ce::ERROR_NO_MORE_ITEMS:
            return "no more items";
        case ce::ERROR_KEY_DELETED:
            return "deleted";
        case ce::ERROR_MORE_DATA:
            return "more data than fits";
        case ce::ERROR_BADDB:
            return "the stored data is corrupt";
        default:
            return "error";
    }
}

}  // namespace

int Fail(const std::string& message) {
    std::fprintf(stderr, "devicectl: %s\n", message.c_str());
    return 1;
}

std::string ErrorText(ce::DWORD code) {
    return std::string(CodeText(code)) + " (code " + std::to_string(code) + ")";
}

std::string LastErrorText() {
    return ErrorText(ce::GetLastError());
}

}  // namespace devicectl
