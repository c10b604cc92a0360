#include <gtest/gtest.h>

#include "platform/Help.h"
#include "support/TestEnv.h"

namespace {

using namespace platform;

TEST(HelpTest, RequestsAreDroppedUntilAViewerIsSetAndGoToItAfterwards) {
    SetHelp(nullptr);
    CurrentHelp().SetHelpFile("Z:\\opt\\bootrama\\BootramaE.qch");
    CurrentHelp().Topic(55);

    std::vector<std::string> requests;
    SetHelp(std::make_unique<testenv::RecordingHelp>(&requests));
    CurrentHelp().Topic(21);
    CurrentHelp().Index("logo");
    EXPECT_EQ(requests, (std::vector<std::string>{"topic 21", "index logo"}));
    SetHelp(nullptr);
    CurrentHelp().Contents();
    EXPECT_EQ(requests.size(), 2u);
}

}  // namespace
