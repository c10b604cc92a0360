#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/xattr.h>

#include <algorithm>
#include <csignal>

#include "PlatformFixture.h"
#include "platform/Errors.h"
#include "platform/Files.h"

namespace {

using namespace platform;
using platformtest::PlatformTest;
namespace fs = std::filesystem;

bool XattrsKept(const fs::path& file) {
    return ::setxattr(file.c_str(), "user.probe", "1", 1, 0) == 0;
}

class FilesTest : public PlatformTest {
protected:
    FilesTest() {
        Write(DriveC() / "WINDOWS" / "LOGOW.SYS", "shutdown");
        Write(DriveC() / "logo.sys", "startup");
    }
    fs::path HostOf(const std::string& name) const { return DriveC() / name; }
};

class AttributeRoundTripTest : public FilesTest,
                               public ::testing::WithParamInterface<std::uint32_t> {};

TEST_P(AttributeRoundTripTest, SetAttributesReadBack) {
    if (!XattrsKept(HostOf("logo.sys")) && (GetParam() & ~FILE_ATTRIBUTE_READONLY) != 0) {
        GTEST_SKIP() << "this file system keeps no extended attributes";
    }
    ASSERT_TRUE(SetFileAttributes("C:\\LOGO.SYS", GetParam()));
    std::uint32_t expected = GetParam() == 0 ? FILE_ATTRIBUTE_NORMAL : GetParam();
    EXPECT_EQ(GetFileAttributes("c:\\logo.sys"), expected);
    bool ownerMayWrite =
        (fs::status(HostOf("logo.sys")).permissions() & fs::perms::owner_write) != fs::perms::none;
    EXPECT_EQ(ownerMayWrite, (GetParam() & FILE_ATTRIBUTE_READONLY) == 0);
}

INSTANTIATE_TEST_SUITE_P(
    Combinations, AttributeRoundTripTest,
    ::testing::Values(0u, FILE_ATTRIBUTE_READONLY, FILE_ATTRIBUTE_HIDDEN, FILE_ATTRIBUTE_SYSTEM,
                      FILE_ATTRIBUTE_ARCHIVE,
                      FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM,
                      FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_ARCHIVE));

TEST_F(FilesTest, AttributesAreStoredAsSambaDoes) {
    if (!XattrsKept(HostOf("logo.sys")))
        GTEST_SKIP() << "no extended attributes here";
    ASSERT_TRUE(SetFileAttributes("C:\\logo.sys", FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM));
    char value[32] = {};
    ssize_t length = ::getxattr(HostOf("logo.sys").c_str(), "user.DOSATTRIB", value, sizeof value);
    EXPECT_EQ(std::string(value, length > 0 ? length : 0), "0x6");
    // Samba's binary record begins with the same text.
    std::string record("0x22\0\3\0\0", 8);
    ::setxattr(HostOf("logo.sys").c_str(), "user.DOSATTRIB", record.data(), record.size(), 0);
    EXPECT_EQ(GetFileAttributes("C:\\logo.sys"), FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_ARCHIVE);
}

TEST_F(FilesTest, FoldersAndMissingFiles) {
    EXPECT_EQ(GetFileAttributes("C:\\WINDOWS"), FILE_ATTRIBUTE_DIRECTORY);
    EXPECT_EQ(GetFileAttributes("C:\\WINDOWS\\nothing"), INVALID_FILE_ATTRIBUTES);
    EXPECT_EQ(GetFileAttributes("no drive"), INVALID_FILE_ATTRIBUTES);
    EXPECT_FALSE(SetFileAttributes("C:\\nothing", FILE_ATTRIBUTE_HIDDEN));
    EXPECT_TRUE(DirectoryExists("c:\\windows\\system"));
    EXPECT_FALSE(DirectoryExists("C:\\logo.sys"));
    EXPECT_TRUE(FileExists("C:\\LOGO.SYS"));
    EXPECT_FALSE(FileExists("C:\\WINDOWS"));
}

// A read-only file counts: its owner may clear the flag first. Asking changes nothing.
TEST_F(FilesTest, FileReplaceableOnlyLooks) {
    ASSERT_TRUE(SetFileAttributes("C:\\logo.sys", FILE_ATTRIBUTE_READONLY));
    EXPECT_TRUE(FileReplaceable("C:\\LOGO.SYS"));
    EXPECT_EQ(GetFileAttributes("C:\\logo.sys"), FILE_ATTRIBUTE_READONLY);
    EXPECT_FALSE(FileReplaceable("C:\\WINDOWS"));
    EXPECT_FALSE(FileReplaceable("C:\\nothing"));
    EXPECT_FALSE(FileReplaceable("no drive"));
}

TEST_F(FilesTest, ReadOnlyFilesAreNeitherDeletedNorReplaced) {
    ASSERT_TRUE(SetFileAttributes("C:\\logo.sys", FILE_ATTRIBUTE_READONLY));
    EXPECT_FALSE(DeleteFile("C:\\logo.sys"));
    EXPECT_FALSE(CopyFile("C:\\WINDOWS\\LOGOW.SYS", "C:\\logo.sys", false, kMaxLogoFileBytes));
    EXPECT_THROW(WriteFileAtomic("C:\\logo.sys", "new"), EFCreateError);
    EXPECT_EQ(Read(HostOf("logo.sys")), "startup");
    ASSERT_TRUE(SetFileAttributes("C:\\logo.sys", FILE_ATTRIBUTE_NORMAL));
    EXPECT_TRUE(DeleteFile("C:\\logo.sys"));
    EXPECT_FALSE(fs::exists(HostOf("logo.sys")));
}

TEST_F(FilesTest, DeleteFailsForMissingFilesAndFolders) {
    EXPECT_FALSE(DeleteFile("C:\\nothing"));
    EXPECT_FALSE(DeleteFile("C:\\WINDOWS"));
    EXPECT_TRUE(fs::is_directory(DriveC() / "WINDOWS"));
}

TEST_F(FilesTest, CopyFileFollowsWindowsRules) {
    EXPECT_TRUE(
        CopyFile("C:\\WINDOWS\\LOGOW.SYS", "C:\\WINDOWS\\LOGOS.SYS", true, kMaxLogoFileBytes));
    EXPECT_EQ(Read(HostOf("WINDOWS/LOGOS.SYS")), "shutdown");
    EXPECT_FALSE(CopyFile("C:\\logo.sys", "C:\\WINDOWS\\LOGOS.SYS", true, kMaxLogoFileBytes));
    EXPECT_EQ(Read(HostOf("WINDOWS/LOGOS.SYS")), "shutdown");
    EXPECT_TRUE(CopyFile("C:\\logo.sys", "C:\\WINDOWS\\LOGOS.SYS", false, kMaxLogoFileBytes));
    EXPECT_EQ(Read(HostOf("WINDOWS/LOGOS.SYS")), "startup");
    EXPECT_FALSE(CopyFile("C:\\missing", "C:\\x", false, kMaxLogoFileBytes));
    EXPECT_FALSE(CopyFile("C:\\WINDOWS", "C:\\x", false, kMaxLogoFileBytes));
    EXPECT_FALSE(CopyFile("C:\\logo.sys", "C:\\WINDOWS", false, kMaxLogoFileBytes));
    EXPECT_FALSE(CopyFile("C:\\logo.sys", "C:\\LOGO.SYS", false, kMaxLogoFileBytes));
    EXPECT_FALSE(CopyFile("C:\\logo.sys", "C:\\no folder\\x", false, kMaxLogoFileBytes));
    EXPECT_EQ(Listing(DriveC()), (std::vector<std::string>{"MSDOS.SYS", "WINDOWS", "logo.sys"}));
}

TEST_F(FilesTest, CopyFileRefusesAHiddenOrSystemDestinationAndCopiesAttributes) {
    if (!XattrsKept(HostOf("logo.sys")))
        GTEST_SKIP() << "no extended attributes here";
    for (std::uint32_t protection : {FILE_ATTRIBUTE_HIDDEN, FILE_ATTRIBUTE_SYSTEM}) {
        ASSERT_TRUE(SetFileAttributes("C:\\logo.sys", protection));
        EXPECT_FALSE(CopyFile("C:\\WINDOWS\\LOGOW.SYS", "C:\\logo.sys", false, kMaxLogoFileBytes));
        EXPECT_EQ(Read(HostOf("logo.sys")), "startup");
    }

    ASSERT_TRUE(SetFileAttributes("C:\\WINDOWS\\LOGOW.SYS",
                                  FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_SYSTEM));
    EXPECT_TRUE(CopyFile("C:\\WINDOWS\\LOGOW.SYS", "C:\\copy.sys", false, kMaxLogoFileBytes));
    EXPECT_EQ(GetFileAttributes("C:\\copy.sys"), FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_SYSTEM);
}

TEST_F(FilesTest, WriteFileAtomicKeepsAttributesAndPermissions) {
    fs::permissions(HostOf("logo.sys"), fs::perms::owner_read | fs::perms::owner_write);
    bool xattrs = XattrsKept(HostOf("logo.sys"));
    SetFileAttributes("C:\\logo.sys", FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM);
    WriteFileAtomic("C:\\LOGO.SYS", "replaced");
    EXPECT_EQ(Read(HostOf("logo.sys")), "replaced");
    EXPECT_EQ(fs::status(HostOf("logo.sys")).permissions(),
              fs::perms::owner_read | fs::perms::owner_write);
    if (xattrs) {
        EXPECT_EQ(GetFileAttributes("C:\\logo.sys"), FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM);
    }
    WriteFileAtomic("C:\\new.txt", "");
    EXPECT_TRUE(fs::exists(HostOf("new.txt")));
    EXPECT_EQ(Listing(DriveC()),
              (std::vector<std::string>{"MSDOS.SYS", "WINDOWS", "logo.sys", "new.txt"}));
}

TEST_F(FilesTest, WriteFileAtomicThroughALinkReplacesTheTarget) {
    fs::create_symlink(HostOf("logo.sys"), HostOf("link.sys"));
    WriteFileAtomic("C:\\link.sys", "through");
    EXPECT_TRUE(fs::is_symlink(HostOf("link.sys")));
    EXPECT_EQ(Read(HostOf("logo.sys")), "through");
}

TEST_F(FilesTest, WriteFileAtomicIntoAMissingFolderIsACreateError) {
    EXPECT_THROW(WriteFileAtomic("C:\\no folder\\x.ini", "x"), EFCreateError);
    EXPECT_THROW(WriteFileAtomic("C:\\WINDOWS", "x"), EFCreateError);
    EXPECT_THROW(WriteFileAtomic("nowhere", "x"), EFCreateError);
}

// A file size limit makes writes fail the way a full disk does, without a special disk.
class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t bytes) {
        ::getrlimit(RLIMIT_FSIZE, &old_);
        previousHandler_ = std::signal(SIGXFSZ, SIG_IGN);
        rlimit limit = old_;
        limit.rlim_cur = bytes;
        ::setrlimit(RLIMIT_FSIZE, &limit);
    }
    ~FileSizeLimit() {
        ::setrlimit(RLIMIT_FSIZE, &old_);
        std::signal(SIGXFSZ, previousHandler_);
    }

