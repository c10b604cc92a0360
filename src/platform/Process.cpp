#include "platform/Process.h"

#include <malloc.h>
#include <pwd.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <optional>
#include <system_error>

#include "platform/Help.h"

namespace platform {

namespace fs = std::filesystem;

namespace {

// What an installer leaves in a new program folder: the first start runs the first-run setup.
constexpr const char* FreshIni = "[Bootrama-Options]\r\nNewInstalled=1\r\n";

std::vector<std::string>& Arguments() {
    static std::vector<std::string> arguments;
    return arguments;
}

std::optional<fs::path>& ChosenHostDirectory() {
    static std::optional<fs::path> directory;
    return directory;
}

std::string Environment(const char* name) {
    const char* value = std::getenv(name);
    return value != nullptr ? value : "";
}

// As a login shell finds it: $HOME, else the user's entry in the system's user list (a
// service or cron job may run without $HOME).
fs::path HomeFolder() {
    if (std::string home = Environment("HOME"); !home.empty())
        return home;
    if (const passwd* user = ::getpwuid(::getuid()); user != nullptr && user->pw_dir != nullptr)
        return user->pw_dir;
    return {};
}

fs::path XdgHome(const char* variable, const char* belowHome) {
    fs::path chosen = Environment(variable);
    if (chosen.is_absolute())
        return chosen;
    return HomeFolder() / belowHome;
}

// The files that come with the program are reached under AppPath, as beside a Windows
// program. A link that leads elsewhere (the program was installed anew in another place) is
// made anew; a file or folder of the user's own under that name stays.
void LinkProgramFiles(const fs::path& folder) {
    for (const char* name : {"Examples", HelpFileName}) {
        std::error_code error;
        const fs::path target = fs::canonical(ExecutableDirectory() / name, error);
        if (error)
            continue;
        const fs::path link = folder / name;
        const fs::file_status status = fs::symlink_status(link, error);
        if (fs::is_symlink(status)) {
            if (fs::read_symlink(link, error) == target)
                continue;
            fs::remove(link, error);
        } else if (fs::exists(status)) {
            continue;
        }
        fs::create_symlink(target, link, error);
    }
}

// Seeded only when it is made: a user who deletes bootrama.ini later meets the program's own
// question for a missing configuration file, as on Windows.
fs::path UserProgramDirectory() {
    const fs::path folder = UserDataHome() / "bootrama" / "program";
    std::error_code error;
    if (!fs::is_directory(folder, error) && fs::create_directories(folder, error))
        std::ofstream(folder / "bootrama.ini", std::ios::binary) << FreshIni;
    LinkProgramFiles(folder);
    return folder;
}

}  // namespace

void SetCommandLine(std::vector<std::string> arguments) {
    Arguments() = std::move(arguments);
}

std::string ParamStr(std::size_t index) {
    const auto& arguments = Arguments();
    return index < arguments.size() ? arguments[index] : std::string();
}

// Like the toolkit's ParamCount: the arguments after the program's own name.
std::size_t ParamCount() {
    const auto& arguments = Arguments();
    return arguments.empty() ? 0 : arguments.size() - 1;
}

fs::path ExecutableDirectory() {
    std::error_code error;
    auto executable = fs::read_symlink("/proc/self/exe", error);
    if (error)
        return fs::current_path(error);
    return executable.parent_path();
}

fs::path ProgramHostDirectory() {
    auto& chosen = ChosenHostDirectory();
    if (!chosen) {
        const fs::path executable = ExecutableDirectory();
        chosen = ::access(executable.c_str(), W_OK) == 0 ? executable : UserProgramDirectory();
    }
    return *chosen;
}

void SetProgramHostDirectory(const fs::path& directory) {
    ChosenHostDirectory() = directory;
}

std::string ProgramFileName() {
    return "bootrama";
}

fs::path UserDataHome() {
    return XdgHome("XDG_DATA_HOME", ".local/share");
}

fs::path UserConfigHome() {
    return XdgHome("XDG_CONFIG_HOME", ".config");
}

void KeepFreedMemory() {
    // Far above the few MB such a run holds at once, and the most that glibc allows.
    constexpr int kKeptBytes = 32 << 20;
    mallopt(M_MMAP_THRESHOLD, kKeptBytes);
    mallopt(M_TRIM_THRESHOLD, kKeptBytes);
}

}  // namespace platform
