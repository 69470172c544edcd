#pragma once
// devicectl as its users run it: a real process on a real, fresh device
// directory.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/support/Process.h"
#include "tests/support/TempDevice.h"

namespace devicectl_test {

using testing_support::BuiltProgram;
using testing_support::ProcessResult;
using testing_support::RunProgram;

class Devicectl : public ::testing::Test {
protected:
    ProcessResult Run(std::vector<std::string> args, const std::string& input = {}) {
        return RunProgram(BuiltProgram("devicectl"), args, {device_.EnvAssignment()}, input);
    }
    static std::size_t Count(const std::string& text, const std::string& what) {
        std::size_t n = 0;
        for (std::size_t at = text.find(what); at != std::string::npos;
             at = text.find(what, at + 1))
            ++n;
        return n;
    }
    // A file of the test data (tests/data).
    static std::string Data(const char* name) {
        return std::string(TESSALY_TEST_DATA) + "/" + name;
    }

    testing_support::TempDevice device_;
};

}  // namespace devicectl_test
