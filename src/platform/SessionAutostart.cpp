#include "platform/SessionAutostart.h"

#include <cstdlib>
#include <system_error>

#include "platform/Files.h"
#include "platform/HostFile.h"
#include "platform/Machine.h"
#include "platform/Process.h"

namespace platform {

namespace fs = std::filesystem;

namespace {

std::string ExecLine(std::string_view arguments) {
    std::string line;
    const char* machine = std::getenv("BOOTRAMA_MACHINE");
    if (machine != nullptr && *machine != '\0') {
        const fs::path root = fs::absolute(CurrentMachine().Root());
        line = "env " + ExecArgument("BOOTRAMA_MACHINE=" + root.string()) + ' ';
    }
    return line + ExecArgument((ExecutableDirectory() / ProgramFileName()).string()) + ' ' +
           std::string(arguments);
}

}  // namespace

fs::path SessionAutostartFile() {
    return UserConfigHome() / "autostart" / "bootrama-auto.desktop";
}

std::string SessionAutostartEntry(std::string_view arguments) {
    return "[Desktop Entry]\n"
           "Type=Application\n"
           "Name=Bootrama: change logos\n"
           "Comment=Switches the logos of Windows 95 and 98 at random, as set in Bootrama\n"
           "Exec=" +
           ExecLine(arguments) +
           "\n"
           "Icon=" BOOTRAMA_APP_ID
           "\n"
           "Terminal=false\n";
}

bool SessionAutostartIs(std::string_view arguments) {
    try {
        const fs::path file = SessionAutostartFile();
        return host::ReadWhole(file, file.string(), kMaxProfileFileBytes) ==
               SessionAutostartEntry(arguments);
    } catch (const std::exception&) {
        return false;
    }
}

void WriteSessionAutostart(std::string_view arguments) {
    const fs::path file = SessionAutostartFile();
    std::error_code ignored;  // a folder that can't be made fails the write below
    fs::create_directories(file.parent_path(), ignored);
    host::ReplaceAtomically(file, file.string(), SessionAutostartEntry(arguments));
}

bool RemoveSessionAutostart() {
    const fs::path file = SessionAutostartFile();
    std::error_code error;
    if (!fs::exists(fs::symlink_status(file, error)))
        return true;
    fs::remove(file, error);
    return !error;
}

std::string ExecArgument(std::string_view argument) {
    std::string quoted = "\"";
    for (char c : argument) {
        switch (c) {
            case '"':
            case '`':
            case '$':
                quoted += "\\\\";
                quoted += c;
                break;
            case '\\':
                quoted += "\\\\\\\\";
                break;
            case '%':
                quoted += "%%";
                break;
            case '\n':
                quoted += "\\n";
                break;
            case '\t':
                quoted += "\\t";
                break;
            case '\r':
                quoted += "\\r";
                break;
            default:
                quoted += c;
        }
    }
    return quoted + '"';
}

}  // namespace platform
