// TLogo: loading, proposing a method, rebuilding, errors and saving.

#include <gtest/gtest.h>

#include "ImageTestUtils.h"
#include "core/ProgErrors.h"
#include "image/BmpCodec.h"
#include "image/Logo.h"
#include "platform/Files.h"
#include "support/TestEnv.h"

namespace {

using imagetest::MakeIndexed;

std::vector<TRGBColour> palette() {
    std::vector<TRGBColour> colours;
    for (int i = 0; i < 256; ++i) colours.push_back({std::uint8_t(i), std::uint8_t(i / 2), 200});
    return colours;
}

std::string eightBit(int width, int height) {
    return EncodeBmp8(MakeIndexed(width, height, palette(),
                                  [](int x, int y) { return std::uint8_t(x + y + 1); }));
}

std::string trueColour(int width, int height) {
    return imagetest::Encode24(width, height, [](int x, int y) {
        return TRGBColour{std::uint8_t(x), std::uint8_t(y), 90};
    });
}

class FakeControl : public TDefaultControl {
public:
    void SetVisible(bool value) override { visible = value; }
    bool visible = false;
};

class FakeSaveDialog : public TSaveDialog {
public:
    std::optional<std::string> Execute(const TSaveDialogRequest& request) override {
        requests.push_back(request);
        return answer;
    }
    std::optional<std::string> answer;
    std::vector<TSaveDialogRequest> requests;
};

class LogoTest : public testenv::MachineTest {
protected:
    // Windows path of a JPEG picture made with cjpeg, or empty when cjpeg is missing.
    std::string MakeJpeg(int width, int height) {
        if (!imagetest::HaveTool("cjpeg"))
            return "";
        WriteFile(DriveC() / "p.bmp", trueColour(width, height));
        const int code = imagetest::RunCommand("cjpeg -outfile '" + (DriveC() / "p.jpg").string() +
                                               "' '" + (DriveC() / "p.bmp").string() + "'");
        EXPECT_EQ(code, 0);
        return Win(DriveC() / "p.jpg");
    }

    LogoTest() {
        logo.OnSourceChanged = [this](void* sender) {
            events.push_back(sender == &owner ? "source" : "source?");
        };
        logo.OnLogoChanged = [this](void* sender) {
            events.push_back(sender == &owner ? "logo" : "logo?");
        };
        logo.onSave = [this](void* sender) {
            events.push_back(sender == &logo ? "save" : "save?");
        };
    }

    std::string put(const std::string& name, const std::string& contents) {
        WriteFile(DriveC() / name, contents);
        return Win(DriveC() / name);
    }

