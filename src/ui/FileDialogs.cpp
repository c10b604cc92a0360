#include "ui/FileDialogs.h"

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QGridLayout>
#include <QLabel>
#include <QRegularExpression>
#include <QTimer>
#include <QUrl>
#include <QVBoxLayout>

#include "core/Global.h"
#include "image/BmpTools.h"
#include "platform/Files.h"
#include "platform/Machine.h"
#include "ui/FormTools.h"
#include "ui/LogoPreview.h"
#include "ui/MachineBrowser.h"

namespace {

// Design sizes: the open dialog, and the preview beside its file list.
constexpr int OpenDialogWidth = 800;
constexpr int OpenDialogHeight = 480;
constexpr int PaneWidth = 200;
constexpr int PictureHeight = 154;
// Keys held down run through a folder; only the picture they stop at is read.
constexpr int PreviewDelayMs = 200;
// Every logo preview shows a logo as a 4:3 screen does.
constexpr double LogoPreviewAspect = 1.3;

// "Bitmap (*.bmp)|*.bmp|..." as Qt's name filters, "Bitmap (*.bmp)". A description that
// names patterns of its own ("JPEG Image File (*.jpg)") gives them up for the real ones.
QStringList NameFilters(const std::string& filter) {
    static const QRegularExpression namedPatterns(QStringLiteral("\\s*\\([^()]*\\)\\s*$"));
    const QStringList parts = FromStd(filter).split(QLatin1Char('|'));
    QStringList filters;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        QString description = parts[i];
        description.remove(namedPatterns);
        QString patterns = parts[i + 1];
        patterns.replace(QLatin1Char(';'), QLatin1Char(' '));
        filters << QStringLiteral("%1 (%2)").arg(description, patterns);
    }
    return filters;
}

std::string WindowsPathOf(const QString& hostPath) {
    return platform::CurrentMachine().ToWindows(hostPath.toStdString());
}

// The machine's drives in the side bar, where a Windows user finds them; a drive inside a
// disk image has no host folder to show.
QList<QUrl> DriveUrls() {
    const platform::Machine& machine = platform::CurrentMachine();
    QList<QUrl> urls;
    for (char letter : machine.Drives()) {
        if (const auto root = machine.DriveRoot(letter))
            urls.append(QUrl::fromLocalFile(FromStd(root->string())));
    }
    return urls;
}

// The host folder where a dialog starts, as the machine's browsers start: never in the
// process's working folder, which is no place of the machine.
QString StartFolder(const std::string& initialDir) {
    const platform::Machine& machine = platform::CurrentMachine();
    for (const std::string& folder : StartFolders(initialDir)) {
        const auto host = machine.ToHost(folder);
        std::error_code error;
        if (host && std::filesystem::is_directory(*host, error))
            return QString::fromStdString(host->string());
    }
    return {};
}

void SetUpDialog(QFileDialog& dialog, const std::string& filter, int filterIndex,
                 const std::string& initialDir) {
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setSidebarUrls(DriveUrls());
    const QString folder = StartFolder(initialDir);
    if (!folder.isEmpty())
        dialog.setDirectory(folder);
    const QStringList filters = NameFilters(filter);
    dialog.setNameFilters(filters);
    if (filterIndex >= 1 && filterIndex <= filters.size())
        dialog.selectNameFilter(filters[filterIndex - 1]);
}

