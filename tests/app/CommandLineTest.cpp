// Black-box tests of what both programs answer to --help, --version and an option they don't
// know: before anything is set up, so without a window and without a machine.

#include <gmock/gmock.h>

#include "app/BootramaRun.h"

using ::testing::IsEmpty;
using ::testing::StartsWith;

namespace apptest {
namespace {

struct OptionCase {
    const char* name;
    bool logoProgram;  // bootrama-logo rather than bootrama
    const char* argument;
    int exitCode;
    const char* outputStart;  // standard output, or standard error for exit code 2
};

void PrintTo(const OptionCase& testCase, std::ostream* out) {
    *out << testCase.name;
}

class Options : public BootramaRun, public ::testing::WithParamInterface<OptionCase> {};

TEST_P(Options, AreAnsweredBeforeAnythingIsSetUp) {
    const OptionCase& option = GetParam();
    // A machine without its drives, which any opening would make: bootrama-logo runs in C:.
    fs::remove_all(MachineRoot() / "dosdevices");
    const RunResult run = option.logoProgram ? RunLogo({option.argument}) : Run(option.argument);
    EXPECT_TRUE(run.exited);
    EXPECT_EQ(run.exitCode, option.exitCode);
    const bool refused = option.exitCode == 2;
    EXPECT_THAT(refused ? run.errors : run.output, StartsWith(option.outputStart));
    EXPECT_THAT(refused ? run.output : run.errors, IsEmpty());
    EXPECT_THAT(run.boxes, IsEmpty());
    EXPECT_FALSE(fs::exists(MachineRoot() / "dosdevices"));
}

INSTANTIATE_TEST_SUITE_P(
    CommandLine, Options,
    ::testing::Values(
        OptionCase{"Help", false, "--help", 0, "Usage: bootrama [/Auto | /U]\n"},
        OptionCase{"WindowsHelp", false, "/?", 0, "Usage: bootrama [/Auto | /U]\n"},
        OptionCase{"Version", false, "--version", 0, "bootrama (Bootrama) " BOOTRAMA_VERSION "\n"},
        OptionCase{"Unknown", false, "--frobnicate", 2, "Usage: bootrama [/Auto | /U]\n"},
        OptionCase{"LogoHelp", true, "--help", 0, "Usage: bootrama-logo "},
        OptionCase{"LogoShortHelp", true, "-h", 0, "Usage: bootrama-logo "},
        OptionCase{"LogoVersion", true, "--version", 0,
                   "bootrama-logo (Bootrama) " BOOTRAMA_VERSION "\n"},
        OptionCase{"LogoUnknown", true, "--frobnicate", 2, "Usage: bootrama-logo "}),
    [](const auto& testCase) { return std::string(testCase.param.name); });

}  // namespace
}  // namespace apptest
