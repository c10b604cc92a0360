// The real program on an X server, driven by keys as a user would drive it: the list
// editor opened from the main window's menu includes a picture, converting it on the way,
// and OK saves the list.

#include <gmock/gmock.h>

#include <QImage>
#include <QProcess>
#include <QStandardPaths>
#include <QThread>

#include "UiTest.h"
#include "image/BmpTools.h"

using ::testing::HasSubstr;

namespace uitest {
namespace {

class ListEditorRunTest : public UiTest {
protected:
    ~ListEditorRunTest() override {
        for (QProcess* process : {&program_, &server_}) {
            process->kill();
            process->waitForFinished(5000);
        }
    }

    // A private X server on a display it picks itself.
    bool StartServer() {
        server_.start(QStringLiteral("Xvfb"),
                      {QStringLiteral("-displayfd"), QStringLiteral("1"), QStringLiteral("-screen"),
                       QStringLiteral("0"), QStringLiteral("1280x1024x24"),
                       QStringLiteral("-nolisten"), QStringLiteral("tcp")});
        if (!server_.waitForStarted(10000))
            return false;
        while (!server_.canReadLine() && server_.waitForReadyRead(10000)) {
        }
        display_ = QLatin1Char(':') + QString::fromLatin1(server_.readLine()).trimmed();
        return display_.size() > 1;
    }

    void StartProgram() {
        CopyProgram({"BootramaE.qch"});
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        for (const char* name : {"WAYLAND_DISPLAY", "QT_QPA_PLATFORM", "QT_SCALE_FACTOR"})
            environment.remove(name);
        environment.insert("DISPLAY", display_);
        environment.insert("BOOTRAMA_MACHINE", QString::fromStdString(MachineRoot().string()));
        environment.insert("BOOTRAMA_MESSAGE_LOG", QString::fromStdString(Log().string()));
        environment.insert("XDG_CACHE_HOME",
                           QString::fromStdString((ProgramDir() / "cache").string()));
        program_.setProcessEnvironment(environment);
        program_.start(QString::fromStdString((ProgramDir() / "bootrama").string()), {});
        ASSERT_TRUE(program_.waitForStarted(10000));
    }

    // xdotool's answer, or nothing when it fails or takes too long.
    std::string Xdo(const QStringList& arguments) {
        QProcess xdo;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert("DISPLAY", display_);
        xdo.setProcessEnvironment(environment);
        xdo.start(QStringLiteral("xdotool"), arguments);
        if (!xdo.waitForFinished(30000)) {
            xdo.kill();
            xdo.waitForFinished();
            return {};
        }
        return xdo.readAllStandardOutput().trimmed().split('\n').value(0).toStdString();
    }
    std::string WaitForWindow(const QString& title) {
        return Xdo({QStringLiteral("search"), QStringLiteral("--sync"),
                    QStringLiteral("--onlyvisible"), QStringLiteral("--name"), title});
    }
    bool WindowGone(const QString& title) {
        for (int i = 0; i < 300; ++i) {
            if (Xdo({QStringLiteral("search"), QStringLiteral("--onlyvisible"),
                     QStringLiteral("--name"), title})
                    .empty())
                return true;
            QThread::msleep(100);
        }
        return false;
    }
    // Keys to a window, which gets the keyboard first (there is no window manager).
    void Keys(const std::string& window, const QStringList& keys) {
        ASSERT_FALSE(window.empty());
        Xdo({QStringLiteral("windowfocus"), QStringLiteral("--sync"),
             QString::fromStdString(window)});
        QThread::msleep(300);
        for (const QString& key : keys) {
            Xdo({QStringLiteral("key"), QStringLiteral("--clearmodifiers"), key});
            QThread::msleep(300);
        }
    }

    fs::path Log() const { return ProgramDir() / "boxes.log"; }

    QProcess server_;
    QProcess program_;
    QString display_;
};

TEST_F(ListEditorRunTest, OpensFromTheMenuAndIncludesAPicture) {
    for (const char* tool : {"Xvfb", "xdotool"})
        if (QStandardPaths::findExecutable(QLatin1String(tool)).isEmpty())
            GTEST_SKIP() << tool << " is not installed (make deps installs it)";
    for (TLogoKind kind : AllLogoKinds) WriteFile(ListHost(kind), "");
    WriteIni("NewInstalled=0\r\nLogoPath=C:\\Logos\\\r\nImagePath=C:\\Pictures\\\r\n");
    fs::create_directories(DriveC() / "Logos");
    fs::create_directories(DriveC() / "Pictures");
    QImage picture(640, 480, QImage::Format_RGB32);
    picture.fill(QColor(30, 90, 160));
    ASSERT_TRUE(
        picture.save(QString::fromStdString((DriveC() / "Pictures" / "sunset.jpg").string())));
    ASSERT_TRUE(StartServer());
    StartProgram();

    const std::string main = WaitForWindow(QStringLiteral("^Bootrama$"));
    Keys(main, {QStringLiteral("alt+a"), QStringLiteral("s")});  // Automatic, List of Startup logos
    const std::string editor = WaitForWindow(QStringLiteral("^List of Startup logos$"));
    Keys(editor, {QStringLiteral("ctrl+a"), QStringLiteral("alt+i")});  // all files, Include
    const std::string save = WaitForWindow(QStringLiteral("^Save new logo as$"));
    Keys(save, {QStringLiteral("Return")});  // the proposed name in the logo folder
    ASSERT_TRUE(WindowGone(QStringLiteral("^Save new logo as$")));
    Keys(editor, {QStringLiteral("Return")});  // OK
    ASSERT_TRUE(WindowGone(QStringLiteral("^List of Startup logos$")));
    Keys(main, {QStringLiteral("alt+f"), QStringLiteral("x")});  // File, Exit
    ASSERT_TRUE(program_.waitForFinished(30000));

    EXPECT_EQ(program_.exitCode(), 0);
    EXPECT_EQ(ReadFile(ListHost(lkBoot)), "C:\\Logos\\sunsetLogo.bmp\r\n");
    EXPECT_TRUE(IsLogoFile("C:\\Logos\\sunsetLogo.bmp"));
    EXPECT_FALSE(fs::exists(Log())) << ReadFile(Log());
}

}  // namespace
}  // namespace uitest
