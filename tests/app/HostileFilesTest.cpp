// Black-box tests of the real executables among hostile files: devices, FIFOs, endless or huge
// files, decompression bombs, leftovers of killed runs. Whatever is there, the program ends
// in time with its own message and changes nothing it must not.

#include <gmock/gmock.h>
#include <sys/stat.h>

#include <random>
#include <thread>

#include "app/BootramaRun.h"
#include "image/BmpCodec.h"

using ::testing::Contains;
using ::testing::HasSubstr;

namespace apptest {
namespace {

// Our own fuzz input: a progressive JPEG cut short, with an end marker after the cut.
const fs::path kCutJpeg = fs::path(BOOTRAMA_SOURCE_DIR) / "fuzz" / "seeds" / "fuzz_picture" /
                          "bomb-progressive-4400x4400-cut-at-16k-with-end-marker.jpg";

std::string LogoBytes() {
    TBitmap logo;
    logo.Width = 320;
    logo.Height = 400;
    logo.BitsPerPixel = 8;
    logo.Pixels.assign(320 * 400, 7);
    logo.Colours.assign(256, TRGBColour{1, 2, 3});
    return EncodeBmp8(logo);
}

// The cut JPEG declaring 16384 x 16384 pixels, with comments that make it large enough to
// carry them: decoding it took 1.8 GB.
std::string JpegBomb() {
    std::string jpeg = testenv::ReadHostFile(kCutJpeg);
    for (std::size_t at = 2; at + 9 < jpeg.size();
         at += 2 + (std::uint8_t(jpeg[at + 2]) << 8 | std::uint8_t(jpeg[at + 3]))) {
        if (jpeg[at + 1] == '\xC2') {
            jpeg.replace(at + 5, 4, "\x40\x00\x40\x00", 4);
            break;
        }
    }
    for (int i = 0; i < 4; ++i)
        jpeg.insert(2, std::string("\xFF\xFE\xFF\xFF", 4) + std::string(65533, 0));
    return jpeg;
}

class HostileFiles : public BootramaRun {
public:
    HostileFiles() {
        runTimeout_ = std::chrono::seconds(5);
        for (TLogoKind kind : AllLogoKinds) WriteFile(Logo(kind), Current(kind));
        WriteOneLogoLists();
        WriteConfig(true, false, false);
        WriteFile(DriveC() / "logo.bmp", LogoBytes());
    }

    // Each lays out one hazard.
    void LogoLinkedToDevice() { Link(Logo(lkBoot), Device("null", 3)); }
    void OutputIsAFifo() { Fifo(DriveC() / "out.sys"); }
    void MsdosSysIsAFifo() { Fifo(DriveC() / "MSDOS.SYS"); }
    void ListLinkedToZeroDevice() { Link(List(lkBoot), Device("zero", 5)); }
    void EntryOfAGigabyte() {
        fs::resize_file(DriveC() / "Logos" / "new0.sys", std::uintmax_t(1) << 30);
    }
    void JpegBombFile() { WriteFile(DriveC() / "bomb.jpg", JpegBomb()); }
    void CutJpeg() { fs::copy_file(kCutJpeg, DriveC() / "cut.jpg"); }
    // Only the first is ours and stale; the body sees it go.
    void StaleTemporaries() {
        const auto hourAgo = fs::file_time_type::clock::now() - std::chrono::hours(1);
        for (const char* name : {".bootrama-Ab12Cd", ".bootrama-Ab12C", ".bootrama-Ab12Cd7",
                                 ".bootrama-Ab_2Cd", "bootrama-Ab12Cd", ".bootrama-New123"}) {
            WriteFile(DriveC() / name, "x");
            fs::last_write_time(DriveC() / name, hourAgo);
            Keep(DriveC() / name);
        }
        kept_.erase(kept_.begin());
        fs::last_write_time(DriveC() / ".bootrama-New123", hourAgo + std::chrono::hours(2));
        fs::create_directory(DriveC() / ".bootrama-Dir123");
        Keep(DriveC() / ".bootrama-Dir123");
    }
    void FolderWithBackslash() { MoveProgram(Host("back\\slash")); }
    void BackslashInText() { WriteFile(List(lkBoot), "C:\\rlogo.sys\r\n"); }

    // What the test made stays what it was: a link, a FIFO, the same device, its mode.
    void ExpectKeptAsMade() const {
        for (const auto& [path, made] : kept_) {
            struct stat now {};
            EXPECT_EQ(lstat(path.c_str(), &now), 0) << path;
            EXPECT_EQ(now.st_mode, made.st_mode) << path;
            EXPECT_EQ(now.st_rdev, made.st_rdev) << path;
        }
    }
    bool devicesMade_ = true;  // only root may make them

protected:
    fs::path Host(const std::string& name) const {
        return DriveC().parent_path().parent_path() / "host" / name;
    }
    fs::path Device(const std::string& name, unsigned minor) {
        devicesMade_ = devicesMade_ && testenv::MakeCharacterDevice(Host(name), minor);
        Keep(Host(name));
        return Host(name);
    }
    void Fifo(const fs::path& path) {
        fs::remove(path);
        ASSERT_EQ(mkfifo(path.c_str(), 0666), 0);
        Keep(path);
    }
    void Link(const fs::path& link, const fs::path& target) {
        fs::remove(link);
        fs::create_symlink(target, link);
        Keep(link);
    }
    void Keep(const fs::path& path) {
        struct stat made {};
        lstat(path.c_str(), &made);
        kept_.emplace_back(path, made);
    }