private:
    rlimit old_{};
    void (*previousHandler_)(int) = nullptr;
};

TEST_F(FilesTest, AFailedWriteLeavesTheOldFileAndNoTemporaryFile) {
    std::string big(100000, 'x');
    try {
        FileSizeLimit limit(1000);
        WriteFileAtomic("C:\\logo.sys", big);
        FAIL() << "the write went through";
    } catch (const EInOutError& error) {
        EXPECT_EQ(error.ErrorCode(), 112);  // ERROR_DISK_FULL, as a full disk reports it
    }
    EXPECT_EQ(Read(HostOf("logo.sys")), "startup");
    EXPECT_EQ(Listing(DriveC()), (std::vector<std::string>{"MSDOS.SYS", "WINDOWS", "logo.sys"}));
    {
        FileSizeLimit limit(1000);
        EXPECT_FALSE(CopyFile("C:\\big", "C:\\logo.sys", false, kMaxLogoFileBytes));
    }
    Write(HostOf("big"), big);
    {
        FileSizeLimit limit(1000);
        EXPECT_FALSE(CopyFile("C:\\big", "C:\\logo.sys", false, kMaxLogoFileBytes));
    }
    EXPECT_EQ(Read(HostOf("logo.sys")), "startup");
}

TEST_F(FilesTest, ReadFileErrors) {
    EXPECT_EQ(ReadFile("c:\\windows\\logow.sys", kMaxLogoFileBytes), "shutdown");
    EXPECT_THROW(ReadFile("C:\\missing", kMaxLogoFileBytes), EFOpenError);
    EXPECT_THROW(ReadFile("C:\\WINDOWS", kMaxLogoFileBytes), EFOpenError);
    EXPECT_THROW(ReadFile("nowhere", kMaxLogoFileBytes), EFOpenError);
    EXPECT_THROW(ReadFile("C:\\logo.sys", 3), EReadError);
    try {
        ReadFile("C:\\missing", kMaxLogoFileBytes);
    } catch (const EFOpenError& error) {
        EXPECT_EQ(error.Message(), "Cannot open file \"C:\\missing\"");
    }
}

