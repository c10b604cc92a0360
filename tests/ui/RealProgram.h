#pragma once
// The real program of a test's program folder, started as a user starts it, with its boxes
// logged to a file instead of shown: on a private X server (Xvfb) where xdotool types as a
// user would, on Qt's offscreen screen, or without any display.

#include <QProcess>
#include <QString>
#include <QStringList>
#include <filesystem>
#include <initializer_list>
#include <optional>
#include <string>
#include <utility>

namespace uitest {

class RealProgram {
public:
    enum class Display { PrivateX, Offscreen, None };

    // The program folder holds the program (UiTest::CopyProgram); machine is its machine.
    RealProgram(std::filesystem::path programDir, std::filesystem::path machine);
    // Ends the program and its X server where they still run.
    ~RealProgram();
    RealProgram(const RealProgram&) = delete;
    RealProgram& operator=(const RealProgram&) = delete;

    // The first tool a run on an X server needs that is not installed, or nothing.
    static std::optional<std::string> MissingXTool();

    // False when the program, or the X server it was to show on, did not start.
    bool Start(Display display,
               std::initializer_list<std::pair<const char*, const char*>> environment = {});
    // False when the program was still running when the wait ended.
    bool WaitForEnd();
    int ExitCode() const { return program_.exitCode(); }
    bool Crashed() const { return program_.exitStatus() == QProcess::CrashExit; }
    std::string Output();
    // The boxes the program showed, one line each, if it showed any.
    std::filesystem::path BoxLog() const { return programDir_ / "boxes.log"; }

    // On the X server. A title is matched whole; its characters stand for themselves.
    // The id of the visible window of that title once it shows; empty when none shows.
    std::string WaitForWindow(const QString& title);
    bool WaitUntilGone(const QString& title);
    // Gives the window the keyboard (there is no window manager to do it), then types the
    // keys one after the other ("alt+f", "Return"). False when xdotool failed.
    bool Keys(const std::string& window, const QStringList& keys);

private:
    bool StartServer();
    // xdotool's output on the X server, or nothing when it failed.
    std::optional<QString> Xdotool(const QStringList& arguments);

    std::filesystem::path programDir_;
    std::filesystem::path machine_;
    QProcess server_;
    QProcess program_;
    QString display_;
};

}  // namespace uitest
