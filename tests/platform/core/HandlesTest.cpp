#include "platform/core/Handles.h"

#include <gtest/gtest.h>

#include "platform/core/ErrorCodes.h"
#include "platform/core/LastError.h"
#include "platform/core/LocalMemory.h"
#include "platform/core/UniqueResource.h"

namespace {

class Counted : public ce::KernelObject {
public:
    explicit Counted(int* closes) : closes_(closes) {}
    bool Close() override {
        ++*closes_;
        return true;
    }

private:
    int* closes_;
};

TEST(Handles, CloseHandleClosesOnceAndThenRejectsTheHandle) {
    int closes = 0;
    std::size_t before = ce::OpenHandleCount();
    ce::HANDLE h = ce::InsertHandle(std::make_unique<Counted>(&closes));
    EXPECT_NE(h, ce::INVALID_HANDLE_VALUE);
    EXPECT_NE(ce::LookupHandleAs<Counted>(h), nullptr);
    EXPECT_TRUE(ce::CloseHandle(h));
    EXPECT_EQ(closes, 1);
    EXPECT_FALSE(ce::CloseHandle(h));
    EXPECT_EQ(ce::GetLastError(), ce::ERROR_INVALID_HANDLE);
    EXPECT_FALSE(ce::CloseHandle(ce::INVALID_HANDLE_VALUE));
    EXPECT_EQ(ce::OpenHandleCount(), before);
}

TEST(Handles, AnOwnerClosesItsHandleOnceWhereverItsValueEndsUp) {
    int closes = 0;
    {
        ce::UniqueHandle first(ce::InsertHandle(std::make_unique<Counted>(&closes)));
        ce::UniqueHandle second = std::move(first);
        EXPECT_FALSE(first);
        EXPECT_TRUE(second);
        ce::UniqueHandle third;
        third = std::move(second);
        EXPECT_EQ(closes, 0);
        ce::HANDLE kept = third.release();
        EXPECT_EQ(closes, 0);
        third.reset(kept);
    }
    EXPECT_EQ(closes, 1);
    ce::UniqueHandle invalid(ce::INVALID_HANDLE_VALUE);
    EXPECT_FALSE(invalid);
}

TEST(LocalMemory, ReallocKeepsContentsAndReportsFailure) {
    auto* block = static_cast<char*>(ce::LocalAlloc(ce::LPTR, 4));
    ASSERT_NE(block, nullptr);
    EXPECT_EQ(block[3], 0);
    block[0] = 'x';
    auto* grown = static_cast<char*>(ce::LocalReAlloc(block, 1000, ce::LMEM_MOVEABLE));
    ASSERT_NE(grown, nullptr);
    EXPECT_EQ(grown[0], 'x');
    EXPECT_EQ(ce::LocalSize(grown), 1000u);
    ce::FailNextLocalAllocs(1);
    EXPECT_EQ(ce::LocalReAlloc(grown, 2000, ce::LMEM_MOVEABLE), nullptr);
    EXPECT_EQ(ce::GetLastError(), ce::ERROR_NOT_ENOUGH_MEMORY);
    EXPECT_EQ(ce::LocalSize(grown), 1000u);  // the old block is untouched
    EXPECT_EQ(ce::LocalFree(grown), nullptr);
}

}  // namespace