TEST_F(FilesTest, FindFilesMatchesWildcardsWithoutRegardToCase) {
    Write(HostOf("WINDOWS/logos.sys"), "x");
    Write(HostOf("WINDOWS/Readme"), "x");
    Write(HostOf("WINDOWS/a.sysx"), "x");
    auto sorted = [](std::vector<std::string> names) {
        std::sort(names.begin(), names.end());
        return names;
    };
    using Names = std::vector<std::string>;
    EXPECT_EQ(sorted(FindFiles("C:\\windows\\*.SYS")), (Names{"LOGOW.SYS", "logos.sys"}));
    EXPECT_EQ(sorted(FindFiles("C:\\WINDOWS\\logo?.sys")), (Names{"LOGOW.SYS", "logos.sys"}));
    EXPECT_EQ(sorted(FindFiles("C:\\WINDOWS\\*.*")),
              (Names{"LOGOW.SYS", "Readme", "SYSTEM", "a.sysx", "logos.sys"}));
    EXPECT_EQ(sorted(FindFiles("C:\\WINDOWS\\*", {.skipDirectories = true})),
              (Names{"LOGOW.SYS", "Readme", "a.sysx", "logos.sys"}));
    EXPECT_EQ(FindFiles("C:\\WINDOWS\\readme"), (Names{"Readme"}));
    Write(HostOf("WINDOWS/Cafe\xCC\x81.bmp"), "x");
    EXPECT_EQ(FindFiles("C:\\WINDOWS\\CAFÉ.*"), (Names{"Cafe\xCC\x81.bmp"}));
    EXPECT_TRUE(FindFiles("C:\\missing\\*.*").empty());
    EXPECT_TRUE(FindFiles("C:\\WINDOWS\\").empty());
    if (XattrsKept(HostOf("WINDOWS/Readme"))) {
        SetFileAttributes("C:\\WINDOWS\\Readme", FILE_ATTRIBUTE_HIDDEN);
        SetFileAttributes("C:\\WINDOWS\\a.sysx", FILE_ATTRIBUTE_SYSTEM);
        EXPECT_EQ(sorted(FindFiles("C:\\WINDOWS\\*.*", {true, true})),
                  (Names{"Cafe\xCC\x81.bmp", "LOGOW.SYS", "logos.sys"}));
    }
}

