#pragma once
// Shared helpers of the tests: a temporary machine and program folder per test, scripted
// message boxes, recorded help requests and a fixed clock.

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "core/Global.h"
#include "platform/Clock.h"
#include "platform/Help.h"
#include "platform/MessageBox.h"

namespace testenv {

namespace fs = std::filesystem;

// A folder removed with everything in it when the object goes.
class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;
    const fs::path& Path() const { return path_; }

private:
    fs::path path_;
};

struct ShownBox {
    platform::BoxKind kind;
    std::string title;
    std::string text;
    platform::BoxAnswer answer;
};

// Answers questions from a script (then with the defaults) and records every box.
class ScriptedMessageBoxes : public platform::MessageBoxes {
public:
    explicit ScriptedMessageBoxes(std::vector<std::shared_ptr<ShownBox>>* log) : log_(log) {}
    platform::BoxAnswer Show(platform::BoxKind kind, const std::string& title,
                             const std::string& text) override;
    std::vector<platform::BoxAnswer> answers;  // taken in order by the questions

private:
    std::vector<std::shared_ptr<ShownBox>>* log_;
};

class RecordingHelp : public platform::Help {
public:
    explicit RecordingHelp(std::vector<std::string>* log) : log_(log) {}
    void SetHelpFile(const std::string& path) override;
    void Contents() override;
    void Index(const std::string& search) override;
    void UsingHelp() override;
    void Topic(int context) override;

private:
    std::vector<std::string>* log_;
};

// Each test gets a new machine (with its C: drive), a program folder mapped as a Windows
// path, a fresh GlobalInfo, scripted boxes, recorded help and a fixed clock.
class MachineTest : public ::testing::Test {
protected:
    MachineTest();
    ~MachineTest() override;

    // Host paths.
    fs::path MachineRoot() const { return temp_.Path() / "machine"; }
    fs::path DriveC() const { return MachineRoot() / "drive_c"; }
    fs::path ProgramDir() const { return temp_.Path() / "program"; }
    // Windows path of a host path.
    std::string Win(const fs::path& host) const;

    // Queue answers (platform::IDYES, ...) for the next questions.
    void Answer(std::initializer_list<platform::BoxAnswer> answers);
    const std::vector<std::shared_ptr<ShownBox>>& Boxes() const { return boxes_; }
    std::vector<std::string> BoxTexts() const;
    const std::vector<std::string>& HelpRequests() const { return help_; }
    void SetTime(platform::SystemTime time);

    static void WriteFile(const fs::path& path, const std::string& contents);
    static std::string ReadFile(const fs::path& path);

private:
    TempDir temp_;
    std::vector<std::shared_ptr<ShownBox>> boxes_;
    std::vector<std::string> help_;
    ScriptedMessageBoxes* scripted_ = nullptr;
    std::optional<GlobalInfoScope> global_;
};

// The folder of third-party test pictures, or empty when it is absent.
fs::path TestDataDir();

// A host file's whole contents, written (with its folders) or read as bytes.
void WriteHostFile(const fs::path& path, const std::string& contents);
std::string ReadHostFile(const fs::path& path);

// A character device numbered as Linux numbers its memory devices (major 1: 3 is null, 5 is
// zero), made by the test instead of taken from the host's /dev; false where this process
// may not make one (only root may).
bool MakeCharacterDevice(const fs::path& path, unsigned minor);

}  // namespace testenv
