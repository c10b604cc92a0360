// What the image drive refuses to write into, and how it says so: formats it does not
// write, damaged file systems, images a virtual machine has open. A refusal writes nothing.

#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <fstream>

#include "platform/Errors.h"
#include "platform/drives/ImageDrive.h"
#include "support/DiskImages.h"
#include "support/TestEnv.h"

extern char** environ;

namespace {

using namespace imagetest;
using platform::EDiskImageError;
using platform::drives::ImageDrive;

const ImageKind kFloppy = {"Fat12Superfloppy", kMakeFloppy, 0, ""};
const ImageKind kDynamicFloppy = {"Fat12DynamicVhd", kMakeFloppy, 0, "dynamic"};

// Where mkfs.fat puts things on a 1.44 MB floppy: two FATs of nine sectors from sector 1,
// the root folder from sector 19. LOGO.SYS is the first entry and starts at cluster 2.
constexpr std::uint64_t kFat1 = 0x200;
constexpr std::uint64_t kFat2 = 0x1400;
constexpr std::uint64_t kLogoEntry = 0x2600;

void Patch(const fs::path& file, std::uint64_t offset, std::string_view bytes) {
    std::fstream out(file, std::ios::binary | std::ios::in | std::ios::out);
    out.seekp(static_cast<std::streamoff>(offset));
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

// A dynamic VHD turned into a differencing one: the type in both footers, checksums right.
void MakeDifferencing(const fs::path& vhd) {
    const std::string bytes = Bytes(vhd);
    for (std::uint64_t at : {std::uint64_t{0}, std::uint64_t{bytes.size() - 512}}) {
        std::string footer = bytes.substr(at, 512);
        footer[63] = 4;
        std::uint32_t sum = 0;
        for (int i = 0; i < 512; ++i)
            if (i < 64 || i >= 68)
                sum += static_cast<unsigned char>(footer[i]);
        sum = ~sum;
        for (int i = 0; i < 4; ++i) footer[64 + i] = static_cast<char>(sum >> (24 - 8 * i));
        Patch(vhd, at, footer);
    }
}

struct Refusal {
    const char* name;
    // Makes the image in folder and returns it.
    fs::path (*prepare)(const fs::path& folder);
    const char* says;       // a part of the message
    bool msdosSysReadable;  // whether reading stays possible
};

fs::path Foreign(const fs::path& folder, const char* format) {
    const fs::path image = folder / (std::string("disk.") + format);
    Shell("qemu-img create -q -f " + std::string(format) + " '" + image.string() + "' 16M");
    return image;
}

const Refusal kRefusals[] = {
    {"Qcow2", [](const fs::path& f) { return Foreign(f, "qcow2"); }, "convert -O raw", false},
    {"Vdi", [](const fs::path& f) { return Foreign(f, "vdi"); }, "convert -O raw", false},
    {"Vmdk", [](const fs::path& f) { return Foreign(f, "vmdk"); }, "convert -O raw", false},
    {"DifferencingVhd",
     [](const fs::path& f) {
         fs::path image = TestImage(f, kDynamicFloppy).Path();
         MakeDifferencing(image);
         return image;
     },
     "convert -O vpc", false},
    {"ChainLoop",
     [](const fs::path& f) {
         fs::path image = TestImage(f, kFloppy).Path();
         Patch(image, kFat1 + 3, std::string("\x02\x40", 2));  // cluster 2 -> 2
         Patch(image, kFat2 + 3, std::string("\x02\x40", 2));
         return image;
     },
     "a cluster chain that loops", true},
    {"ClusterOutsideTheVolume",
     [](const fs::path& f) {
         fs::path image = TestImage(f, kFloppy).Path();
         Patch(image, kLogoEntry + 26, std::string("\xF0\x0F", 2));
         return image;
     },
     "outside the volume", true},
    {"FatCopiesDiffer",
     [](const fs::path& f) {
         fs::path image = TestImage(f, kFloppy).Path();
         Patch(image, kFat2 + 3, std::string("\x09", 1));
         return image;
     },
     "FAT differ", true},
    {"BadBootSector",
     [](const fs::path& f) {
         fs::path image = TestImage(f, kFloppy).Path();
         Patch(image, 11, std::string("\0\0", 2));  // bytes per sector
         return image;
     },
     "impossible values", false},
};

class ImageToolsTest : public ::testing::Test {
protected:
    void SetUp() override {
        if (auto missing = MissingTool(); !missing.empty())
            GTEST_SKIP() << missing << " is not installed";
    }
    testenv::TempDir temp_;
};

class ImageRefusalTest : public ImageToolsTest, public ::testing::WithParamInterface<Refusal> {};

TEST_P(ImageRefusalTest, RefusesWithAClearMessageAndWritesNothing) {
    const fs::path image = GetParam().prepare(temp_.Path());
    const std::string before = Bytes(image);
    ImageDrive drive(image);
    try {
        drive.WriteFile("C:\\LOGO.SYS", Pattern('n'));
        ADD_FAILURE() << "the change was made";
    } catch (const EDiskImageError& error) {
        EXPECT_NE(error.Message().find(GetParam().says), std::string::npos) << error.Message();
    }
    EXPECT_TRUE(Bytes(image) == before);
    if (GetParam().msdosSysReadable)
        EXPECT_EQ(drive.ReadFile("C:\\MSDOS.SYS", 1 << 20), "[Options]\r\nBootGUI=1\r\n");
    else
        EXPECT_THROW(drive.ReadFile("C:\\MSDOS.SYS", 1 << 20), EDiskImageError);
}

INSTANTIATE_TEST_SUITE_P(Images, ImageRefusalTest, ::testing::ValuesIn(kRefusals),
                         [](const auto& test) { return std::string(test.param.name); });

class ImageInUseTest : public ImageToolsTest {
protected:
    void SetUp() override {
        ImageToolsTest::SetUp();
        if (!IsSkipped())
            image_ = TestImage(temp_.Path(), kFloppy).Path();
    }
    void ExpectRefusedSaying(const std::string& part) {
        const std::string before = Bytes(image_);
        try {
            ImageDrive(image_).WriteFile("C:\\LOGO.SYS", Pattern('n'));
            ADD_FAILURE() << "the change was made";
        } catch (const EDiskImageError& error) {
            EXPECT_EQ(error.ErrorCode(), 32);
            EXPECT_NE(error.Message().find(part), std::string::npos) << error.Message();
            EXPECT_NE(error.Message().find("Close the virtual machine first"), std::string::npos);
        }
        EXPECT_TRUE(Bytes(image_) == before);
    }
    fs::path image_;
};

TEST_F(ImageInUseTest, RefusesWhileAnotherDescriptionHoldsALockAsQemuDoes) {
    {
        const QemuLikeLock lock(image_);
        ASSERT_TRUE(lock.Held());
        ExpectRefusedSaying("another program");
    }
    ImageDrive(image_).WriteFile("C:\\LOGO.SYS", Pattern('n'));
}

TEST_F(ImageInUseTest, RefusesWhileAnotherProcessHasItOpenForWriting) {
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 3, image_.c_str(), O_RDWR, 0);
    pid_t child = 0;
    char sleep[] = "sleep";
    char seconds[] = "60";
    char* arguments[] = {sleep, seconds, nullptr};
    ASSERT_EQ(::posix_spawnp(&child, "sleep", &actions, nullptr, arguments, environ), 0);
    posix_spawn_file_actions_destroy(&actions);
    // The child may not have opened the image yet; it has once its descriptor shows.
    const fs::path descriptor = "/proc/" + std::to_string(child) + "/fd/3";
    while (!fs::exists(descriptor)) ::usleep(1000);
    ExpectRefusedSaying("(process " + std::to_string(child) + ")");
    ::kill(child, SIGKILL);
    ::waitpid(child, nullptr, 0);
}

TEST_F(ImageToolsTest, PicksTheFirstFatPartitionOrTheOneAskedForLogicalDrivesToo) {
    const ImageKind logical = {
        "LogicalDrive",
        "truncate -s 40M raw.img && printf 'start=2048,size=8192,type=1\\nstart=10240,type=5\\n"
        "start=12288,type=6\\n' | sfdisk -q raw.img && mkfs.fat --offset 2048 -F 12 raw.img 4096 "
        "&& mkfs.fat --offset 12288 -F 16 raw.img 34816",
        12288 * 512, ""};
    const fs::path image = TestImage(temp_.Path(), logical).Path();
    ImageDrive first(image);
    EXPECT_EQ(first.Describe().partition, 1);
    EXPECT_EQ(first.Describe().type, platform::drives::FatType::Fat12);
    EXPECT_FALSE(first.Exists("C:\\LOGO.SYS"));
    ImageDrive fifth(image, 5);
    EXPECT_EQ(fifth.Describe().type, platform::drives::FatType::Fat16);
    EXPECT_EQ(fifth.ReadFile("D:\\LOGO.SYS", 1 << 20), TestImage::OldLogo());
    EXPECT_THROW(ImageDrive(image, 3).Describe(), EDiskImageError);
}

}  // namespace
