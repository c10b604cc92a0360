// A change killed at any moment leaves an image that fsck.fat accepts and that holds the old
// or the new file whole, once the next open has rolled the journal back.

#include <gtest/gtest.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <random>

#include "platform/Errors.h"
#include "platform/drives/ImageDrive.h"
#include "platform/drives/Journal.h"
#include "support/DiskImages.h"
#include "support/TestEnv.h"

extern char** environ;

namespace {

using namespace imagetest;

constexpr int kKills = 120;

// The loop program, started; its pid once it has written its first file.
pid_t StartReplaceLoop(const fs::path& image, const fs::path& first, const fs::path& second) {
    int ready[2];
    if (::pipe(ready) != 0)
        return -1;
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, ready[1], STDOUT_FILENO);
    posix_spawn_file_actions_addclose(&actions, ready[0]);
    std::string arguments[] = {IMAGE_REPLACE_LOOP, image.string(), first.string(), second.string()};
    char* argv[] = {arguments[0].data(), arguments[1].data(), arguments[2].data(),
                    arguments[3].data(), nullptr};
    pid_t child = -1;
    if (::posix_spawn(&child, IMAGE_REPLACE_LOOP, &actions, nullptr, argv, environ) != 0)
        child = -1;
    posix_spawn_file_actions_destroy(&actions);
    ::close(ready[1]);
    char byte = 0;
    if (child > 0 && ::read(ready[0], &byte, 1) != 1) {
        ::waitpid(child, nullptr, 0);
        child = -1;
    }
    ::close(ready[0]);
    return child;
}

TEST(ImageJournalTest, AChangeKilledAtRandomLeavesTheOldOrTheNewFileWhole) {
    if (auto missing = MissingTool(); !missing.empty())
        GTEST_SKIP() << missing << " is not installed";
    testenv::TempDir temp;
    TestImage image(temp.Path(), {"Floppy", kMakeFloppy, 0, ""});
    const std::string first = Pattern('a');
    const std::string second = Pattern('b');
    testenv::WriteHostFile(temp.Path() / "first.sys", first);
    testenv::WriteHostFile(temp.Path() / "second.sys", second);
    const unsigned seed = std::random_device()();
    SCOPED_TRACE("seed " + std::to_string(seed));
    std::mt19937 random(seed);
    std::uniform_int_distribution<int> microseconds(0, 20000);
    int interrupted = 0;
    for (int kill = 0; kill < kKills && !HasFailure(); ++kill) {
        const pid_t loop =
            StartReplaceLoop(image.Path(), temp.Path() / "first.sys", temp.Path() / "second.sys");
        ASSERT_GT(loop, 0) << "the replace loop did not start";
        ::usleep(static_cast<useconds_t>(microseconds(random)));
        ::kill(loop, SIGKILL);
        ::waitpid(loop, nullptr, 0);
        const fs::path journal = platform::drives::JournalPath(image.Path());
        interrupted += fs::exists(journal);
        const std::string logo =
            platform::drives::ImageDrive(image.Path()).ReadFile("C:\\LOGO.SYS", 1 << 20);
        EXPECT_FALSE(fs::exists(journal)) << "after kill " << kill;
        EXPECT_TRUE(logo == first || logo == second) << "after kill " << kill;
        int status = -1;
        const std::string report = image.Fsck(&status);
        EXPECT_EQ(status, 0) << "after kill " << kill << ": " << report;
    }
    RecordProperty("KillsDuringACommit", interrupted);
}

TEST(ImageJournalTest, AnUnfinishedJournalIsDroppedAFinishedOneUndoneAForeignOneRefused) {
    if (auto missing = MissingTool(); !missing.empty())
        GTEST_SKIP() << missing << " is not installed";
    using namespace platform::drives;
    testenv::TempDir temp;
    TestImage image(temp.Path(), {"Floppy", kMakeFloppy, 0, ""});
    const fs::path journal = JournalPath(image.Path());
    const std::string before = Bytes(image.Path());
    const std::uint64_t size = before.size();
    const auto read = [&] { return ImageDrive(image.Path()).ReadFile("C:\\LOGO.SYS", 1 << 20); };

    testenv::WriteHostFile(journal, "BRJRNL01 cut off while it was written");
    EXPECT_EQ(read(), TestImage::OldLogo());
    EXPECT_FALSE(fs::exists(journal));
    EXPECT_TRUE(Bytes(image.Path()) == before);

    // Larger than any change of ours could have written.
    testenv::WriteHostFile(journal, "BRJRNL01");
    fs::resize_file(journal, (std::uintmax_t{1} << 31) + 1);
    EXPECT_EQ(read(), TestImage::OldLogo());
    EXPECT_FALSE(fs::exists(journal));

    // The root folder (sector 19) overwritten half-way through a change.
    WriteJournal(image.Path(), size, size, {{19 * 512, before.substr(19 * 512, 512)}});
    testenv::WriteHostFile(image.Path(), before.substr(0, 19 * 512) + std::string(512, '\0') +
                                             before.substr(20 * 512));
    EXPECT_EQ(read(), TestImage::OldLogo());
    EXPECT_TRUE(Bytes(image.Path()) == before);

    WriteJournal(image.Path(), size + 512, size + 512, {});
    EXPECT_THROW(read(), platform::EDiskImageError);
    EXPECT_TRUE(fs::exists(journal));
}

}  // namespace
