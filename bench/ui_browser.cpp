// The list editor's browser and include, in the same run as their references:
// - a folder of 20,000 files opened in the browser (read through the machine's mapping,
//   sorted, filtered by the mask, laid out and painted), against `ls -f DIR | wc -l` and
//   `find` with the mask;
// - "Include all" of 200 JPEG pictures into a list through the dialog (progress and Esc
//   test per file), against converting and saving the same pictures with TLogo alone.
// Usage: bench_ui_browser [files] [pictures] [rounds]; runs on the offscreen platform.

#include <QApplication>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QListWidget>
#include <QPushButton>
#include <QTimer>
#include <QTreeView>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <random>
#include <string>
#include <vector>

#include "core/Global.h"
#include "image/Logo.h"
#include "lists/Pathlist.h"
#include "platform/Machine.h"
#include "platform/MessageBox.h"
#include "platform/Process.h"
#include "ui/Choose.h"
#include "ui/MachineBrowser.h"

namespace fs = std::filesystem;

namespace {

double Seconds(const std::function<void()>& work) {
    const auto start = std::chrono::steady_clock::now();
    work();
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

void Shell(const std::string& command) {
    if (std::system(command.c_str()) != 0)
        std::fprintf(stderr, "failed: %s\n", command.c_str());
}

void MakeFolder(const fs::path& folder, int files) {
    fs::create_directories(folder);
    const char* const extensions[] = {".jpg", ".bmp", ".sys", ".txt", ".png"};
    for (int i = 0; i < files; ++i)
        std::ofstream(folder / ("Picture " + std::to_string(i) + extensions[i % 5]));
}

void MakePictures(const fs::path& folder, int pictures) {
    fs::create_directories(folder);
    QImage picture(640, 480, QImage::Format_RGB32);
    for (int i = 0; i < pictures; ++i) {
        picture.fill(QColor::fromHsv(i * 7 % 360, 180, 200));
        picture.save(
            QString::fromStdString((folder / ("photo" + std::to_string(i) + ".jpg")).string()),
            "JPG", 85);
    }
}

// Opens the folder in a folder and a file view, as the dialog does, until both are painted.
double ListFolder(const std::string& folder) {
    TMachineFolderModel folders;
    TMachineFileModel files;
    files.SetMask("*.sys;*.bmp;*.jp*");
    QTreeView folderView;
    QListView fileView;
    fileView.setUniformItemSizes(true);
    folderView.setModel(&folders);
    fileView.setModel(&files);
    folderView.show();
    fileView.show();
    QCoreApplication::processEvents();
    const double seconds = Seconds([&] {
        OpenFolder(folder, folders, &files);
        folderView.expandAll();
        QCoreApplication::processEvents();
        fileView.repaint();
    });
    if (files.rowCount() == 0)
        std::fprintf(stderr, "no files listed\n");
    return seconds;
}

// Include all through the dialog; the folder chooser is answered with the logo folder.
double IncludeThroughTheDialog(const std::string& logoFolder, int* entries) {
    TChooseBootDlg dialog;
    dialog.show();
    while (dialog.findChild<QLabel*>(QStringLiteral("BmpCount"))->text().isEmpty())
        QCoreApplication::processEvents();
    QTimer chooser;
    QObject::connect(&chooser, &QTimer::timeout, [&] {
        if (auto* browser = qobject_cast<QDialog*>(QApplication::activeModalWidget())) {
            browser->findChild<QLineEdit*>(QStringLiteral("PathEdit"))
                ->setText(QString::fromStdString(logoFolder));
            browser->accept();
        }
    });
    chooser.start(5);
    const double seconds =
        Seconds([&] { dialog.findChild<QPushButton*>(QStringLiteral("IncAllBtn"))->click(); });
    *entries = dialog.findChild<QListWidget*>(QStringLiteral("BmpListBox"))->count();
    dialog.reject();
    return seconds;
}

double ConvertAlone(const std::string& pictureFolder, const std::string& logoFolder, int pictures) {
    return Seconds([&] {
        TLogo logo(nullptr);
        logo.SetAspectRatio(true);
        for (int i = 0; i < pictures; ++i) {
            const std::string name = "photo" + std::to_string(i) + ".jpg";
            logo.SetSourceFile(pictureFolder + "\\" + name);
            logo.SaveToFile(logoFolder + "\\" + TLogo::DefaultLogoName(name));
        }
    });
}

}  // namespace

int main(int argc, char** argv) {
    const int files = argc > 1 ? std::stoi(argv[1]) : 20000;
    const int pictures = argc > 2 ? std::stoi(argv[2]) : 200;
    const int rounds = argc > 3 ? std::stoi(argv[3]) : 5;
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);

    std::random_device seed;
    const fs::path work = fs::temp_directory_path() / ("bench-browser-" + std::to_string(seed()));
    const fs::path driveC = work / "machine" / "drive_c";
    fs::create_directories(work / "program");
    platform::UseMachine(work / "machine");
    platform::SetProgramHostDirectory(work / "program");
    platform::SetMessageBoxes(platform::MakeLogMessageBoxes((work / "boxes.log").string(), ""));
    std::ofstream(work / "program" / "brboot.dat");
    MakeFolder(driveC / "Many", files);
    MakePictures(driveC / "Photos", pictures);

    std::vector<double> ours, ls, find, dialog, alone;
    int entries = 0;
    {
        GlobalInfoScope global;
        GlobalInfo().SetImagePath("C:\\Photos\\");
        const std::string host = (driveC / "Many").string();
        for (int round = 0; round < rounds; ++round) {
            ls.push_back(Seconds([&] { Shell("ls -f '" + host + "' | wc -l >/dev/null"); }));
            find.push_back(Seconds([&] {
                Shell("find '" + host +
                      "' -maxdepth 1 -type f \\( -iname '*.sys' -o -iname '*.bmp' -o -iname "
                      "'*.jp*' \\) | sort -f | wc -l >/dev/null");
            }));
            ours.push_back(ListFolder("C:\\Many"));
        }
        for (int round = 0; round < std::max(1, rounds / 2); ++round) {
            fs::remove_all(driveC / "Logos");
            fs::create_directories(driveC / "Logos");
            alone.push_back(ConvertAlone("C:\\Photos", "C:\\Logos", pictures));
            fs::remove_all(driveC / "Logos");
            fs::create_directories(driveC / "Logos");
            dialog.push_back(IncludeThroughTheDialog("C:\\Logos", &entries));
        }
    }
    fs::remove_all(work);

    std::printf(
        "folder of %d files in the browser: median %.0f ms; ls -f | wc -l %.0f ms "
        "(ratio %.1f); find with the mask, sorted %.0f ms (ratio %.1f); goal: under 1 s\n",
        files, Median(ours) * 1000, Median(ls) * 1000, Median(ours) / Median(ls),
        Median(find) * 1000, Median(ours) / Median(find));
    std::printf(
        "include all of %d JPEGs (640x480): dialog %.2f s (%.1f ms a picture), TLogo alone "
        "%.2f s (ratio %.2f); %d entries listed\n",
        pictures, Median(dialog), Median(dialog) * 1000 / pictures, Median(alone),
        Median(dialog) / Median(alone), entries);
    return entries == pictures ? 0 : 1;
}
