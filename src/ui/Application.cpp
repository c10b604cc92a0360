#include "ui/Application.h"

#include <unistd.h>

#include <QApplication>
#include <QMessageBox>
#include <QTimer>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>

#include "core/Global.h"
#include "core/Progress.h"
#include "platform/Help.h"
#include "platform/Process.h"
#include "ui/FormTools.h"
#include "ui/HelpViewer.h"
#include "ui/HelpWindow.h"
#include "ui/Main.h"

namespace {

// QApplication keeps references to argc and argv for its whole life.
int appArgc = 1;
char appName[] = "bootrama";
char* appArgv[] = {appName, nullptr};

// Ended by BootramaRunMainWindow while the libraries' own globals still stand; an application
// that only showed boxes ends with the program.
std::unique_ptr<QApplication>& OwnApplication() {
    static std::unique_ptr<QApplication> application;
    return application;
}

QApplication& EnsureApplication() {
    if (auto* existing = qobject_cast<QApplication*>(QCoreApplication::instance()))
        return *existing;
    OwnApplication() = std::make_unique<QApplication>(appArgc, appArgv);
    // The name only: a display name would be appended to every window title ("Backup —
    // Bootrama"), and titles are the program's own.
    QApplication::setApplicationName(QStringLiteral("Bootrama"));
    QApplication::setDesktopFileName(QStringLiteral("bootrama"));
    return *OwnApplication();
}

class QtMessageBoxes : public platform::MessageBoxes {
public:
    platform::BoxAnswer Show(platform::BoxKind kind, const std::string& title,
                             const std::string& text) override {
        EnsureApplication();
        QMessageBox box(IconOf(kind), QString::fromStdString(title), MessageText(text),
                        ButtonsOf(kind), Owner());
        switch (ExecModal(box)) {
            case QMessageBox::Yes:
                return platform::IDYES;
            case QMessageBox::No:
                return platform::IDNO;
            case QMessageBox::Cancel:
                return platform::IDCANCEL;
            case QMessageBox::Ok:
                return platform::IDOK;
            default:
                return platform::DefaultAnswer(kind);
        }
    }

private:
    // The window in front, unless that is the help window: no operation runs there, and a
    // box modal for it alone would leave the rest of the program usable.
    static QWidget* Owner() {
        QWidget* active = QApplication::activeWindow();
        return qobject_cast<THelpWindow*>(active) != nullptr ? nullptr : active;
    }
    static QMessageBox::Icon IconOf(platform::BoxKind kind) {
        switch (kind) {
            case platform::BoxKind::Error:
                return QMessageBox::Critical;
            case platform::BoxKind::Warning:
                return QMessageBox::Warning;
            case platform::BoxKind::YesNo:
            case platform::BoxKind::YesNoCancel:
                return QMessageBox::Question;
            default:
                return QMessageBox::Information;
        }
    }
    static QMessageBox::StandardButtons ButtonsOf(platform::BoxKind kind) {
        switch (kind) {
            case platform::BoxKind::YesNo:
                return QMessageBox::Yes | QMessageBox::No;
            case platform::BoxKind::YesNoCancel:
                return QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel;
            case platform::BoxKind::OkCancel:
                return QMessageBox::Ok | QMessageBox::Cancel;
            default:
                return QMessageBox::Ok;
        }
    }
};

bool EnvironmentSet(const char* name) {
    const char* value = std::getenv(name);
    return value != nullptr && *value != '\0';
}

}  // namespace

platform::MessageBoxes* BootramaScreenMessageBoxes() {
    static QtMessageBoxes boxes;
    return &boxes;
}

// Milliseconds since the process started (field 22 of /proc/self/stat, in clock ticks
// since boot), or -1 where that is not known.
long long ProcessAgeMs() {
    std::ifstream stat("/proc/self/stat");
    std::string text((std::istreambuf_iterator<char>(stat)), std::istreambuf_iterator<char>());
    const auto afterName = text.rfind(')');  // the command name may hold blanks
    if (afterName == std::string::npos)
        return -1;
    std::istringstream fields(text.substr(afterName + 2));
    std::string field;
    for (int i = 3; i <= 22 && fields >> field; ++i) {
        if (i < 22)
            continue;
        timespec now{};
        clock_gettime(CLOCK_BOOTTIME, &now);
        const long long ticks = sysconf(_SC_CLK_TCK);
        const long long startMs = std::stoll(field) * 1000 / ticks;
        return now.tv_sec * 1000LL + now.tv_nsec / 1000000 - startMs;
    }
    return -1;
}

// For bench/startup.sh: BOOTRAMA_STARTUP_BENCH makes the program quit as soon as the main
// window has painted its last preview, printing the time since the process started.
class FirstPaintProbe : public QObject {
protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Paint && watched->objectName() == QLatin1String("CloseBox")) {
            qApp->removeEventFilter(this);
            QTimer::singleShot(0, qApp, [age = ProcessAgeMs()] {
                std::printf("main window painted %lld ms after the process started\n", age);
                std::fflush(stdout);
                QApplication::quit();
            });
        }
        return false;
    }
};

int BootramaRunMainWindow() {
    EnsureApplication();
    InitUiResources();
    // Long picture loads show the hourglass.
    THourglass::SetCursorHandler([](bool busy) {
        if (busy)
            QApplication::setOverrideCursor(Qt::WaitCursor);
        else
            QApplication::restoreOverrideCursor();
    });
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/icons/bootrama.png")));
    auto viewer = std::make_unique<THelpViewer>();
    THelpViewer& help = *viewer;
    platform::SetHelp(std::move(viewer));
    FirstPaintProbe probe;
    if (EnvironmentSet("BOOTRAMA_STARTUP_BENCH"))
        qApp->installEventFilter(&probe);
    int exitCode = 0;
    {
        TMainForm window;
        window.show();
        CenterOnScreen(&window);
        // At the first start the help is open already: the newcomer sees both.
        help.KeepBeside(window);
        exitCode = QApplication::exec();
    }
    // The viewer's widgets go before the application, the application before the
    // program's exit.
    platform::SetHelp(nullptr);
    THourglass::SetCursorHandler({});
    OwnApplication().reset();
    return exitCode;
}
