// Loads a picture into the create-logo dialog as the user does, in a shown dialog, and
// prints the time from the choice of the picture to the finished preview, and the longest
// stretch in which the dialog let no event through (how long a repaint or Esc could wait).
// Usage: bench_ui_createdialog PICTURE [rounds]; bench/createdialog.sh runs it on a
// 12-megapixel JPEG beside bootrama-logo.

#include <QApplication>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <random>
#include <vector>

#include "core/Global.h"
#include "platform/Machine.h"
#include "platform/MessageBox.h"
#include "platform/Process.h"
#include "ui/Create.h"
#include "ui/FileDialogs.h"

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

namespace {

class OnePicture : public TFileDialogs {
public:
    explicit OnePicture(std::string path) : path_(std::move(path)) {}
    std::optional<std::string> OpenPicture(QWidget*, const TOpenDialogRequest&) override {
        return path_;
    }
    std::optional<std::string> SaveFile(QWidget*, const TSaveDialogRequest&) override {
        return std::nullopt;
    }
    std::optional<fs::path> ChooseDriveTarget(QWidget*, platform::DriveTarget::Kind,
                                              const fs::path&) override {
        return std::nullopt;
    }

private:
    std::string path_;
};

double Seconds(Clock::duration duration) {
    return std::chrono::duration<double>(duration).count();
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: bench_ui_createdialog PICTURE [rounds]\n");
        return 2;
    }
    const int rounds = argc > 2 ? std::stoi(argv[2]) : 5;
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);

    std::random_device seed;
    const fs::path work = fs::temp_directory_path() / ("bench-create-" + std::to_string(seed()));
    fs::create_directories(work / "program");
    platform::UseMachine(work / "machine");
    platform::SetProgramHostDirectory(work / "program");
    platform::SetMessageBoxes(platform::MakeLogMessageBoxes((work / "boxes.log").string(), "no"));

    std::vector<double> loads;
    std::vector<double> longestWaits;
    {
        GlobalInfoScope global;
        const std::string picture = platform::CurrentMachine().ToWindows(fs::absolute(argv[1]));
        SetFileDialogs(std::make_unique<OnePicture>(picture));
        for (int round = 0; round < rounds; ++round) {
            TCreateDlg dialog;  // loads the picture once before it shows
            dialog.show();
            QApplication::processEvents();
            // Every progress step lets events through and writes the percentage.
            auto last = Clock::now();
            Clock::duration longest{};
            QObject::connect(&dialog, &QWidget::windowTitleChanged, [&] {
                const auto now = Clock::now();
                longest = std::max(longest, now - last);
                last = now;
            });
            const auto start = Clock::now();
            last = start;
            dialog.OpenBtnClick();
            loads.push_back(Seconds(Clock::now() - start));
            longestWaits.push_back(Seconds(longest));
            if (dialog.windowTitle().startsWith(QLatin1String("Create logo - no source"))) {
                std::fprintf(stderr, "the picture did not load\n");
                return 1;
            }
            dialog.done(0);
        }
        SetFileDialogs(nullptr);
    }
    fs::remove_all(work);

    std::sort(loads.begin(), loads.end());
    std::sort(longestWaits.begin(), longestWaits.end());
    std::printf("create dialog: load %.3f s (median of %d), longest time without events %.0f ms\n",
                loads[loads.size() / 2], rounds, longestWaits[longestWaits.size() / 2] * 1000);
    return 0;
}
