#include "app/BootramaRun.h"

#include <fcntl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstring>
#include <sstream>

#include "platform/Machine.h"

extern char** environ;

namespace apptest {

namespace {

std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
}

// This process's environment without anything that would reach a display or a log.
std::vector<std::string> BaseEnvironment() {
    static const char* dropped[] = {
        "DISPLAY=",          "WAYLAND_DISPLAY=",      "QT_QPA_PLATFORM=",
        "BOOTRAMA_MACHINE=", "BOOTRAMA_MESSAGE_LOG=", "BOOTRAMA_ANSWERS="};
    std::vector<std::string> environment;
    for (char** entry = environ; *entry != nullptr; ++entry) {
        bool keep = true;
        for (const char* prefix : dropped)
            keep = keep && std::strncmp(*entry, prefix, std::strlen(prefix)) != 0;
        if (keep)
            environment.emplace_back(*entry);
    }
    return environment;
}

}  // namespace

BootramaRun::BootramaRun() {
    fs::create_directories(ProgramDir());
    fs::copy_file(BOOTRAMA_EXE, ProgramDir() / "bootrama");
    fs::copy_file(BOOTRAMA_UI_LIBRARY, ProgramDir() / "libbootrama_ui.so");
    // Creates the machine, so that the test can lay out its files first.
    platform::UseMachine(MachineRoot());
}

BootramaRun::~BootramaRun() = default;

std::string BootramaRun::AppPath() const {
    return platform::CurrentMachine().ToWindows(ProgramDir()) + "\\";
}

void BootramaRun::WriteConfig(bool boot, bool close, bool closing) {
    auto flag = [](bool on) { return on ? "1" : "0"; };
    WriteFile(ProgramDir() / "bootrama.ini", std::string("[Bootrama-Options]\r\nChangeBootBmp=") +
                                                 flag(boot) + "\r\nChangeCloseBmp=" + flag(close) +
                                                 "\r\nChangeClosingBmp=" + flag(closing) +
                                                 "\r\nNewInstalled=0\r\n");
}

RunResult BootramaRun::Run(const std::string& argument, const std::string& answers) {
    std::vector<std::string> environment = BaseEnvironment();
    environment.push_back("BOOTRAMA_MESSAGE_LOG=" + (temp_.Path() / "boxes.log").string());
    environment.push_back("BOOTRAMA_ANSWERS=" + answers);
    environment.push_back(std::string("QT_QPA_PLATFORM=") + NoDisplayPlatform);
    return Start(argument, std::move(environment));
}

RunResult BootramaRun::RunWithoutLog(const std::string& argument) {
    return Start(argument, BaseEnvironment());
}

RunResult BootramaRun::RunOnScreen(const std::string& argument) {
    std::vector<std::string> environment = BaseEnvironment();
    environment.push_back(std::string("QT_QPA_PLATFORM=") + NoDisplayPlatform);
    environment.push_back("LD_DEBUG=files");
    return Start(argument, std::move(environment));
}

RunResult BootramaRun::Start(const std::string& argument, std::vector<std::string> environment) {
    const fs::path log = temp_.Path() / "boxes.log";
    const fs::path errors = temp_.Path() / "stderr.txt";
    fs::remove(log);
    environment.push_back("BOOTRAMA_MACHINE=" + MachineRoot().string());
    const std::string program = (ProgramDir() / "bootrama").string();

    std::vector<char*> argv{const_cast<char*>(program.c_str()), const_cast<char*>(argument.c_str()),
                            nullptr};
    std::vector<char*> envp;
    for (auto& entry : environment) envp.push_back(entry.data());
    envp.push_back(nullptr);

    pid_t child = fork();
    if (child == 0) {
        // Runs that reach the GUI end in Qt's abort; they leave no core file behind.
        const rlimit noCore{0, 0};
        setrlimit(RLIMIT_CORE, &noCore);
        int errorFile = open(errors.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        dup2(errorFile, STDERR_FILENO);
        execve(program.c_str(), argv.data(), envp.data());
        _exit(127);
    }
    int status = 0;
    waitpid(child, &status, 0);

    RunResult result;
    result.exited = WIFEXITED(status);
    result.exitCode = result.exited ? WEXITSTATUS(status) : -1;
    result.errors = ReadFile(errors);
    result.boxes = Lines(ReadFile(log));
    return result;
}

std::string Box(const std::string& kind, const std::string& title, const std::string& text,
                const std::string& answer) {
    std::string spelled;
    for (char c : text) spelled += c == '\r' ? std::string("\\r") : std::string(1, c);
    return kind + "\t" + title + "\t" + spelled + "\t" + answer;
}

void BootramaRun::WriteFile(const fs::path& path, const std::string& contents) {
    testenv::WriteHostFile(path, contents);
}

std::string BootramaRun::ReadFile(const fs::path& path) {
    return testenv::ReadHostFile(path);
}

}  // namespace apptest
