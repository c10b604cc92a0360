#include "RealProgram.h"

#include <QStandardPaths>
#include <QThread>

namespace uitest {

namespace {

namespace fs = std::filesystem;

// How long one step (a start, a window, a tool's run) may take before the test gives up.
constexpr int StepTimeoutMs = 60000;
constexpr int PollIntervalMs = 100;

QString FromPath(const fs::path& path) {
    return QString::fromStdString(path.string());
}

}  // namespace

RealProgram::RealProgram(fs::path programDir, fs::path machine)
    : programDir_(std::move(programDir)), machine_(std::move(machine)) {}

RealProgram::~RealProgram() {
    for (QProcess* process : {&program_, &server_}) {
        if (process->state() == QProcess::NotRunning)
            continue;
        process->kill();
        process->waitForFinished(StepTimeoutMs);
    }
}

std::optional<std::string> RealProgram::MissingXTool() {
    for (const char* tool : {"Xvfb", "xdotool"}) {
        if (QStandardPaths::findExecutable(QLatin1String(tool)).isEmpty())
            return tool;
    }
    return std::nullopt;
}

// Xvfb picks a free display itself and writes its number.
bool RealProgram::StartServer() {
    server_.start(QStringLiteral("Xvfb"),
                  {QStringLiteral("-displayfd"), QStringLiteral("1"), QStringLiteral("-screen"),
                   QStringLiteral("0"), QStringLiteral("1280x1024x24"), QStringLiteral("-nolisten"),
                   QStringLiteral("tcp")});
    if (!server_.waitForStarted(StepTimeoutMs))
        return false;
    while (!server_.canReadLine() && server_.waitForReadyRead(StepTimeoutMs)) {
    }
    const QString number = QString::fromLatin1(server_.readLine()).trimmed();
    if (number.isEmpty())
        return false;
    display_ = QLatin1Char(':') + number;
    return true;
}

bool RealProgram::Start(Display display,
                        std::initializer_list<std::pair<const char*, const char*>> environment) {
    if (display == Display::PrivateX && !StartServer())
        return false;
    QProcessEnvironment settings = QProcessEnvironment::systemEnvironment();
    // Nothing of the environment the tests run in decides where or how the program shows.
    for (const char* name :
         {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM", "QT_SCALE_FACTOR", "BOOTRAMA_ANSWERS"})
        settings.remove(QLatin1String(name));
    if (display == Display::PrivateX)
        settings.insert(QStringLiteral("DISPLAY"), display_);
    if (display == Display::Offscreen)
        settings.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    settings.insert(QStringLiteral("BOOTRAMA_MACHINE"), FromPath(machine_));
    settings.insert(QStringLiteral("BOOTRAMA_MESSAGE_LOG"), FromPath(BoxLog()));
    settings.insert(QStringLiteral("XDG_CACHE_HOME"), FromPath(programDir_ / "cache"));
    for (const auto& [name, value] : environment)
        settings.insert(QLatin1String(name), QString::fromUtf8(value));
    program_.setProcessEnvironment(settings);
    program_.start(FromPath(programDir_ / "bootrama"), {});
    return program_.waitForStarted(StepTimeoutMs);
}

bool RealProgram::WaitForEnd() {
    return program_.waitForFinished(StepTimeoutMs);
}

std::string RealProgram::Output() {
    return program_.readAllStandardOutput().toStdString();
}

std::optional<QString> RealProgram::Xdotool(const QStringList& arguments) {
    QProcess tool;
    QProcessEnvironment settings = QProcessEnvironment::systemEnvironment();
    settings.insert(QStringLiteral("DISPLAY"), display_);
    tool.setProcessEnvironment(settings);
    tool.start(QStringLiteral("xdotool"), arguments);
    if (!tool.waitForFinished(StepTimeoutMs)) {
        tool.kill();
        tool.waitForFinished();
        return std::nullopt;
    }
    if (tool.exitStatus() != QProcess::NormalExit || tool.exitCode() != 0)
        return std::nullopt;
    return QString::fromLocal8Bit(tool.readAllStandardOutput()).trimmed();
}

std::string RealProgram::WaitForWindow(const QString& title) {
    const auto windows = Xdotool({QStringLiteral("search"), QStringLiteral("--sync"),
                                  QStringLiteral("--onlyvisible"), QStringLiteral("--name"),
                                  QLatin1Char('^') + title + QLatin1Char('$')});
    return windows ? windows->section(QLatin1Char('\n'), 0, 0).toStdString() : std::string();
}

bool RealProgram::WaitUntilGone(const QString& title) {
    const QStringList search = {QStringLiteral("search"), QStringLiteral("--onlyvisible"),
                                QStringLiteral("--name"),
                                QLatin1Char('^') + title + QLatin1Char('$')};
    for (int waited = 0; waited < StepTimeoutMs; waited += PollIntervalMs) {
        // xdotool fails when it finds no window.
        if (!Xdotool(search))
            return true;
        QThread::msleep(PollIntervalMs);
    }
    return false;
}

bool RealProgram::Keys(const std::string& window, const QStringList& keys) {
    if (window.empty() || !Xdotool({QStringLiteral("windowfocus"), QStringLiteral("--sync"),
                                    QString::fromStdString(window)}))
        return false;
    for (const QString& key : keys) {
        // Pressed and released slowly, as a person types.
        if (!Xdotool({QStringLiteral("key"), QStringLiteral("--clearmodifiers"),
                      QStringLiteral("--delay"), QStringLiteral("150"), key}))
            return false;
    }
    return true;
}

}  // namespace uitest