std::optional<std::string> ChosenPath(QFileDialog& dialog) {
    // A dialog asked during a long operation needs the normal cursor.
    const TOverrideCursor normalCursor(Qt::ArrowCursor, true);
    BoundToScreen(&dialog);
    if (ExecModal(dialog) != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return std::nullopt;
    return WindowsPathOf(dialog.selectedFiles().constFirst());
}

// The highlighted picture as the program reads it, with its size and colours.
class TPicturePane : public QFrame {
public:
    explicit TPicturePane(QWidget* parent) : QFrame(parent) {
        const double scale = DesignScale(parent);
        setFixedWidth(Scaled(PaneWidth, scale));
        picture_->setFixedSize(Scaled(PaneWidth, scale), Scaled(PictureHeight, scale));
        picture_->setAlignment(Qt::AlignCenter);
        picture_->setFrameShape(QFrame::StyledPanel);
        facts_->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
        facts_->setWordWrap(true);
        auto* layout = new QVBoxLayout(this);
        layout->setContentsMargins(0, 0, 0, 0);
        layout->addWidget(picture_);
        layout->addWidget(facts_, 1);
        delay_.setSingleShot(true);
        delay_.setInterval(PreviewDelayMs);
        connect(&delay_, &QTimer::timeout, this, [this] { Load(); });
    }

    void Highlight(const QString& hostPath) {
        path_ = hostPath;
        picture_->clear();
        facts_->clear();
        delay_.start();
    }

private:
    void Load() {
        if (!QFileInfo(path_).isFile())
            return;
        try {
            std::int32_t colours = 0;
            const auto bitmap = LoadPicture(WindowsPathOf(path_), colours, {}, TLogoFiles::Allowed);
            const bool logo = IsLogoImage(bitmap.get()) && colours == 256;
            ShowPicture(LogoImage(*bitmap), logo);
            facts_->setText(
                tr("%1 x %2, %3 colours").arg(bitmap->Width).arg(bitmap->Height).arg(colours));
        } catch (const std::exception&) {
            facts_->setText(tr("No picture"));
        }
    }

    void ShowPicture(const QImage& image, bool logo) {
        QSize shown = image.size();
        if (logo)
            shown.setWidth(qRound(shown.height() * LogoPreviewAspect));
        shown.scale(picture_->contentsRect().size(), Qt::KeepAspectRatio);
        picture_->setPixmap(QPixmap::fromImage(
            image.scaled(shown, Qt::IgnoreAspectRatio, Qt::SmoothTransformation)));
    }

    QLabel* picture_ = new QLabel(this);
    QLabel* facts_ = new QLabel(this);
    QTimer delay_;
    QString path_;
};

// Refuses read-only files and write-protected folders, as the caller asks.
class TSaveFileDialog : public QFileDialog {
public:
    TSaveFileDialog(QWidget* owner, const TSaveDialogRequest& request)
        : QFileDialog(owner, FromStd(request.Title)), request_(request) {}

    void accept() override {
        if (request_.NoReadOnlyReturn && !selectedFiles().isEmpty() &&
            !Writable(selectedFiles().constFirst()))
            return;
        QFileDialog::accept();
    }

private:
    bool Writable(const QString& hostPath) const {
        const std::string path = WindowsPathOf(hostPath);
        const std::uint32_t attributes = platform::GetFileAttributes(path);
        if (attributes != platform::INVALID_FILE_ATTRIBUTES &&
            (attributes & platform::FILE_ATTRIBUTE_READONLY) != 0) {
            WarningBox(request_.Title,
                       Format("%s\rThis file is set to read-only.\rTry again with a different "
                              "file name.",
                              {path}));
            return false;
        }
        if (!QFileInfo(QFileInfo(hostPath).absolutePath()).isWritable()) {
            WarningBox(request_.Title,
                       Format("%s\rThis folder is write-protected.\rTry again with a different "
                              "folder.",
                              {ExtractFilePath(path)}));
            return false;
        }
        return true;
    }

    TSaveDialogRequest request_;
};

class TQtFileDialogs : public TFileDialogs {
public:
    std::optional<std::string> OpenPicture(QWidget* owner,
                                           const TOpenDialogRequest& request) override {
        QFileDialog dialog(owner, FromStd(request.Title));
        SetUpDialog(dialog, request.Filter, request.FilterIndex, request.InitialDir);
        dialog.setAcceptMode(QFileDialog::AcceptOpen);
        dialog.setFileMode(QFileDialog::ExistingFile);
        auto* pane = new TPicturePane(&dialog);
        // The dialog's own grid: the pane goes right of the folder view.
        if (auto* grid = qobject_cast<QGridLayout*>(dialog.layout()))
            grid->addWidget(pane, 1, grid->columnCount());
        QObject::connect(&dialog, &QFileDialog::currentChanged, pane,
                         [pane](const QString& path) { pane->Highlight(path); });
        const double scale = DesignScale(&dialog);
        dialog.resize(Scaled(OpenDialogWidth, scale), Scaled(OpenDialogHeight, scale));
        return ChosenPath(dialog);
    }

    std::optional<std::string> SaveFile(QWidget* owner,
                                        const TSaveDialogRequest& request) override {
        TSaveFileDialog dialog(owner, request);
        SetUpDialog(dialog, request.Filter, request.FilterIndex, request.InitialDir);
        dialog.setAcceptMode(QFileDialog::AcceptSave);
        dialog.setOption(QFileDialog::DontConfirmOverwrite, !request.OverwritePrompt);
        dialog.setDefaultSuffix(FromStd(request.DefaultExt));
        if (!request.FileName.empty())
            dialog.selectFile(FromStd(request.FileName));
        return ChosenPath(dialog);
    }

    std::optional<std::filesystem::path> ChooseDriveTarget(
        QWidget* owner, platform::DriveTarget::Kind kind,
        const std::filesystem::path& start) override {
        const bool folder = kind == platform::DriveTarget::Kind::Folder;
        QFileDialog dialog(owner, folder ? QStringLiteral("Folder of the drive")
                                         : QStringLiteral("Disk image of the drive"));
        dialog.setOption(QFileDialog::DontUseNativeDialog);
        dialog.setAcceptMode(QFileDialog::AcceptOpen);
        dialog.setFileMode(folder ? QFileDialog::Directory : QFileDialog::ExistingFile);
        dialog.setOption(QFileDialog::ShowDirsOnly, folder);
        if (!folder) {
            dialog.setNameFilters({QStringLiteral("Disk images (*.img *.ima *.raw *.dsk *.hdd "
                                                  "*.vhd *.vfd *.flp)"),
                                   QStringLiteral("All files (*)")});
        }
        // Where the drive leads now, else the home folder, never the working folder; the
        // places of this computer beside, not the machine's drives a picture dialog kept.
        std::error_code error;
        const auto where = folder ? start : start.parent_path();
        const bool there = !where.empty() && std::filesystem::is_directory(where, error);
        dialog.setDirectory(there ? FromStd(where.string()) : QDir::homePath());
        dialog.setSidebarUrls(
            {QUrl::fromLocalFile(QDir::homePath()), QUrl::fromLocalFile(QDir::rootPath())});
        const TOverrideCursor normalCursor(Qt::ArrowCursor, true);
        BoundToScreen(&dialog);
        if (ExecModal(dialog) != QDialog::Accepted || dialog.selectedFiles().isEmpty())
            return std::nullopt;
        return std::filesystem::path(ToStd(dialog.selectedFiles().constFirst()));
    }
};

std::unique_ptr<TFileDialogs>& InstalledDialogs() {
    static std::unique_ptr<TFileDialogs> dialogs;
    return dialogs;
}

}  // namespace

TFileDialogs& CurrentFileDialogs() {
    auto& dialogs = InstalledDialogs();
    if (!dialogs)
        dialogs = std::make_unique<TQtFileDialogs>();
    return *dialogs;
}

void SetFileDialogs(std::unique_ptr<TFileDialogs> dialogs) {
    InstalledDialogs() = std::move(dialogs);
}

std::optional<std::string> TLogoSaveDialog::Execute(const TSaveDialogRequest& request) {
    return CurrentFileDialogs().SaveFile(owner_, request);
}
