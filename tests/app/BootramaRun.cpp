#include "app/BootramaRun.h"

#include <fcntl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstring>
#include <sstream>
#include <thread>

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
    MoveProgram(temp_.Path() / "program");
    // Creates the machine, so that the test can lay out its files first.
    platform::UseMachine(MachineRoot());
}

BootramaRun::~BootramaRun() = default;

std::string BootramaRun::AppPath() const {
    return platform::CurrentMachine().ToWindows(ProgramDir()) + "\\";
}

void BootramaRun::MoveProgram(const fs::path& folder) {
    programDir_ = folder;
    fs::create_directories(folder);
    fs::copy_file(BOOTRAMA_EXE, folder / "bootrama");
    fs::copy_file(BOOTRAMA_UI_LIBRARY, folder / "libbootrama_ui.so");
}

fs::path BootramaRun::Logo(TLogoKind kind) const {
    return kind == lkBoot ? DriveC() / "LOGO.SYS"
                          : DriveC() / "WINDOWS" / (kind == lkClosing ? "LOGOW.SYS" : "LOGOS.SYS");
}

fs::path BootramaRun::List(TLogoKind kind) const {
    return ProgramDir() / (kind == lkBoot      ? "brboot.dat"
                           : kind == lkClosing ? "brclsing.dat"
                                               : "brclose.dat");
}

void BootramaRun::WriteOneLogoLists() {
    for (TLogoKind kind : AllLogoKinds) {
        const std::string name = "new" + std::to_string(KindIndex(kind)) + ".sys";
        WriteFile(DriveC() / "Logos" / name, "new " + std::to_string(KindIndex(kind)));
        WriteFile(List(kind), "C:\\Logos\\" + name + "\r\n");
    }
}

bool BootramaRun::Switched(TLogoKind kind) const {
    return ReadFile(Logo(kind)) == "new " + std::to_string(KindIndex(kind));
}

void BootramaRun::WriteConfig(bool boot, bool close, bool closing) {
    auto flag = [](bool on) { return on ? "1" : "0"; };
    WriteFile(ProgramDir() / "bootrama.ini", std::string("[Bootrama-Options]\r\nChangeBootBmp=") +
                                                 flag(boot) + "\r\nChangeCloseBmp=" + flag(close) +
                                                 "\r\nChangeClosingBmp=" + flag(closing) +
                                                 "\r\nNewInstalled=0\r\n");
}

std::vector<std::string> BootramaRun::LogEnvironment(const std::string& answers) const {
    std::vector<std::string> environment = BaseEnvironment();
    environment.push_back("BOOTRAMA_MESSAGE_LOG=" + (temp_.Path() / "boxes.log").string());
    environment.push_back("BOOTRAMA_ANSWERS=" + answers);
    environment.push_back(std::string("QT_QPA_PLATFORM=") + NoDisplayPlatform);
    return environment;
}

RunResult BootramaRun::Run(const std::string& argument, const std::string& answers) {
    return Finish(Launch(ProgramDir() / "bootrama", {argument}, LogEnvironment(answers), {}));
}

RunResult BootramaRun::RunWithoutLog(const std::string& argument) {
    return Finish(Launch(ProgramDir() / "bootrama", {argument}, BaseEnvironment(), {}));
}

RunResult BootramaRun::RunLogo(const std::vector<std::string>& arguments) {
    return Finish(Launch(BOOTRAMA_LOGO_EXE, arguments, BaseEnvironment(), DriveC()));
}

RunResult BootramaRun::RunOnScreen(const std::string& argument) {
    std::vector<std::string> environment = BaseEnvironment();
    environment.push_back(std::string("QT_QPA_PLATFORM=") + NoDisplayPlatform);
    environment.push_back("LD_DEBUG=files");
    return Finish(Launch(ProgramDir() / "bootrama", {argument}, std::move(environment), {}));
}

pid_t BootramaRun::Start(const std::string& argument) {
    return Launch(ProgramDir() / "bootrama", {argument}, LogEnvironment(""), {});
}

pid_t BootramaRun::Launch(const fs::path& program, const std::vector<std::string>& arguments,
                          std::vector<std::string> environment, const fs::path& folder) {
    fs::remove(temp_.Path() / "boxes.log");
    environment.push_back("BOOTRAMA_MACHINE=" + MachineRoot().string());
    std::vector<std::string> words{program.string()};
    words.insert(words.end(), arguments.begin(), arguments.end());
    std::vector<char*> argv;
    for (auto& word : words) argv.push_back(word.data());
    argv.push_back(nullptr);
    std::vector<char*> envp;
    for (auto& entry : environment) envp.push_back(entry.data());
    envp.push_back(nullptr);
    const std::string output = (temp_.Path() / "stdout.bin").string();
    const std::string errors = (temp_.Path() / "stderr.txt").string();

    pid_t child = fork();
    if (child == 0) {
        // Runs that reach the GUI end in Qt's abort; they leave no core file behind.
        const rlimit noCore{0, 0};
        setrlimit(RLIMIT_CORE, &noCore);
        dup2(open(output.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644), STDOUT_FILENO);
        dup2(open(errors.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644), STDERR_FILENO);
        if (!folder.empty() && chdir(folder.c_str()) != 0)
            _exit(126);
        execve(argv[0], argv.data(), envp.data());
        _exit(127);
    }
    return child;
}

RunResult BootramaRun::Finish(pid_t child) {
    int status = 0;
    const auto deadline = std::chrono::steady_clock::now() + runTimeout_;
    while (waitpid(child, &status, WNOHANG) == 0) {
        if (std::chrono::steady_clock::now() > deadline) {
            ADD_FAILURE() << "the run did not end within " << runTimeout_.count() << " s";
            kill(child, SIGKILL);
            waitpid(child, &status, 0);
            break;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    RunResult result;
    result.exited = WIFEXITED(status);
    result.exitCode = result.exited ? WEXITSTATUS(status) : -1;
    result.output = ReadFile(temp_.Path() / "stdout.bin");
    result.errors = ReadFile(temp_.Path() / "stderr.txt");
    result.boxes = Lines(ReadFile(temp_.Path() / "boxes.log"));
    return result;
}

std::string Spelled(const std::string& text) {
    std::string result;
    for (char c : text) {
        result += c == '\\'   ? std::string("\\\\")
                  : c == '\r' ? std::string("\\r")
                              : std::string(1, c);
    }
    return result;
}

std::string Box(const std::string& kind, const std::string& title, const std::string& text,
                const std::string& answer) {
    return kind + "\t" + Spelled(title) + "\t" + Spelled(text) + "\t" + answer;
}

void BootramaRun::WriteFile(const fs::path& path, const std::string& contents) {
    testenv::WriteHostFile(path, contents);
}

std::string BootramaRun::ReadFile(const fs::path& path) {
    return testenv::ReadHostFile(path);
}

}  // namespace apptest
