// The real program on a display of its own (Xvfb), driven with keys as a user would
// (xdotool): the main window's menu opens the view-and-replace and the create-logo dialogs.

#include <gmock/gmock.h>

#include <QProcess>
#include <QStandardPaths>

#include "UiTest.h"

using ::testing::IsEmpty;

namespace uitest {
namespace {

constexpr int StepTimeoutMs = 20000;

class DialogsRunTest : public UiTest {
protected:
    void SetUp() override {
        for (const char* tool : {"Xvfb", "xdotool"}) {
            if (QStandardPaths::findExecutable(QLatin1String(tool)).isEmpty())
                GTEST_SKIP() << tool << " is needed to run the program on a display";
        }
        // A free display: Xvfb picks the number and writes it to its output.
        display_.start("Xvfb",
                       {"-displayfd", "1", "-screen", "0", "1024x768x24", "-nolisten", "tcp"});
        ASSERT_TRUE(display_.waitForReadyRead(StepTimeoutMs));
        const QByteArray number = display_.readAllStandardOutput().trimmed();
        ASSERT_FALSE(number.isEmpty());
        displayName_ = QStringLiteral(":") + QString::fromLatin1(number);
        for (TLogoKind kind : AllLogoKinds) WriteFile(ListHost(kind), "");
        CopyProgram();
    }

    void StartProgram() {
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        for (const char* name : {"WAYLAND_DISPLAY", "QT_QPA_PLATFORM", "BOOTRAMA_ANSWERS"})
            environment.remove(name);
        environment.insert("DISPLAY", displayName_);
        environment.insert("BOOTRAMA_MACHINE", QString::fromStdString(MachineRoot().string()));
        environment.insert("BOOTRAMA_MESSAGE_LOG", QString::fromStdString(Log().string()));
        environment.insert("XDG_CACHE_HOME",
                           QString::fromStdString((ProgramDir() / "cache").string()));
        program_.setProcessEnvironment(environment);
        program_.start(QString::fromStdString((ProgramDir() / "bootrama").string()), {});
        ASSERT_TRUE(program_.waitForStarted(StepTimeoutMs));
    }

    // Runs xdotool on the program's display; its output, or nothing when it failed.
    std::optional<std::string> Xdotool(const QStringList& arguments) {
        QProcess tool;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert("DISPLAY", displayName_);
        tool.setProcessEnvironment(environment);
        tool.start("xdotool", arguments);
        if (!tool.waitForFinished(StepTimeoutMs) || tool.exitCode() != 0)
            return std::nullopt;
        return tool.readAllStandardOutput().trimmed().toStdString();
    }

    // Waits for the window and gives it the keyboard (there is no window manager to do it).
    bool Focus(const QString& title) {
        const auto windows =
            Xdotool({"search", "--sync", "--onlyvisible", "--name", "^" + title + "$"});
        if (!windows)
            return false;
        const std::string first = windows->substr(0, windows->find('\n'));
        return Xdotool({"windowfocus", "--sync", QString::fromStdString(first)}).has_value();
    }
    bool Keys(const QStringList& keys) {
        for (const QString& key : keys) {
            if (!Xdotool({"key", "--delay", "150", key}).has_value())
                return false;
        }
        return true;
    }

    fs::path Log() const { return ProgramDir() / "boxes.log"; }

    QProcess display_;
    QString displayName_;
    QProcess program_;
};

TEST_F(DialogsRunTest, TheMenuOpensTheViewAndTheCreateDialog) {
    StartProgram();
    ASSERT_TRUE(Focus("Bootrama"));
    ASSERT_TRUE(Keys({"alt+l", "v", "Return"}));  // Logo, View & replace, Startup logo
    ASSERT_TRUE(Focus("View & Replace Startup logo"));
    ASSERT_TRUE(Keys({"alt+c"}));  // &Close

    ASSERT_TRUE(Focus("Bootrama"));
    ASSERT_TRUE(Keys({"alt+l", "c"}));  // Logo, Create logo: it asks for a picture first
    ASSERT_TRUE(Focus("Open source file "));
    ASSERT_TRUE(Keys({"Escape"}));
    ASSERT_TRUE(Focus("Create logo - no source file specified"));
    ASSERT_TRUE(Keys({"alt+c"}));

    ASSERT_TRUE(Focus("Bootrama"));
    ASSERT_TRUE(Keys({"alt+f", "x"}));  // File, Exit
    ASSERT_TRUE(program_.waitForFinished(StepTimeoutMs));
    EXPECT_EQ(program_.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(program_.exitCode(), 0);
    EXPECT_THAT(ReadFile(Log()), IsEmpty());
}

}  // namespace
}  // namespace uitest
