#pragma once
// What the programs answer before they do anything else: a request for their usage or their
// version, and an option they don't know.

#include <optional>
#include <string>
#include <string_view>

// The --version text of either program.
std::string VersionText(std::string_view program);

// bootrama's answer to a first argument that asks for no work: --help and /? print the usage
// and --version the version on standard output, with exit code 0; any other word that
// begins with "--" is an unknown option, answered with the usage on standard error and exit
// code 2. Anything else, "-Auto" and file names included, is left to the modes and the main
// window (nothing), as on Windows.
std::optional<int> AnswerOption(std::string_view firstArgument);
