// Writes pictures of the windows for the documentation when BOOTRAMA_SCREENSHOT_DIR names
// a folder (scripts/screenshots.sh); skipped otherwise.

#include <QApplication>
#include <QCoreApplication>
#include <QImage>
#include <QLabel>
#include <QListView>
#include <QPainter>
#include <QProgressBar>
#include <QPushButton>
#include <QTabWidget>
#include <QTest>
#include <QTreeView>
#include <cmath>

#include "UiTest.h"
#include "image/Bitmap.h"
#include "image/BmpCodec.h"
#include "platform/Machine.h"
#include "support/DiskImages.h"
#include "ui/Choose.h"
#include "ui/Create.h"
#include "ui/ListBox.h"
#include "ui/about.h"
#include "ui/options.h"
#include "ui/view.h"

namespace uitest {
namespace {

// A sky over hills under a sun, in the colours of a kind: something a logo could show.
TBitmap PaintedLogo(int hue) {
    TBitmap logo;
    logo.Width = 320;
    logo.Height = 400;
    logo.BitsPerPixel = 8;
    for (int i = 0; i < 256; ++i) {
        const QColor colour = i < 128 ? QColor::fromHsv(hue, 200, 80 + i)
                              : i < 192
                                  ? QColor::fromHsv((hue + 120) % 360, 180, 60 + (i - 128) * 2)
                                  : QColor::fromHsv(50, 40 + (i - 192) * 3, 255);
        logo.Colours.push_back({static_cast<std::uint8_t>(colour.red()),
                                static_cast<std::uint8_t>(colour.green()),
                                static_cast<std::uint8_t>(colour.blue())});
    }
    logo.Pixels.resize(320 * 400);
    for (int y = 0; y < 400; ++y) {
        for (int x = 0; x < 320; ++x) {
            const double hill = 280 + 30 * std::sin(x / 40.0);
            const double sun = std::hypot(x - 220, (y - 130) * 0.8);
            int index = 127 - y * 127 / 400;
            if (y > hill)
                index = 128 + std::min(63, int(y - hill) / 2);
            else if (sun < 45)
                index = 192 + std::min(63, int(45 - sun));
            logo.Row(y)[x] = static_cast<std::uint8_t>(index);
        }
    }
    return logo;
}

// The startup logo with a bar at the bottom whose colours run while Windows starts.
TBitmap StartupLogo() {
    constexpr int bar = 236;
    TBitmap logo = PaintedLogo(215);
    for (int i = bar; i < 256; ++i) {
        const int level = 255 - std::abs(i - bar - 10) * 20;
        logo.Colours[i] = {0, static_cast<std::uint8_t>(level / 2),
                           static_cast<std::uint8_t>(level)};
    }
    for (auto& pixel : logo.Pixels) pixel = std::min<std::uint8_t>(pixel, bar - 1);
    for (int y = 360; y < 372; ++y)
        for (int x = 60; x < 260; ++x) logo.Row(y)[x] = static_cast<std::uint8_t>(bar + x / 4 % 20);
    logo.ImportantColours = bar;
    return logo;
}

class ScreenshotTest : public UiTest {
protected:
    void SetUp() override {
        const QByteArray dir = qgetenv("BOOTRAMA_SCREENSHOT_DIR");
        if (dir.isEmpty())
            GTEST_SKIP() << "BOOTRAMA_SCREENSHOT_DIR names no folder";
        folder_ = QString::fromLocal8Bit(dir);
        const TKindTable<int> hues = {215, 20, 280};
        for (TLogoKind kind : AllLogoKinds) {
            WriteFile(LogoHost(kind), EncodeBmp8(PaintedLogo(hues[kind])));
            if (kind != lkClose)
                FillList(kind);
        }
        WriteFile(ListHost(lkClose), "");
        WriteIni("NewInstalled=0\r\nChangeBootBmp=1\r\n");
    }
    // A photo-like picture: a sky with a sun over a sea, in the colours of a hue.
    static void WritePhoto(const fs::path& path, int hue, int width = 800, int height = 600) {
        QImage photo(width, height, QImage::Format_RGB32);
        QPainter painter(&photo);
        QLinearGradient sky(0, 0, 0, height);
        sky.setColorAt(0, QColor::fromHsv(hue, 160, 250));
        sky.setColorAt(1, QColor::fromHsv((hue + 40) % 360, 220, 120));
        painter.fillRect(photo.rect(), sky);
        painter.setBrush(QColor(255, 230, 120));
        painter.drawEllipse(QPoint(width * 2 / 3, height / 3), height / 8, height / 8);
        painter.fillRect(0, height * 2 / 3, width, height / 3, QColor::fromHsv(hue, 200, 90));
        painter.end();
        fs::create_directories(path.parent_path());
        ASSERT_TRUE(photo.save(QString::fromStdString(path.string()), "JPG"));
    }
    void OpenEditor(TChooseDlg& editor) {
        editor.show();
        QTRY_VERIFY(!Child<QLabel>(editor, "BmpCount")->text().isEmpty());
    }
    void SelectFile(TChooseDlg& editor, const char* name) {
        auto* files = Child<QListView>(editor, "ListBoxFile");
        for (int row = 0; row < files->model()->rowCount(); ++row)
            if (files->model()->index(row, 0).data().toString() == QLatin1String(name))
                files->setCurrentIndex(files->model()->index(row, 0));
        QTest::qWait(QApplication::doubleClickInterval() + 100);
    }
    void Save(QWidget& widget, const char* name) {
        widget.show();
        QCoreApplication::processEvents();
        ASSERT_TRUE(widget.grab().save(folder_ + QLatin1Char('/') + QLatin1String(name)));
    }
    QString folder_;
};

TEST_F(ScreenshotTest, Windows) {
    auto form = OpenMainForm();
    Save(*form, "main-window.png");
    TOptionDlg options(form.get());
    Save(options, "options-switch.png");
    Child<QTabWidget>(options, "PageControl1")->setCurrentIndex(1);
    Save(options, "options-directories.png");
    TAboutBox about(form.get());
    Save(about, "info-box.png");
}

// C: in an emulator's disk image, D: a folder shared with it.
TEST_F(ScreenshotTest, DrivesPage) {
    if (auto missing = imagetest::MissingTool(); !missing.empty())
        GTEST_SKIP() << missing << " is not installed";
    const fs::path machines = DriveC().parent_path() / "VMs";
    fs::create_directories(machines / "shared");
    fs::rename(imagetest::TestImage(machines, imagetest::kImageKinds[1]).Path(),
               machines / "win98.img");
    using platform::DriveTarget;
    platform::CurrentMachine().MapDrive('C', {DriveTarget::Kind::Image, machines / "win98.img"});
    platform::CurrentMachine().MapDrive('D', {DriveTarget::Kind::Folder, machines / "shared"});
    TOptionDlg options;
    Child<QTabWidget>(options, "PageControl1")->setCurrentIndex(2);
    Save(options, "options-drives.png");
}

TEST_F(ScreenshotTest, ViewAndCreateDialogs) {
    WriteFile(LogoHost(lkBoot), EncodeBmp8(StartupLogo()));
    TViewBootDlg view;
    Save(view, "view-startup.png");
    const fs::path jpeg = testenv::TestDataDir() / "jpeg" / "libjpeg-turbo" / "testorig.jpg";
    if (!fs::exists(jpeg))
        GTEST_SKIP() << "the test pictures are needed for the pictures of a loaded JPEG";
    FileDialogs().openAnswers = {Win(jpeg)};
    view.OpenBtnClick();
    Save(view, "view-jpeg.png");

    TCreateDlg empty;  // the open dialog is cancelled
    Save(empty, "create-empty.png");
    FileDialogs().openAnswers = {Win(jpeg)};
    TCreateDlg created;
    Save(created, "create-logo.png");
}

// The list editor in a folder of mixed pictures, with a picture that is no logo in its
// list, while it includes pictures, and the folder chooser it asks.
TEST_F(ScreenshotTest, ListEditor) {
    const fs::path pictures = DriveC() / "My Pictures";
    const int hues[] = {200, 25, 120, 300, 50, 170, 260, 340};
    const char* const photos[] = {"Beach.jpg",  "Harbour.jpg", "Meadow.jpeg", "Orchid.jpg",
                                  "Sunset.jpg", "Lagoon.jpg",  "Dusk.jpg",    "Tulips.jpg"};
    for (int i = 0; i < 8; ++i) WritePhoto(pictures / photos[i], hues[i]);
    WriteFile(pictures / "Clouds.sys", EncodeBmp8(PaintedLogo(190)));
    WriteFile(pictures / "Autumn.bmp", EncodeBmp8(PaintedLogo(30)));
    WriteFile(pictures / "notes.txt", "not a picture");
    fs::create_directories(DriveC() / "Logos");
    WriteFile(ListHost(lkBoot), Win(pictures / "Clouds.sys") + "\r\n" +
                                    Win(pictures / "Sunset.jpg") + "\r\n" +
                                    Win(DriveC() / "Logos" / "kind0.bmp") + "\r\n");
    WriteFile(DriveC() / "Logos" / "kind0.bmp", EncodeBmp8(PaintedLogo(215)));
    GlobalInfo().SetImagePath(Win(pictures) + "\\");
    auto form = OpenMainForm();

    TChooseBootDlg editor(form.get());
    OpenEditor(editor);
    SelectFile(editor, "Harbour.jpg");
    Save(editor, "list-editor.png");

    Child<TListBox>(editor, "BmpListBox")->setCurrentRow(2);
    QTest::qWait(QApplication::doubleClickInterval() + 100);
    Save(editor, "list-editor-no-logo.png");

    WhenModal([this](QDialog& chooser) {
        // Chosen in the tree, which fills in the path as a user sees it.
        auto* folders = Child<QTreeView>(chooser, "FolderTree");
        folders->setCurrentIndex(folders->model()
                                     ->match(folders->model()->index(0, 0), Qt::DisplayRole,
                                             QStringLiteral("Logos"), 1, Qt::MatchRecursive)
                                     .value(0));
        Save(chooser, "folder-chooser.png");
        chooser.accept();
    });
    QTimer progress;
    QObject::connect(&progress, &QTimer::timeout, [&] {
        if (Child<QProgressBar>(editor, "ProgressBar")->value() >= 50) {
            progress.stop();
            Save(editor, "list-editor-include.png");
        }
    });
    progress.start(0);
    QTest::mouseClick(Child<QPushButton>(editor, "IncAllBtn"), Qt::LeftButton);
    EXPECT_FALSE(progress.isActive());
}

}  // namespace
}  // namespace uitest
