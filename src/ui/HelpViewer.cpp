#include "ui/HelpViewer.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>
#include <utility>

#include "core/Global.h"
#include "platform/Machine.h"
#include "ui/FormTools.h"
#include "ui/HelpWindow.h"

namespace {

// Context numbers the program passes, and the pages of the help file that answer them.
constexpr std::pair<int, const char*> HelpTopics[] = {
    {11, "listeditor.html"},  {12, "options.html"},      {21, "createlogo.html"},
    {22, "viewreplace.html"}, {23, "randomswitch.html"}, {24, "defaultlogo.html"},
    {25, "backup.html"},      {26, "restore.html"},      {51, "crashcourse.html"},
    {52, "firstrun.html"},    {55, "mainwindow.html"},
};

const char* const UsingHelpPage = "usinghelp.html";

QString CollectionFile() {
    QString folder = QStandardPaths::writableLocation(QStandardPaths::CacheLocation);
    if (folder.isEmpty() || !QDir().mkpath(folder))
        folder = QDir::tempPath();
    return folder + QStringLiteral("/BootramaE.qhc");
}

}  // namespace

QString HelpPageOf(int context) {
    for (const auto& [number, page] : HelpTopics)
        if (number == context)
            return QString::fromLatin1(page);
    return {};
}

THelpViewer::THelpViewer() {
    if (qApp != nullptr)
        QObject::connect(qApp, &QCoreApplication::aboutToQuit, &lifetime_,
                         [this] { window_.reset(); });
}

THelpViewer::~THelpViewer() {
    // Widgets can't outlive the application object; past it the window is left to the OS.
    if (QApplication::instance() == nullptr)
        (void)window_.release();
}

void THelpViewer::KeepBeside(QWidget& window) {
    if (window_ && window_->isVisible())
        window_->ShowBeside(window, true);
}

void THelpViewer::SetHelpFile(const std::string& windowsPath) {
    if (windowsPath == helpFile_)
        return;
    helpFile_ = windowsPath;
    window_.reset();
}

THelpWindow* THelpViewer::Window() {
    if (window_ && window_->Ready())
        return window_.get();
    const auto host = platform::CurrentMachine().ToHost(helpFile_);
    // The drive links resolved: the engine keeps the file's real place.
    const QString file =
        host ? QFileInfo(QString::fromStdString(host->string())).canonicalFilePath() : QString();
    if (file.isEmpty() || !QFileInfo(file).isFile()) {
        ErrorBox("Bootrama", Format("Cannot find the help file \"%s\".", {helpFile_}));
        return nullptr;
    }
    window_ = std::make_unique<THelpWindow>(CollectionFile(), file);
    if (!window_->Ready()) {
        ErrorBox("Bootrama", Format("The help file \"%s\" can't be read.", {helpFile_}));
        window_.reset();
    }
    return window_.get();
}

void THelpViewer::Contents() {
    if (THelpWindow* window = Window())
        window->ShowContents();
}

void THelpViewer::Index(const std::string& search) {
    if (THelpWindow* window = Window())
        window->ShowIndex(FromStd(search));
}

void THelpViewer::UsingHelp() {
    if (THelpWindow* window = Window())
        window->ShowPage(QString::fromLatin1(UsingHelpPage));
}

void THelpViewer::Topic(int context) {
    THelpWindow* window = Window();
    if (window == nullptr)
        return;
    const QString page = HelpPageOf(context);
    window->ShowPage(page.isEmpty() ? QStringLiteral("index.html") : page);
}
