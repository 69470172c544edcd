#pragma once
// Two devices in a private room, and the programs that beam between them:
// devicectl on either device, in the foreground or in the background, with
// the transfer's pace at 0 and a short silence limit.

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "tests/support/Process.h"
#include "tests/support/TempDevice.h"

namespace transfer_tests {

using testing_support::BackgroundProcess;
using testing_support::ProcessResult;

class BeamFixture : public ::testing::Test {
protected:
    BeamFixture();
    ~BeamFixture() override;

    // devicectl on a device, to its end.
    ProcessResult Ctl(const std::filesystem::path& device, const std::vector<std::string>& args,
                      const std::string& input = {}, const std::vector<std::string>& env = {});
    // devicectl on a device in the background; its standard error goes to
    // its output.
    std::unique_ptr<BackgroundProcess> Start(const std::filesystem::path& device,
                                             const std::vector<std::string>& args,
                                             const std::vector<std::string>& env = {});
    // Waits until a receiver's entry is in the room.
    bool WaitForListener(int timeoutSeconds = 20);
    // Waits until a background process has written `text` (standard error included).
    static bool WaitFor(BackgroundProcess& process, const std::string& text, int seconds = 20);

    // Makes database `name` on `device` with one record per property list.
    void Fill(const std::filesystem::path& device, const std::string& name,
              const std::vector<std::string>& createOptions,
              const std::vector<std::vector<std::string>>& records);
    // `devicectl dump NAME --json` without the record identifiers; empty
    // when the dump fails.
    std::string Dump(const std::filesystem::path& device, const std::string& name);
    // The names `devicectl list` shows, system databases included.
    std::vector<std::string> Names(const std::filesystem::path& device);

    testing_support::TempDevice self_;  // the test process's own device
    testing_support::TempDirectory root_;
    std::filesystem::path room_;
    std::filesystem::path sender_;
    std::filesystem::path receiver_;
};

// A blob of `bytes` bytes as devicectl writes it: "ID:BINARY=hex".
std::string BlobProperty(int id, std::size_t bytes);

}  // namespace transfer_tests
