#pragma once
// Runs a copy of the real bootrama in a program folder and on a machine of its own,
// headless: its message boxes go to a log, its answers come from a list.

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "support/TestEnv.h"

namespace apptest {

namespace fs = std::filesystem;

struct RunResult {
    bool exited = false;  // ended by itself rather than by a signal
    int exitCode = -1;
    std::string errors;              // standard error
    std::vector<std::string> boxes;  // lines of the message log
};

// The Qt platform that the runs are given: one that does not exist, so that any attempt to
// create the GUI application ends the run at once (Qt aborts) instead of opening a window.
inline constexpr const char* NoDisplayPlatform = "bootrama-no-display";

// The log line of a box: KIND, TITLE, TEXT with \r spelled out, ANSWER.
std::string Box(const std::string& kind, const std::string& title, const std::string& text,
                const std::string& answer);

class BootramaRun : public ::testing::Test {
protected:
    BootramaRun();
    ~BootramaRun() override;

    fs::path MachineRoot() const { return temp_.Path() / "machine"; }
    fs::path DriveC() const { return MachineRoot() / "drive_c"; }
    fs::path ProgramDir() const { return temp_.Path() / "program"; }
    // The program folder as bootrama sees it, with trailing backslash.
    std::string AppPath() const;

    void WriteConfig(bool boot, bool close, bool closing);
    RunResult Run(const std::string& argument, const std::string& answers = "");
    // Without message log and without any display: the boxes go to standard error.
    RunResult RunWithoutLog(const std::string& argument);
    // With NoDisplayPlatform for a display but without message log, so boxes go on screen;
    // the dynamic linker names every library it loads on standard error.
    RunResult RunOnScreen(const std::string& argument);

    static void WriteFile(const fs::path& path, const std::string& contents);
    static std::string ReadFile(const fs::path& path);

private:
    RunResult Start(const std::string& argument, std::vector<std::string> environment);

    testenv::TempDir temp_;
};

}  // namespace apptest
