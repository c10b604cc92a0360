#include "app/CommandLine.h"

#include <cstdio>

namespace {

constexpr const char* Usage =
    "Usage: bootrama [/Auto | /U]\n"
    "  or:  bootrama OPTION\n"
    "Manages the Startup, Shutdown and Final logos of Windows 95 and 98: lists of logos,\n"
    "random switching at every start of Windows, new logos from BMP and JPEG pictures,\n"
    "backups. Without an argument Bootrama opens its main window.\n"
    "\n"
    "  /Auto           switch every logo whose automatic switch is on to a random\n"
    "                  logo of its list, then end without a window\n"
    "  /U              take back Bootrama's changes to the machine, then end\n"
    "  /?, --help      show this text and end\n"
    "      --version   show the version and end\n"
    "\n"
    "Only the first argument counts, spelt as above, letter case included. Any other\n"
    "first argument opens the main window, as on Windows, except a word that begins\n"
    "with \"--\": that is an unknown option, refused with this text on standard error\n"
    "and exit status 2.\n"
    "\n"
    "Environment:\n"
    "  BOOTRAMA_MACHINE      the folder of the Windows 9x machine (default\n"
    "                        ~/.local/share/bootrama/machine)\n"
    "  BOOTRAMA_MESSAGE_LOG  a file that takes the message boxes instead of the screen,\n"
    "                        one line each\n"
    "  BOOTRAMA_ANSWERS      the answers of a logged run's questions, in order, such\n"
    "                        as yes,no\n";

}  // namespace

std::string VersionText(std::string_view program) {
    return std::string(program) +
           " (Bootrama) " BOOTRAMA_VERSION "\n" BOOTRAMA_COPYRIGHT
           ".\n"
           "License GPLv3+: GNU GPL version 3 or later <https://gnu.org/licenses/gpl.html>.\n"
           "This is free software: you are free to change and redistribute it.\n"
           "There is NO WARRANTY, to the extent permitted by law.\n";
}

std::optional<int> AnswerOption(std::string_view firstArgument) {
    if (firstArgument == "--help" || firstArgument == "/?") {
        std::fputs(Usage, stdout);
        return 0;
    }
    if (firstArgument == "--version") {
        std::fputs(VersionText("bootrama").c_str(), stdout);
        return 0;
    }
    if (firstArgument.starts_with("--")) {
        std::fputs(Usage, stderr);
        return 2;
    }
    return std::nullopt;
}
