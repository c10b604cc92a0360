// MachineTest lives apart from the other helpers so that tests which only need a temporary
// folder (those of the platform layer) do not pull in the shared environment of the core.

#include "platform/Machine.h"
#include "platform/Process.h"
#include "support/TestEnv.h"

namespace testenv {

MachineTest::MachineTest() {
    fs::create_directories(ProgramDir());
    platform::UseMachine(MachineRoot());
    platform::SetProgramHostDirectory(ProgramDir());
    auto scripted = std::make_unique<ScriptedMessageBoxes>(&boxes_);
    scripted_ = scripted.get();
    platform::SetMessageBoxes(std::move(scripted));
    platform::SetHelp(std::make_unique<RecordingHelp>(&help_));
    SetTime({12, 0, 0, 0});
    global_.emplace();
}

MachineTest::~MachineTest() {
    global_.reset();
    platform::SetMessageBoxes(platform::MakeStderrMessageBoxes());
    platform::SetHelp(nullptr);  // the recording help writes into this test's members
    platform::SetClock({});
}

std::string MachineTest::Win(const fs::path& host) const {
    return platform::CurrentMachine().ToWindows(host);
}

void MachineTest::Answer(std::initializer_list<platform::BoxAnswer> answers) {
    scripted_->answers.insert(scripted_->answers.end(), answers);
}

std::vector<std::string> MachineTest::BoxTexts() const {
    std::vector<std::string> texts;
    for (const auto& box : boxes_) texts.push_back(box->text);
    return texts;
}

void MachineTest::SetTime(platform::SystemTime time) {
    platform::SetClock([time] { return time; });
}

void MachineTest::WriteFile(const fs::path& path, const std::string& contents) {
    testenv::WriteHostFile(path, contents);
}

std::string MachineTest::ReadFile(const fs::path& path) {
    return testenv::ReadHostFile(path);
}

}  // namespace testenv