    int owner = 0;
    TLogo logo{&owner};
    std::vector<std::string> events;
};

TEST_F(LogoTest, StartsCleared) {
    EXPECT_EQ(logo.SourceFile(), "");
    EXPECT_EQ(logo.LogoBmp(), nullptr);
    EXPECT_EQ(logo.SourceBitmap(), nullptr);
    EXPECT_FALSE(logo.Modified());
    EXPECT_EQ(logo.StretchMode(), TStretchMode::stretch);
    EXPECT_FALSE(logo.AspectRatio());
    EXPECT_EQ(logo.SourceColours(), 0);
}

TEST_F(LogoTest, LogoFileIsCopiedWhateverTheSettings) {
    const std::string file = eightBit(320, 400);
    logo.SetSourceFile(put("logo.bmp", file));
    EXPECT_TRUE(logo.IsLogo());
    EXPECT_EQ(EncodeBmp8(*logo.LogoBmp()), file);
    logo.SetAspectRatio(true);
    logo.SetStretchMode(TStretchMode::zoom);
    EXPECT_EQ(EncodeBmp8(*logo.LogoBmp()), file);
    EXPECT_EQ(events, (std::vector<std::string>{"logo", "source", "logo", "logo"}));
}

TEST_F(LogoTest, SamePictureAsTrueColourIsConverted) {
    logo.SetSourceFile(put("logo24.bmp", trueColour(320, 400)));
    EXPECT_FALSE(logo.IsLogo());
    EXPECT_EQ(logo.SourceColours(), 16777216);
    ASSERT_NE(logo.LogoBmp(), nullptr);
    EXPECT_TRUE(IsLogoImage(logo.LogoBmp()));
}

TEST_F(LogoTest, JpegOfLogoSizeIsNeverALogo) {
    const std::string jpeg = MakeJpeg(320, 400);
    if (jpeg.empty())
        GTEST_SKIP() << "cjpeg (libjpeg-turbo-progs) is not installed";
    logo.SetSourceFile(jpeg);
    EXPECT_FALSE(logo.IsLogo());
    EXPECT_EQ(logo.SourceColours(), 16777216);
    const std::set<std::uint8_t> used(logo.LogoBmp()->Pixels.begin(), logo.LogoBmp()->Pixels.end());
    EXPECT_LE(used.size(), 236u);
}

TEST_F(LogoTest, ProposesCropForPicturesThatFit) {
    struct Case {
        int width, height;
        bool aspect;
        TStretchMode proposed;
    } cases[] = {{200, 150, false, TStretchMode::crop},
                 {640, 480, false, TStretchMode::stretch},
                 {500, 390, true, TStretchMode::crop},
                 {500, 390, false, TStretchMode::stretch}};
    for (const Case& c : cases) {
        logo.SetAspectRatio(c.aspect);
        logo.SetStretchMode(TStretchMode::zoom);
        logo.SetSourceFile(put("p.bmp", eightBit(c.width, c.height)));
        EXPECT_EQ(logo.StretchMode(), c.proposed) << c.width << "x" << c.height;
        EXPECT_EQ(logo.SourceWidth(), c.width);
        EXPECT_EQ(logo.SourceHeight(), c.height);
    }
}

TEST_F(LogoTest, ChangingTheMethodRebuildsAndMarksModified) {
    logo.SetSourceFile(put("p.bmp", eightBit(640, 480)));
    const std::vector<std::uint8_t> stretched = logo.LogoBmp()->Pixels;
    events.clear();
    logo.SetStretchMode(TStretchMode::stretch);
    EXPECT_EQ(events, std::vector<std::string>{"logo"});
    EXPECT_TRUE(logo.Modified());
    logo.SetStretchMode(TStretchMode::crop);
    EXPECT_NE(logo.LogoBmp()->Pixels, stretched);
}

TEST_F(LogoTest, EmptyPathRemovesTheLogo) {
    logo.SetSourceFile(put("p.bmp", eightBit(64, 64)));
    events.clear();
    logo.SetSourceFile("");
    EXPECT_EQ(events, (std::vector<std::string>{"logo", "source"}));
    EXPECT_FALSE(logo.Modified());
    EXPECT_EQ(logo.LogoBmp(), nullptr);
    EXPECT_EQ(logo.SourceWidth(), 0);
}

TEST_F(LogoTest, MissingStartupLogoShowsTheDefaultControl) {
    FakeControl control;
    logo.DefaultControl = &control;
    logo.SetSourceFile("c:\\LOGO.sys");
    EXPECT_TRUE(control.visible);
    EXPECT_EQ(events, std::vector<std::string>{"source"});
    // A picture loaded afterwards hides it again.
    logo.SetSourceFile(put("p.bmp", eightBit(64, 64)));
    EXPECT_FALSE(control.visible);
}

TEST_F(LogoTest, MissingStartupLogoWithoutDefaultControl) {
    try {
        logo.SetSourceFile("C:\\logo.sys");
        FAIL() << "no error";
    } catch (const EDefaultLogo& error) {
        EXPECT_EQ(error.Message(), "Error reading the file \"C:\\logo.sys\"!\rError: EFOpenError");
    }
    EXPECT_TRUE(events.empty());
}

TEST_F(LogoTest, OtherMissingFileClearsAndReports) {
    logo.SetSourceFile(put("p.bmp", eightBit(64, 64)));
    try {
        logo.SetSourceFile("C:\\WINDOWS\\logow.sys");
        FAIL() << "no error";
    } catch (const EDefaultLogo&) {
        FAIL() << "only the startup logo is replaced by the default";
    } catch (const ELogoError& error) {
        EXPECT_EQ(error.Message(),
                  "Error reading the file \"C:\\WINDOWS\\logow.sys\"!\rError: EFOpenError");
    }
    EXPECT_EQ(logo.SourceBitmap(), nullptr);
    EXPECT_EQ(logo.LogoBmp(), nullptr);
    EXPECT_FALSE(logo.Modified());
    EXPECT_EQ(logo.SourceFile(), "C:\\WINDOWS\\logow.sys");
}

TEST_F(LogoTest, DamagedOrUnknownPicturesAreNoValidBitmaps) {
    for (auto [name, contents] : {std::pair<std::string, std::string>{"bad.bmp", "BM garbage"},
                                  {"bad.jpg", "\xFF\xD8 garbage"},
                                  {"photo.png", "PNG"},
                                  {"damaged.ico", "ICO"},
                                  {"empty.bmp", ""}}) {
        const std::string path = put(name, contents);
        try {
            logo.SetSourceFile(path);
            FAIL() << name;
        } catch (const ELogoError& error) {
            EXPECT_EQ(error.Message(), "File \"" + path + "\" is no valid Bitmap.");
        }
        EXPECT_EQ(logo.SourceBitmap(), nullptr);
    }
}

TEST_F(LogoTest, LogosOnlyRefusesPicturesButKeepsThePreviousLogo) {
    logo.SetSourceFile(put("logo.bmp", eightBit(320, 400)));
    const TBitmap* previous = logo.LogoBmp();
    logo.LogosOnly = true;
    events.clear();
    const std::string path = put("p.bmp", trueColour(320, 400));
    try {
        logo.SetSourceFile(path);
        FAIL() << "no error";
    } catch (const EInvalidLogo& error) {
        EXPECT_EQ(error.Message(), "File \"" + path + "\" is no valid Logo.");
    }
    EXPECT_FALSE(logo.IsLogo());
    EXPECT_EQ(logo.LogoBmp(), previous);
    EXPECT_EQ(logo.SourceWidth(), 320);
    EXPECT_TRUE(events.empty());
}

// A sound icon loads but can't become a bitmap: that error leaves as it is, and the
// component keeps what it reached (source released and counted, previous logo kept).
TEST_F(LogoTest, PictureThatCannotBecomeABitmapKeepsWhatWasReached) {
    logo.SetSourceFile(put("p.bmp", eightBit(64, 64)));
    const TBitmap* previous = logo.LogoBmp();
    events.clear();
    std::string icon(6 + 16, '\0');
    icon[2] = 1;
    icon[4] = 1;
    EXPECT_THROW(logo.SetSourceFile(put("app.ico", icon)), platform::EConvertError);
    EXPECT_EQ(logo.SourceBitmap(), nullptr);
    EXPECT_EQ(logo.SourceColours(), 0);
    EXPECT_EQ(logo.LogoBmp(), previous);
    EXPECT_TRUE(events.empty());
}

TEST_F(LogoTest, JpegReportsProgressBeforeTheLogoAndTheSourceChange) {
    const std::string jpeg = MakeJpeg(300, 200);
    if (jpeg.empty())
        GTEST_SKIP() << "cjpeg (libjpeg-turbo-progs) is not installed";
    logo.OnProgress = [this](TProgressStage, int) {
        if (events.empty() || events.back() != "progress")
            events.push_back("progress");
    };
    logo.SetSourceFile(jpeg);
    EXPECT_EQ(events, (std::vector<std::string>{"progress", "logo", "source"}));
    EXPECT_TRUE(logo.Modified());
}

TEST_F(LogoTest, ProgressHandlerAbortsQuietly) {
    const std::string jpeg = MakeJpeg(300, 200);
    if (jpeg.empty())
        GTEST_SKIP() << "cjpeg (libjpeg-turbo-progs) is not installed";
    logo.OnProgress = [](TProgressStage stage, int) {
        if (stage == TProgressStage::psRunning)
            throw EQuietException("");
    };
    logo.SetSourceFile(jpeg);
    EXPECT_EQ(logo.SourceBitmap(), nullptr);
    EXPECT_EQ(events, std::vector<std::string>{"source"});
}

TEST_F(LogoTest, DefaultLogoNameDropsFourCharacters) {
    const std::pair<const char*, const char*> names[] = {{"C:\\Pics\\sunset.jpg", "sunsetLogo.bmp"},
                                                         {"C:\\Pics\\photo.jpeg", "photo.Logo.bmp"},
                                                         {"C:\\Pics\\abc", "Logo.bmp"},
                                                         {"C:\\Pics\\abcd", "Logo.bmp"},
                                                         {"C:\\Bilder\\Straße", "StLogo.bmp"},
                                                         {"C:\\Bilder\\Käse", "Logo.bmp"},
                                                         {"C:\\Bilder\\Grüße.jpg", "GrüßeLogo.bmp"},
                                                         {"", "Logo.bmp"}};
    for (auto [path, name] : names) EXPECT_EQ(TLogo::DefaultLogoName(path), name) << path;
}

TEST_F(LogoTest, SavesTheSameBytesUnderAnyNameWithArchiveOnly) {
    logo.SetSourceFile(put("p.bmp", eightBit(200, 150)));
    const std::string sys = put("new.sys", "old");
    ASSERT_TRUE(platform::SetFileAttributes(
        sys, platform::FILE_ATTRIBUTE_HIDDEN | platform::FILE_ATTRIBUTE_SYSTEM));
    events.clear();
    logo.SaveToFile(sys);
    logo.SaveToFile(Win(DriveC() / "new.bmp"));
    EXPECT_EQ(events, (std::vector<std::string>{"save", "save"}));
    EXPECT_FALSE(logo.Modified());
    const std::string bytes = ReadFile(DriveC() / "new.sys");
    EXPECT_EQ(bytes.size(), 129078u);
    EXPECT_EQ(bytes, ReadFile(DriveC() / "new.bmp"));
    EXPECT_EQ(platform::GetFileAttributes(sys), platform::FILE_ATTRIBUTE_ARCHIVE);
}

TEST_F(LogoTest, SavingWithoutALogoDoesNothing) {
    logo.SaveToFile("C:\\nothing.bmp");
    EXPECT_FALSE(platform::FileExists("C:\\nothing.bmp"));
    EXPECT_TRUE(events.empty());
}

TEST_F(LogoTest, UnwritableFileKeepsModified) {
    logo.SetSourceFile(put("p.bmp", eightBit(64, 64)));
    try {
        logo.SaveToFile("C:\\no such folder\\x.bmp");
        FAIL() << "no error";
    } catch (const ELogoError& error) {
        EXPECT_EQ(error.Message(),
                  "Error creating the file \"C:\\no such folder\\x.bmp\"!\rError: EFCreateError");
    }
    EXPECT_TRUE(logo.Modified());
}

TEST_F(LogoTest, SaveAsAsksWithTheLogoFilters) {
    FakeSaveDialog dialog;
    logo.SaveDialog = &dialog;
    const std::string source = put("sunset.bmp", eightBit(64, 64));
    logo.SetSourceFile(source);
    GlobalInfo().SetLogoPath(Win(DriveC()));
    std::string fileName = "unchanged";
    EXPECT_THROW(logo.SaveAsDefault("Save logo", fileName), EQuietException);
    EXPECT_EQ(fileName, source);
    ASSERT_EQ(dialog.requests.size(), 1u);
    const TSaveDialogRequest& request = dialog.requests[0];
    EXPECT_EQ(request.Title, "Save logo");
    EXPECT_EQ(request.Filter, "Windows logo (*.sys)|*.sys|Bitmap (*.bmp)|*.bmp");
    EXPECT_EQ(request.FilterIndex, 2);
    EXPECT_EQ(request.DefaultExt, "bmp");
    EXPECT_EQ(request.FileName, "sunsetLogo.bmp");
    EXPECT_EQ(request.InitialDir, GlobalInfo().LogoPath());
    EXPECT_TRUE(request.OverwritePrompt && request.HideReadOnly && request.NoReadOnlyReturn);

    dialog.answer = Win(DriveC() / "chosen.bmp");
    logo.SaveAs("Save", "x.bmp", fileName, "C:\\");
    EXPECT_EQ(fileName, *dialog.answer);
    EXPECT_TRUE(platform::FileExists(fileName));
}

}  // namespace
