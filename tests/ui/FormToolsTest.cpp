#include <stdexcept>

#include "UiTest.h"
#include "core/ProgErrors.h"
#include "ui/FormTools.h"

namespace uitest {
namespace {

class RunHandlerTest : public UiTest {};

TEST_F(RunHandlerTest, AnEscapedErrorEndsAtTheGeneralErrorDisplay) {
    RunHandler([] { throw EPathError("The path \"X:\\\" is not valid."); });
    RunHandler([] { throw std::runtime_error("out of handles"); });
    ASSERT_EQ(Boxes().size(), 2u);
    EXPECT_EQ(Boxes()[0]->kind, platform::BoxKind::Error);
    EXPECT_EQ(Boxes()[0]->title, "Bootrama");
    EXPECT_EQ(Boxes()[0]->text, "The path \"X:\\\" is not valid.");
    EXPECT_EQ(Boxes()[1]->text, "out of handles");
}

TEST_F(RunHandlerTest, ACancelledOperationEndsWithoutABox) {
    RunHandler([] { throw EQuietException(""); });
    EXPECT_TRUE(Boxes().empty());
}

}  // namespace
}  // namespace uitest
