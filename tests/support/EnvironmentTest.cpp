// Every test runs with the same environment: UTC, a UTF-8 C locale, the
// folder of the built programs, and whatever its own CMake entry adds.

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>

namespace {

std::string Variable(const char* name) {
    const char* value = std::getenv(name);
    return value != nullptr ? value : "(unset)";
}

TEST(TestEnvironment, EveryVariableReachesTheTest) {
    EXPECT_EQ(Variable("TZ"), "UTC");
    EXPECT_EQ(Variable("LC_ALL"), "C.UTF-8");
    EXPECT_TRUE(std::filesystem::is_directory(Variable("TESSALY_BIN_DIR")))
        << Variable("TESSALY_BIN_DIR");
    EXPECT_EQ(Variable("TESSALY_TEST_MARK"), "set by the test's own entry");
}

}  // namespace
