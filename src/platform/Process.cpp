#include "platform/Process.h"

#include <optional>
#include <system_error>

namespace platform {

namespace {

std::vector<std::string>& Arguments() {
    static std::vector<std::string> arguments;
    return arguments;
}

std::optional<std::filesystem::path>& ChosenHostDirectory() {
    static std::optional<std::filesystem::path> directory;
    return directory;
}

std::filesystem::path ExecutableDirectory() {
    std::error_code error;
    auto executable = std::filesystem::read_symlink("/proc/self/exe", error);
    if (error)
        return std::filesystem::current_path(error);
    return executable.parent_path();
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

std::filesystem::path ProgramHostDirectory() {
    auto& chosen = ChosenHostDirectory();
    if (!chosen)
        chosen = ExecutableDirectory();
    return *chosen;
}

void SetProgramHostDirectory(const std::filesystem::path& directory) {
    ChosenHostDirectory() = directory;
}

std::string ProgramFileName() {
    return "bootrama";
}

}  // namespace platform
