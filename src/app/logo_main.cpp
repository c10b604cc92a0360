// bootrama-logo: converts one picture into a logo with the same code as the dialogs, for
// scripts and batches. Paths are host paths; they reach the file layer through the
// machine's drive mapping (Z: covers the whole host), so the machine in use
// ($BOOTRAMA_MACHINE or the default one) is opened, or created, as by the program itself.

#include <cstring>
#include <filesystem>
#include <iostream>
#include <optional>
#include <string>
#include <vector>

#include "core/Global.h"
#include "image/BmpCodec.h"
#include "image/Logo.h"
#include "platform/Errors.h"
#include "platform/Machine.h"
#include "platform/Process.h"

namespace {

constexpr const char* kUsage =
    "Usage: bootrama-logo [--method stretch|crop|zoom] [--aspect|--no-aspect] INPUT OUTPUT\n"
    "\n"
    "Makes a Windows 95/98 logo (320 by 400 pixels, 256 colours) of a BMP or JPEG picture.\n"
    "A picture that already is a logo is copied unchanged. INPUT and OUTPUT are paths of\n"
    "this computer; they are reached through the machine in $BOOTRAMA_MACHINE (default\n"
    "~/.local/share/bootrama/machine), which is created if it is missing. OUTPUT - writes\n"
    "the logo to standard output.\n"
    "\n"
    "  --method stretch  show the whole picture (black bands keep its proportions\n"
    "                    with --aspect)\n"
    "  --method crop     show the picture's own pixels, centred\n"
    "  --method zoom     fill the logo, cutting off what overflows\n"
    "                    (default: crop for a picture that fits, else stretch)\n"
    "  --aspect          correct for the screen's proportions (default)\n"
    "  --no-aspect       map the picture onto 320 by 400 pixels as it is\n"
    "  --help            show this text\n";

struct Options {
    std::optional<TStretchMode> method;
    bool aspect = true;
    std::vector<std::string> paths;
};

std::optional<TStretchMode> methodNamed(const std::string& name) {
    if (name == "stretch")
        return TStretchMode::stretch;
    if (name == "crop")
        return TStretchMode::crop;
    if (name == "zoom")
        return TStretchMode::zoom;
    return std::nullopt;
}

// Nothing when the command line is wrong; exits for --help.
std::optional<Options> parse(int argc, char** argv) {
    Options options;
    for (int i = 1; i < argc; ++i) {
        const std::string argument = argv[i];
        if (argument == "--help" || argument == "-h") {
            std::cout << kUsage;
            std::exit(0);
        } else if (argument == "--aspect") {
            options.aspect = true;
        } else if (argument == "--no-aspect") {
            options.aspect = false;
        } else if (argument == "--method" && i + 1 < argc) {
            options.method = methodNamed(argv[++i]);
            if (!options.method)
                return std::nullopt;
        } else if (argument.rfind("--method=", 0) == 0) {
            options.method = methodNamed(argument.substr(9));
            if (!options.method)
                return std::nullopt;
        } else if (argument.size() > 1 && argument[0] == '-' && argument != "--") {
            return std::nullopt;
        } else {
            options.paths.push_back(argument);
        }
    }
    if (options.paths.size() != 2)
        return std::nullopt;
    return options;
}

std::string windowsPath(const std::string& hostPath) {
    return platform::CurrentMachine().ToWindows(std::filesystem::absolute(hostPath));
}

// The program's messages break lines with \r.
void printError(std::string message) {
    for (char& c : message)
        if (c == '\r')
            c = '\n';
    std::cerr << "bootrama-logo: " << message << '\n';
}

// Written as it comes, never renamed over: standard output may be a pipe or a terminal.
void writeToStandardOutput(const TBitmap& logo) {
    const std::string bytes = EncodeBmp8(logo);
    std::cout.write(bytes.data(), std::streamsize(bytes.size()));
    std::cout.flush();
    if (!std::cout)
        throw platform::EWriteError("Error writing the logo to standard output");
}

void convert(const Options& options) {
    TLogo logo(nullptr);
    logo.SetAspectRatio(options.aspect);
    logo.SetSourceFile(windowsPath(options.paths[0]));
    if (options.method && !logo.IsLogo())
        logo.SetStretchMode(*options.method);
    if (options.paths[1] == "-")
        writeToStandardOutput(*logo.LogoBmp());
    else
        logo.SaveToFile(windowsPath(options.paths[1]));
}

}  // namespace

int main(int argc, char** argv) {
    const std::optional<Options> options = parse(argc, argv);
    if (!options) {
        std::cerr << kUsage;
        return 2;
    }
    try {
        platform::UseMachine(platform::DefaultMachineRoot(),
                             platform::ProgramHostDirectory() / "NewMachine");
        convert(*options);
        return 0;
    } catch (const platform::Exception& error) {
        printError(error.Message());
    } catch (const std::exception& error) {
        printError(Format("General Error\rError: %s", {platform::ClassNameOf(error)}));
    }
    return 1;
}