TEST_F(FilesTest, FindEntriesTellFoldersFromFiles) {
    const auto entries = FindEntries("C:\\WINDOWS\\*.*");
    ASSERT_EQ(entries.size(), 2u);
    for (const FindData& entry : entries)
        EXPECT_EQ((entry.attributes & FILE_ATTRIBUTE_DIRECTORY) != 0, entry.name == "SYSTEM")
            << entry.name;
}

struct MatchCase {
    const char* name;
    const char* patterns;
    bool matches;
};

class PathMatchSpecTest : public ::testing::TestWithParam<MatchCase> {};

TEST_P(PathMatchSpecTest, MatchesOneOfThePatterns) {
    EXPECT_EQ(PathMatchSpec(GetParam().name, GetParam().patterns), GetParam().matches)
        << GetParam().name << " in " << GetParam().patterns;
}

INSTANTIATE_TEST_SUITE_P(Patterns, PathMatchSpecTest,
                         ::testing::Values(MatchCase{"LOGO.SYS", "*.sys;*.bmp;*.jp*", true},
                                           MatchCase{"sunset.JPEG", "*.sys;*.bmp;*.jp*", true},
                                           MatchCase{"sunset.jpg", "*.sys; *.bmp ;*.jp*", true},
                                           MatchCase{"readme.txt", "*.sys;*.bmp;*.jp*", false},
                                           MatchCase{"a.sysx", "*.sys;*.bmp;*.jp*", false},
                                           MatchCase{"Makefile", "*.*", true},
                                           MatchCase{"x.bmp", ";;", false},
                                           MatchCase{"CAF\xC3\x89.BMP", "caf\xC3\xA9.*", true},
                                           MatchCase{"logo1.sys", "logo?.sys", true}));

}  // namespace
