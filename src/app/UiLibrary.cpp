#include "app/UiLibrary.h"

#include <QLibrary>
#include <QString>
#include <cstdlib>
#include <string>

#include "core/Global.h"
#include "platform/Process.h"

namespace {

constexpr const char* UiLibraryFile = "libbootrama_ui.so";

// The entry points that ui/Application.h declares.
using ScreenMessageBoxesEntry = platform::MessageBoxes* (*)();
using RunMainWindowEntry = int (*)();

// Loaded once and never unloaded: the GUI application it creates lives until the program
// ends.
class UiLibrary {
public:
    static UiLibrary& Get() {
        static UiLibrary library;
        return library;
    }

    bool Loaded() const { return boxes_ != nullptr && runMainWindow_ != nullptr; }
    const std::string& Error() const { return error_; }
    platform::MessageBoxes& ScreenMessageBoxes() const { return *boxes_; }
    int RunMainWindow() const { return runMainWindow_(); }

private:
    UiLibrary() {
        const auto path = platform::ProgramHostDirectory() / UiLibraryFile;
        QLibrary library(QString::fromStdString(path.string()));
        auto boxes = reinterpret_cast<ScreenMessageBoxesEntry>(
            library.resolve("BootramaScreenMessageBoxes"));
        runMainWindow_ =
            reinterpret_cast<RunMainWindowEntry>(library.resolve("BootramaRunMainWindow"));
        if (boxes != nullptr && runMainWindow_ != nullptr) {
            boxes_ = boxes();
        } else {
            error_ = Format("Bootrama can't load its windows from \"%s\".\rError: %s",
                            {path.string(), library.errorString().toStdString()});
        }
    }

    platform::MessageBoxes* boxes_ = nullptr;
    RunMainWindowEntry runMainWindow_ = nullptr;
    std::string error_;
};

class ScreenMessageBoxes : public platform::MessageBoxes {
public:
    platform::BoxAnswer Show(platform::BoxKind kind, const std::string& title,
                             const std::string& text) override {
        const UiLibrary& library = UiLibrary::Get();
        if (library.Loaded())
            return library.ScreenMessageBoxes().Show(kind, title, text);
        if (!fallback_) {
            fallback_ = platform::MakeStderrMessageBoxes();
            fallback_->Show(platform::BoxKind::Error, "Bootrama", library.Error());
        }
        return fallback_->Show(kind, title, text);
    }

private:
    std::unique_ptr<platform::MessageBoxes> fallback_;
};

bool EnvironmentSet(const char* name) {
    const char* value = std::getenv(name);
    return value != nullptr && *value != '\0';
}

}  // namespace

bool DisplayAvailable() {
    return EnvironmentSet("DISPLAY") || EnvironmentSet("WAYLAND_DISPLAY") ||
           EnvironmentSet("QT_QPA_PLATFORM");
}

std::unique_ptr<platform::MessageBoxes> MakeScreenMessageBoxes() {
    return std::make_unique<ScreenMessageBoxes>();
}

int RunMainWindow() {
    // Qt would abort the program without a display; the user gets our own message instead.
    if (!DisplayAvailable()) {
        ErrorBox("Bootrama", "Bootrama needs a graphical display to show its main window.");
        return 1;
    }
    const UiLibrary& library = UiLibrary::Get();
    if (!library.Loaded()) {
        ErrorBox("Bootrama", library.Error());
        return 1;
    }
    return library.RunMainWindow();
}
