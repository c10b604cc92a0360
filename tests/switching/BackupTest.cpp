#include <gmock/gmock.h>

#include "core/BootOff.h"
#include "platform/Files.h"
#include "support/TestEnv.h"
#include "switching/Backup.h"

using ::testing::HasSubstr;
using ::testing::IsEmpty;

namespace {

namespace fs = std::filesystem;

constexpr int AllKinds = 1 | 2 | 4;

class BackupTest : public testenv::MachineTest {
protected:
    fs::path Logo(TLogoKind kind) const {
        return kind == lkBoot
                   ? DriveC() / "LOGO.SYS"
                   : DriveC() / "WINDOWS" / (kind == lkClosing ? "LOGOW.SYS" : "LOGOS.SYS");
    }
    fs::path Backup(TLogoKind kind) const {
        return ProgramDir() / (kind == lkBoot      ? "logo.bak"
                               : kind == lkClosing ? "logow.bak"
                                                   : "logos.bak");
    }
    void WriteLogos(const std::string& tag) {
        for (TLogoKind kind : AllLogoKinds)
            WriteFile(Logo(kind), tag + std::to_string(KindIndex(kind)));
    }
    void WriteBackups(const std::string& tag) {
        for (TLogoKind kind : AllLogoKinds)
            WriteFile(Backup(kind), tag + std::to_string(KindIndex(kind)));
    }
    fs::path MsdosSys() const { return DriveC() / "MSDOS.SYS"; }
    void TurnStartupLogoOff() { WriteLogoSetting(false); }
};

std::string Summary(const char* startup, const char* shutdown, const char* final) {
    return std::string("The following actions were performed:\r\rStartup logo: \r        ") +
           startup + "\rShutdown logo: \r        " + shutdown + "\rFinal logo: \r        " + final;
}

// ---- Backup ----

TEST_F(BackupTest, FirstBackupWithoutStartupLogo) {
    WriteLogos("now");
    fs::remove(Logo(lkBoot));
    Answer({platform::IDOK});
    EXPECT_FALSE(BackupLogos(GlobalInfo().AppPath));
    ASSERT_EQ(Boxes().size(), 2u);
    EXPECT_EQ(Boxes()[0]->kind, platform::BoxKind::OkCancel);
    EXPECT_EQ(Boxes()[0]->title, "Backup");
    EXPECT_EQ(Boxes()[0]->text,
              "A backup (*.bak) of each of the current logos will be copied to the Bootrama "
              "directory.");
    EXPECT_EQ(Boxes()[1]->kind, platform::BoxKind::Information);
    EXPECT_EQ(Boxes()[1]->title, "Backup");
    EXPECT_EQ(Boxes()[1]->text, Summary("Default Logo or Error", "Saved", "Saved"));
    EXPECT_EQ(FindBackups(GlobalInfo().AppPath), 2 | 4);
    EXPECT_EQ(ReadFile(Backup(lkClose)), "now2");
}

TEST_F(BackupTest, KeepingEveryOldCopy) {
    WriteLogos("now");
    WriteBackups("old");
    Answer({platform::IDOK, platform::IDNO, platform::IDNO, platform::IDNO});
    EXPECT_TRUE(BackupLogos(GlobalInfo().AppPath));
    ASSERT_EQ(Boxes().size(), 5u);
    EXPECT_EQ(Boxes()[1]->text,
              "There is already existing a backup copy of the Startup logo.\rDo you wish to "
              "overwrite this copy?");
    EXPECT_THAT(Boxes()[2]->text, HasSubstr("copy of the Shutdown logo.\r"));
    EXPECT_THAT(Boxes()[3]->text, HasSubstr("copy of the Final logo.\r"));
    EXPECT_EQ(Boxes()[4]->text, Summary("Keeping old backup copy", "Keeping old backup copy",
                                        "Keeping old backup copy"));
    EXPECT_EQ(ReadFile(Backup(lkBoot)), "old0");
}

TEST_F(BackupTest, MixedAnswersAndAFailedCopy) {
    WriteLogos("now");
    WriteBackups("old");
    fs::remove(Logo(lkClose));
    Answer({platform::IDOK, platform::IDYES, platform::IDNO, platform::IDYES});
    EXPECT_FALSE(BackupLogos(GlobalInfo().AppPath));
    EXPECT_EQ(Boxes().back()->text, Summary("Saved", "Keeping old backup copy", "Error"));
    EXPECT_EQ(ReadFile(Backup(lkBoot)), "now0");
    EXPECT_EQ(ReadFile(Backup(lkClosing)), "old1");
}

TEST_F(BackupTest, CancelCopiesNothing) {
    WriteLogos("now");
    EXPECT_TRUE(BackupLogos(GlobalInfo().AppPath));
    EXPECT_EQ(Boxes().size(), 1u);
    EXPECT_EQ(FindBackups(GlobalInfo().AppPath), 0);
}

TEST_F(BackupTest, BackupKeepsTheLogoAttributes) {
    WriteLogos("now");
    platform::SetFileAttributes(
        Win(Logo(lkBoot)), platform::FILE_ATTRIBUTE_READONLY | platform::FILE_ATTRIBUTE_HIDDEN);
    WriteBackups("old");
    platform::SetFileAttributes(Win(Backup(lkBoot)), platform::FILE_ATTRIBUTE_READONLY);
    Answer({platform::IDOK, platform::IDYES, platform::IDYES, platform::IDYES});
    EXPECT_TRUE(BackupLogos(GlobalInfo().AppPath));
    EXPECT_EQ(ReadFile(Backup(lkBoot)), "now0");
    EXPECT_EQ(platform::GetFileAttributes(Win(Backup(lkBoot))),
              platform::GetFileAttributes(Win(Logo(lkBoot))));
}

// ---- Restore ----

TEST_F(BackupTest, RestorePutsEveryCopyBack) {
    WriteLogos("now");
    WriteBackups("old");
    EXPECT_TRUE(RestoreLogos());
    for (TLogoKind kind : AllLogoKinds)
        EXPECT_EQ(ReadFile(Logo(kind)), "old" + std::to_string(KindIndex(kind)));
    EXPECT_THAT(Boxes(), IsEmpty());
}

TEST_F(BackupTest, RestoreWithoutStartupCopyBringsTheDefaultLogoBack) {
    WriteLogos("now");
    WriteBackups("old");
    fs::remove(Backup(lkBoot));
    TurnStartupLogoOff();
    platform::SetFileAttributes(Win(Logo(lkBoot)), platform::FILE_ATTRIBUTE_READONLY);
    EXPECT_TRUE(RestoreLogos());
    EXPECT_FALSE(fs::exists(Logo(lkBoot)));
    EXPECT_FALSE(LogoKeyPresent());
    EXPECT_EQ(ReadFile(Logo(lkClose)), "old2");
}

TEST_F(BackupTest, RestoreWithoutShutdownCopyFailsButRestoresTheOthers) {
    WriteLogos("now");
    WriteBackups("old");
    fs::remove(Backup(lkClosing));
    EXPECT_FALSE(RestoreLogos());
    EXPECT_EQ(ReadFile(Logo(lkBoot)), "old0");
    EXPECT_EQ(ReadFile(Logo(lkClose)), "old2");
    EXPECT_EQ(ReadFile(Logo(lkClosing)), "now1");
}

TEST_F(BackupTest, RestoreWithoutAnyCopy) {
    WriteLogos("now");
    EXPECT_FALSE(RestoreLogos());
    EXPECT_FALSE(fs::exists(Logo(lkBoot)));
    EXPECT_EQ(ReadFile(Logo(lkClose)), "now2");
}

// ---- Deleting backups and the default logo ----

TEST_F(BackupTest, DeleteBackups) {
    EXPECT_TRUE(DeleteBackups());
    WriteBackups("old");
    EXPECT_EQ(FindBackups(GlobalInfo().AppPath), AllKinds);
    platform::SetFileAttributes(Win(Backup(lkClosing)), platform::FILE_ATTRIBUTE_READONLY);
    EXPECT_FALSE(DeleteBackups());
    EXPECT_EQ(FindBackups(GlobalInfo().AppPath), 2);
    platform::SetFileAttributes(Win(Backup(lkClosing)), platform::FILE_ATTRIBUTE_NORMAL);
    EXPECT_TRUE(DeleteBackups());
    EXPECT_EQ(FindBackups(GlobalInfo().AppPath), 0);
}

TEST_F(BackupTest, DefaultStartupLogo) {
    WriteLogos("now");
    TurnStartupLogoOff();
    EXPECT_TRUE(RestoreDefaultStartupLogo());
    EXPECT_FALSE(fs::exists(Logo(lkBoot)));
    EXPECT_FALSE(LogoKeyPresent());
    EXPECT_TRUE(RestoreDefaultStartupLogo());
}

TEST_F(BackupTest, ReadOnlyStartupLogoStaysButTheLogoIsTurnedOn) {
    WriteLogos("now");
    TurnStartupLogoOff();
    platform::SetFileAttributes(Win(Logo(lkBoot)), platform::FILE_ATTRIBUTE_READONLY);
    EXPECT_FALSE(RestoreDefaultStartupLogo());
    EXPECT_TRUE(fs::exists(Logo(lkBoot)));
    EXPECT_FALSE(LogoKeyPresent());
}

TEST_F(BackupTest, DefaultLogoWithoutMsdosSysFails) {
    WriteLogos("now");
    fs::remove(MsdosSys());
    EXPECT_FALSE(RestoreDefaultStartupLogo());
    EXPECT_FALSE(fs::exists(Logo(lkBoot)));
    EXPECT_THAT(Boxes(), IsEmpty());
}

}  // namespace
