#pragma once
// The help system: the four commands of the help menu, by topic number.

#include <memory>
#include <string>

namespace platform {

// The help file, in the program folder.
inline constexpr const char* HelpFileName = "BootramaE.qch";

class Help {
public:
    virtual ~Help() = default;
    virtual void SetHelpFile(const std::string& windowsPath) = 0;
    virtual void Contents() = 0;
    virtual void Index(const std::string& search) = 0;  // the index with a search field
    virtual void UsingHelp() = 0;
    virtual void Topic(int context) = 0;
};

// The implementation in use; until the GUI sets its viewer, help requests are dropped.
Help& CurrentHelp();
void SetHelp(std::unique_ptr<Help> help);

}  // namespace platform
