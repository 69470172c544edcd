#pragma once
// Readable names for table-driven test cases whose parameters are structs:
// "row3" instead of the struct's bytes.

#include <string>

#include <gtest/gtest.h>

namespace testing_support {

struct RowName {
    template <class T>
    std::string operator()(const ::testing::TestParamInfo<T>& info) const {
        return "row" + std::to_string(info.index);
    }
};

}  // namespace testing_support