    std::vector<std::pair<fs::path, struct stat>> kept_;
};

struct Hazard {
    const char* name;
    void (HostileFiles::*layOut)();
    std::vector<std::string> command;  // bootrama's argument, or bootrama-logo's arguments
    std::string said;                  // in a box or on standard error
    bool switched;                     // the startup logo, where it is a file
};

void PrintTo(const Hazard& hazard, std::ostream* out) {
    *out << hazard.name;
}

class HostileFile : public HostileFiles, public ::testing::WithParamInterface<Hazard> {};

TEST_P(HostileFile, EndsInTimeWithTheProgramsMessageAndHarmsNothing) {
    (this->*GetParam().layOut)();
    if (!devicesMade_)
        GTEST_SKIP() << "only root may make device nodes";
    const auto& command = GetParam().command;
    const RunResult run =
        command[0].starts_with("/") ? Run(command[0], "no,yes") : RunLogo(command);
    EXPECT_TRUE(run.exited) << run.errors;
    std::string said = run.errors;
    for (const auto& box : run.boxes) said += box + "\n";
    EXPECT_THAT(said, HasSubstr(Spelled(GetParam().said)));
    if (fs::is_regular_file(Logo(lkBoot))) {
        EXPECT_EQ(Switched(lkBoot), GetParam().switched);
    }
    ExpectKeptAsMade();
    EXPECT_FALSE(fs::exists(DriveC() / ".bootrama-Ab12Cd"));
}

using H = HostileFiles;
const std::string kNotCopied = "Error copying file \"C:\\Logos\\new0.sys\" to C:\\logo.sys";
const std::string kNoBitmap = "is no valid Bitmap.";
const std::vector<std::string> kAuto = {"/Auto"};

INSTANTIATE_TEST_SUITE_P(
    Hazards, HostileFile,
    ::testing::Values(
        Hazard{"LogoLinkedToDevice", &H::LogoLinkedToDevice, kAuto, kNotCopied, false},
        Hazard{
            "OutputIsAFifo", &H::OutputIsAFifo, {"logo.bmp", "out.sys"}, "Error creating", false},
        Hazard{"MsdosSysIsAFifo", &H::MsdosSysIsAFifo, kAuto, "", true},
        Hazard{"ListLinkedToZeroDevice", &H::ListLinkedToZeroDevice, kAuto,
               "brboot.dat\"!\rError: EFOpenError", false},
        Hazard{"EntryOfAGigabyte", &H::EntryOfAGigabyte, kAuto, kNotCopied, false},
        Hazard{"JpegBomb", &H::JpegBombFile, {"bomb.jpg", "out.sys"}, kNoBitmap, false},
        Hazard{"CutJpegWithEndMarker", &H::CutJpeg, {"cut.jpg", "out.sys"}, kNoBitmap, false},
        Hazard{"StaleTemporaries", &H::StaleTemporaries, kAuto, "", true},
        Hazard{"ProgramFolderWithBackslash", &H::FolderWithBackslash, kAuto,
               "back\\slash\": its name holds a backslash", false},
        Hazard{"BackslashInText", &H::BackslashInText, kAuto, "\"C:\\rlogo.sys\" not found",
               false}),
    [](const auto& test) { return std::string(test.param.name); });

TEST_F(HostileFiles, LogoGoesToStandardOutputForADash) {
    const RunResult run = RunLogo({"logo.bmp", "-"});
    EXPECT_EQ(run.exitCode, 0) << run.errors;
    EXPECT_TRUE(run.output == LogoBytes());
}

// Killed at random moments, /Auto leaves every logo whole, old or new, and the next run
// leaves no temporary file behind.
TEST_F(HostileFiles, KilledWhileSwitchingLosesNoLogoAndLeavesNoTemporary) {
    WriteConfig(true, true, true);
    TKindTable<std::vector<std::string>> whole;
    for (TLogoKind kind : AllLogoKinds) {
        std::string list;
        for (char c : {'a', 'b'}) {
            const std::string name = c + std::to_string(KindIndex(kind)) + ".sys";
            whole[kind].push_back(std::string(129078, char(c + KindIndex(kind))));
            WriteFile(DriveC() / "Logos" / name, whole[kind].back());
            list += "C:\\Logos\\" + name + "\r\n";
        }
        WriteFile(List(kind), list);
    }
    const auto started = std::chrono::steady_clock::now();
    Finish(Start("/Auto"));
    const auto oneRun = std::chrono::steady_clock::now() - started;
    std::mt19937 random(8);
    for (int kill = 0; kill < 100; ++kill) {
        const pid_t child = Start("/Auto");
        std::this_thread::sleep_for(oneRun * (random() % 1000) / 1000);
        ::kill(child, SIGKILL);
        Finish(child);
    }
    EXPECT_TRUE(Run("/Auto").exited);
    for (TLogoKind kind : AllLogoKinds) EXPECT_THAT(whole[kind], Contains(ReadFile(Logo(kind))));
    for (const fs::path& folder : {DriveC(), DriveC() / "WINDOWS", ProgramDir()})
        for (const auto& entry : fs::directory_iterator(folder))
            EXPECT_FALSE(entry.path().filename().string().starts_with(".bootrama-"))
                << entry.path();
}

}  // namespace
}  // namespace apptest
