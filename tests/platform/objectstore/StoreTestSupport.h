#pragma once
// Shared set-up for the object store's tests: a fresh device per test and
// small helpers to build and read records.

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "platform/core/ErrorCodes.h"
#include "platform/core/Handles.h"
#include "platform/core/LastError.h"
#include "platform/core/LocalMemory.h"
#include "platform/core/Text.h"
#include "platform/objectstore/ObjectStore.h"
#include "tests/support/TempDevice.h"

namespace store_test {

using namespace ce;

inline constexpr CEPROPID kName = MakePropID(1, CEVT_LPWSTR);
inline constexpr CEPROPID kNumber = MakePropID(2, CEVT_I4);
inline constexpr CEPROPID kData = MakePropID(3, CEVT_BLOB);
inline constexpr CEPROPID kSmall = MakePropID(4, CEVT_I2);

inline CEPROPVAL TextProp(CEPROPID id, const char16_t* text) {
    CEPROPVAL v{};
    v.propid = id;
    v.val.lpwstr = const_cast<LPWSTR>(text);
    return v;
}
inline CEPROPVAL IntProp(CEPROPID id, LONG value) {
    CEPROPVAL v{};
    v.propid = id;
    v.val.lVal = value;
    return v;
}
inline CEPROPVAL DeleteProp(CEPROPID id) {
    CEPROPVAL v{};
    v.propid = id;
    v.wFlags = CEDB_PROPDELETE;
    return v;
}

// A record read back into owned values.
struct ReadBack {
    CEOID oid = 0;
    std::vector<CEPROPVAL> values;  // pointers into `buffer`
    std::vector<std::u16string> texts;
    BYTE* buffer = nullptr;
    DWORD size = 0;
    ~ReadBack() { LocalFree(buffer); }
    const CEPROPVAL* Find(CEPROPID id) const {
        for (const CEPROPVAL& v : values) {
            if (v.propid == id)
                return &v;
        }
        return nullptr;
    }
};

// Reads every property of the current record with CEDB_ALLOWREALLOC.
inline bool ReadCurrent(HANDLE db, ReadBack* out) {
    WORD count = 0;
    out->oid = CeReadRecordProps(db, CEDB_ALLOWREALLOC, &count, nullptr, &out->buffer, &out->size);
    if (out->oid == 0)
        return false;
    auto* values = reinterpret_cast<CEPROPVAL*>(out->buffer);
    out->values.assign(values, values + count);
    return true;
}

class StoreTest : public ::testing::Test {
protected:
    void TearDown() override { EXPECT_EQ(OpenHandleCount(), handlesAtStart_); }

    CEOID Create(const char16_t* name, std::vector<SORTORDERSPEC> sorts = {}, DWORD type = 0) {
        CEOID oid = CeCreateDatabase(name, type, static_cast<WORD>(sorts.size()),
                                     sorts.empty() ? nullptr : sorts.data());
        EXPECT_NE(oid, 0u) << "error " << GetLastError();
        return oid;
    }
    HANDLE Open(CEOID oid, CEPROPID sort = 0, DWORD flags = 0, HWND notify = nullptr) {
        HANDLE h = CeOpenDatabase(&oid, nullptr, sort, flags, notify);
        EXPECT_NE(h, INVALID_HANDLE_VALUE) << "error " << GetLastError();
        return h;
    }
    CEOID Write(HANDLE db, std::vector<CEPROPVAL> props, CEOID oid = 0) {
        CEOID written = CeWriteRecordProps(db, oid, static_cast<WORD>(props.size()), props.data());
        EXPECT_NE(written, 0u) << "error " << GetLastError();
        return written;
    }
    CEDBASEINFO Info(CEOID oid) {
        CEOIDINFO info{};
        EXPECT_TRUE(CeOidGetInfo(oid, &info)) << "error " << GetLastError();
        return info.infDatabase;
    }

    testing_support::TempDevice device_;
    std::size_t handlesAtStart_ = OpenHandleCount();
};

// Closes a handle at the end of a scope.
class ScopedHandle {
public:
    explicit ScopedHandle(HANDLE h) : h_(h) {}
    ~ScopedHandle() {
        if (h_ != INVALID_HANDLE_VALUE)
            CloseHandle(h_);
    }
    ScopedHandle(const ScopedHandle&) = delete;
    ScopedHandle& operator=(const ScopedHandle&) = delete;
    HANDLE get() const { return h_; }
    operator HANDLE() const { return h_; }

private:
    HANDLE h_;
};

}  // namespace store_test
