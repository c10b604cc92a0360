#pragma once
// Runs a copy of the real bootrama in a program folder and on a machine of its own,
// headless: its message boxes go to a log, its answers come from a list.

#include <gtest/gtest.h>
#include <sys/types.h>

#include <chrono>
#include <filesystem>
#include <string>
#include <vector>

#include "core/Global.h"
#include "support/TestEnv.h"

namespace apptest {

namespace fs = std::filesystem;

struct RunResult {
    bool exited = false;  // ended by itself, in time, rather than by a signal
    int exitCode = -1;
    std::string output;              // standard output
    std::string errors;              // standard error
    std::vector<std::string> boxes;  // lines of the message log
};

// The Qt platform that the runs are given: one that does not exist, so that any attempt to
// create the GUI application ends the run at once (Qt aborts) instead of opening a window.
inline constexpr const char* NoDisplayPlatform = "bootrama-no-display";

// A text as the message log spells it: \\ and \r for a backslash and a carriage return.
std::string Spelled(const std::string& text);
// The log line of a box: KIND, TITLE, TEXT spelled out, ANSWER.
std::string Box(const std::string& kind, const std::string& title, const std::string& text,
                const std::string& answer);

class BootramaRun : public ::testing::Test {
protected:
    BootramaRun();
    ~BootramaRun() override;

    fs::path MachineRoot() const { return temp_.Path() / "machine"; }
    fs::path DriveC() const { return MachineRoot() / "drive_c"; }
    fs::path ProgramDir() const { return programDir_; }
    // The program folder as bootrama sees it, with trailing backslash.
    std::string AppPath() const;
    // Runs bootrama from a copy in this folder from now on.
    void MoveProgram(const fs::path& folder);

    // The current logos and the lists of the machine, with one logo of its own for each kind.
    static std::string Current(TLogoKind kind) {
        return "current " + std::to_string(KindIndex(kind));
    }
    fs::path Logo(TLogoKind kind) const;
    fs::path List(TLogoKind kind) const;
    void WriteOneLogoLists();
    bool Switched(TLogoKind kind) const;

    void WriteConfig(bool boot, bool close, bool closing);
    RunResult Run(const std::string& argument, const std::string& answers = "");
    // Without message log and without any display: the boxes go to standard error.
    RunResult RunWithoutLog(const std::string& argument);
    // bootrama-logo with these arguments, run in drive C's host folder.
    RunResult RunLogo(const std::vector<std::string>& arguments);
    // bootrama started for a test that ends it itself; Finish waits for it.
    pid_t Start(const std::string& argument);
    RunResult Finish(pid_t child);
    // A run that takes longer fails and is ended, instead of blocking the test suite.
    std::chrono::seconds runTimeout_{60};
    // With NoDisplayPlatform for a display but without message log, so boxes go on screen;
    // the dynamic linker names every library it loads on standard error.
    RunResult RunOnScreen(const std::string& argument);

    static void WriteFile(const fs::path& path, const std::string& contents);
    static std::string ReadFile(const fs::path& path);

private:
    std::vector<std::string> LogEnvironment(const std::string& answers) const;
    pid_t Launch(const fs::path& program, const std::vector<std::string>& arguments,
                 std::vector<std::string> environment, const fs::path& folder);

    testenv::TempDir temp_;
    fs::path programDir_;
};

}  // namespace apptest
