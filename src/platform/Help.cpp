#include "platform/Help.h"

namespace platform {

namespace {

// Until the GUI brings its viewer there is nothing to show help in.
class DroppedHelp : public Help {
public:
    void SetHelpFile(const std::string&) override {}
    void Contents() override {}
    void Index(const std::string&) override {}
    void UsingHelp() override {}
    void Topic(int) override {}
};

std::unique_ptr<Help>& HelpInUse() {
    static std::unique_ptr<Help> help;
    return help;
}

}  // namespace

Help& CurrentHelp() {
    auto& help = HelpInUse();
    if (!help)
        help = std::make_unique<DroppedHelp>();
    return *help;
}

void SetHelp(std::unique_ptr<Help> help) {
    HelpInUse() = std::move(help);
}

}  // namespace platform
