#include "ui/Choose.h"

#include <QApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QScopedValueRollback>
#include <QSignalBlocker>
#include <numeric>

#include "core/ProgErrors.h"
#include "core/Progress.h"
#include "image/Bitmap.h"
#include "image/BmpTools.h"
#include "lists/Pathlist.h"
#include "platform/Errors.h"
#include "platform/Files.h"
#include "platform/Help.h"
#include "platform/Machine.h"
#include "platform/MessageBox.h"
#include "switching/Switch.h"
#include "ui/FolderBrowser.h"
#include "ui/FormTools.h"
#include "ui/MachineBrowser.h"
#include "ui_Choose.h"

namespace {

constexpr int DesignWidth = 696;
constexpr int DesignHeight = 491;
constexpr int BrowserDesignWidth = 290;

const char* const BrowseCaption = "Save new logos in";
const char* const BrowseTitle =
    "Some of the files selected are no logos, yet. They will be converted automatically. ";
const char* const BrowseStatus = "Please, choose where to store the new logos!";

std::string FileNameOf(const std::string& path) {
    const auto separator = path.find_last_of("\\:");
    return separator == std::string::npos ? path : path.substr(separator + 1);
}

std::string GeneralError(const std::exception& error) {
    return Format("General Error\rError: %s", {platform::ErrorDetail(error)});
}

bool HasWildcards(const std::string& text) {
    return text.find_first_of("*?") != std::string::npos;
}

}  // namespace

TChooseDlg::TChooseDlg(TLogoKind kind, QWidget* parent)
    : QDialog(parent),
      ui_(std::make_unique<Ui::TChooseDlg>()),
      kind_(kind),
      drives_(new TMachineDriveModel(this)),
      folders_(new TMachineFolderModel(this)),
      files_(new TMachineFileModel(this)),
      saveDialog_(this),
      Logo(this),
      InternalLogo(this) {
    ui_->setupUi(this);
    progress_ = std::make_unique<TProgressDisplay>(*this, *ui_->ProgressLabel, *ui_->LabelEsc,
                                                   *ui_->ProgressBar);
    SetUpDialog(*this, ui_->OKBtn, ui_->CancelBtn, ui_->HelpBtn);
    ui_->DriveComboBox->setModel(drives_);
    ui_->ListBoxDir->setModel(folders_);
    ui_->ListBoxFile->setModel(files_);
    ui_->ListBoxFile->viewport()->setMouseTracking(true);
    ui_->BmpListBox->viewport()->setAcceptDrops(true);
    files_->SetMask(ToStd(ui_->Edit1->text()));

    Logo.SetAspectRatio(true);
    Logo.OnLogoChanged = [this](void*) { LogoBoxPaint(); };
    Logo.OnProgress = [this](TProgressStage, int percent) {
        progress_->ShowProgress(percent, FileNameOf(Logo.SourceFile()));
    };
    InternalLogo.SetAspectRatio(true);
    InternalLogo.SaveDialog = &saveDialog_;
    previewTimer_.setSingleShot(true);
    previewTimer_.setInterval(QApplication::doubleClickInterval());

    ConnectHandlers();
    const double scale = DesignScale(this);
    ScaleDesignGeometry(this, scale);
    // Folder names need more room than the narrow lists of the original had.
    ui_->Splitter1->setMinimumWidth(Scaled(BrowserDesignWidth, scale));
    RunHandler([this] { FormCreate(); });
    FixDialogSize(this, DesignWidth, DesignHeight);
    CenterOnScreen(this);
}

// The list goes first: it is bound to the list box.
TChooseDlg::~TChooseDlg() = default;

void TChooseDlg::ConnectHandlers() {
    auto handle = [this](auto handler) {
        return [this, handler] { RunHandler([this, handler] { (this->*handler)(); }); };
    };
    connect(ui_->OKBtn, &QPushButton::clicked, this, &TChooseDlg::accept);
    connect(ui_->CancelBtn, &QPushButton::clicked, this, &TChooseDlg::reject);
    connect(ui_->HelpBtn, &QPushButton::clicked, this, &TChooseDlg::HelpBtnClick);
    ConnectClicks<TChooseDlg>(this, {
                                        {ui_->IncludeBtn, &TChooseDlg::IncludeBtnClick},
                                        {ui_->IncAllBtn, &TChooseDlg::IncAllBtnClick},
                                        {ui_->ExcludeBtn, &TChooseDlg::ExcludeBtnClick},
                                        {ui_->ExAllBtn, &TChooseDlg::ExcAllBtnClick},
                                        {ui_->PreviewCheckBox, &TChooseDlg::PreviewCheckBoxClick},
                                    });

    connect(ui_->ListBoxFile->selectionModel(), &QItemSelectionModel::selectionChanged, this,
            [this] {
                if (selecting_)
                    return;
                ShowFileName();
                ListBoxFileClick();
            });
    connect(ui_->BmpListBox->selectionModel(), &QItemSelectionModel::selectionChanged, this,
            [this] {
                if (!selecting_)
                    BmpListBoxClick();
            });
    connect(ui_->ListBoxFile, &QAbstractItemView::doubleClicked, this,
            handle(&TChooseDlg::IncludeBtnClick));
    connect(files_, &QAbstractItemModel::modelReset, this, &TChooseDlg::UpdateButtons);
    connect(ui_->DriveComboBox, &QComboBox::currentIndexChanged, this,
            [this](int row) { RunHandler([this, row] { DriveComboBoxChange(row); }); });
    connect(ui_->ListBoxDir, &QAbstractItemView::activated, this, [this](const QModelIndex& index) {
        RunHandler([this, index] { ListBoxDirActivated(index); });
    });
    connect(
        ui_->BmpListBox, &TListBox::FilesDropped, this,
        [this](const QStringList& files) { RunHandler([&] { FilesDropped(files); }); },
        Qt::QueuedConnection);
    connect(&previewTimer_, &QTimer::timeout, this, &TChooseDlg::PreviewSelection);
    // A list that could not be read is tried again when the user comes back from fixing it.
    connect(qApp, &QGuiApplication::applicationStateChanged, this,
            [this](Qt::ApplicationState state) {
                if (state == Qt::ApplicationActive && !list_ && isVisible())
                    RunHandler([this] { FormActivate(); });
            });
    ui_->ListBoxFile->viewport()->installEventFilter(this);
    ui_->Edit1->installEventFilter(this);
    ui_->BmpListBox->installEventFilter(this);
}

// ---- Creation, activation, closing ----

void TChooseDlg::FormCreate() {
    const std::string kindName = LogoKindName(kind_);
    setWindowTitle(FromStd(Format("List of %ss", {kindName})));
    ui_->Headline->setText(FromStd(Format("Choose %ss for automatic logo switch", {kindName})));
    ui_->PreviewCheckBox->setChecked(GlobalInfo().ShowPreview);
    browseSelection_ = GlobalInfo().LogoPath();
    OpenBrowserFolder(GlobalInfo().ImagePath(), false);
    ui_->ListBoxFile->setFocus();
}

void TChooseDlg::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    // Once the dialog is on the screen, so that the list's check shows its progress.
    if (!list_)
        QTimer::singleShot(0, this, [this] { RunHandler([this] { FormActivate(); }); });
}

void TChooseDlg::FormActivate() {
    if (!list_) {
        TProgressDisplay::TBusy busy(*progress_);
        try {
            list_ = std::make_unique<TPathStringList>(ListFileOf(kind_), ui_->BmpListBox);
            list_->CheckEntries(
                [this](TPathStringList&, TProgressStage, int percent, const std::string& message) {
                    progress_->ShowProgress(percent, message);
                });
        } catch (const EProgError& error) {
            ErrorBox(ToStd(windowTitle()), error.Message());
        }
        progress_->Reset();
    }
    UpdateButtons();
}

// A request to close that comes in the middle of an operation waits for its end.
void TChooseDlg::accept() {
    if (progress_->Busy()) {
        QTimer::singleShot(0, this, &TChooseDlg::accept);
        return;
    }
    if (list_) {
        try {
            if (list_->SaveList() == platform::IDCANCEL)
                return;
        } catch (const EProgError& error) {
            // The edits stay on screen: the user may free the disk, or cancel.
            ErrorBox(ToStd(windowTitle()), error.Message());
            return;
        }
    }
    RunHandler([] { UpdateAutoSwitch(); });
    FormClose();
    QDialog::accept();
}

void TChooseDlg::reject() {
    if (progress_->Busy()) {
        QTimer::singleShot(0, this, &TChooseDlg::reject);
        return;
    }
    FormClose();
    QDialog::reject();
}

void TChooseDlg::FormClose() {
    previewTimer_.stop();
    list_.reset();
    GlobalInfo().ShowPreview = ui_->PreviewCheckBox->isChecked();
}

void TChooseDlg::UpdateButtons() {
    if (list_)
        ui_->BmpCount->setText(FromStd(IntToStrWidth(list_->Count(), 5)));
    // Without a list (its file could not be read) there is nothing to include into.
    const bool canInclude = files_->rowCount() > 0 && list_ != nullptr;
    ui_->IncludeBtn->setEnabled(canInclude);
    ui_->IncAllBtn->setEnabled(canInclude);
    const bool hasEntries = ui_->BmpListBox->count() > 0;
    ui_->ExcludeBtn->setEnabled(hasEntries);
    ui_->ExAllBtn->setEnabled(hasEntries);
}

void TChooseDlg::HelpBtnClick() {
    RunHandler([this] { platform::CurrentHelp().Topic(HelpContextOf(this)); });
}

// ---- The browser ----

bool TChooseDlg::OpenBrowserFolder(const std::string& folder, bool report) {
    const QScopedValueRollback selecting(selecting_, true);
    const bool opened = report ? OpenFolderOrReport(folder, ToStd(windowTitle()), *folders_, files_)
                               : OpenStartFolder(folder, *folders_, files_);
    if (opened) {
        ui_->ListBoxDir->ShowCurrent();
        ui_->Edit1->setText(FromStd(files_->Mask()));
    }
    if (!folders_->Folder().empty()) {
        const QSignalBlocker quiet(ui_->DriveComboBox);
        ui_->DriveComboBox->setCurrentIndex(drives_->RowOf(folders_->Folder().front()));
    }
    return opened;
}

void TChooseDlg::DriveComboBoxChange(int row) {
    OpenBrowserFolder(ToStd(drives_->index(row).data(Qt::UserRole).toString()) + ":\\");
}

void TChooseDlg::ListBoxDirActivated(const QModelIndex& index) {
    OpenBrowserFolder(folders_->FolderAt(index));
}

// A mask filters the files; a folder is opened; a file's name selects it.
void TChooseDlg::Edit1Enter() {
    const std::string text = ToStd(ui_->Edit1->text().trimmed());
    if (text.empty())
        return;
    if (HasWildcards(text)) {
        files_->SetMask(text);
        return;
    }
    const bool absolute = text.size() >= 2 && text[1] == ':';
    const std::string path = absolute ? text : AddBackslash(folders_->Folder()) + text;
    if (platform::DirectoryExists(path)) {
        OpenBrowserFolder(path);
        return;
    }
    if (const int row = files_->RowOf(text); row >= 0)
        ui_->ListBoxFile->setCurrentIndex(files_->index(row));
}

// The name field shows the file the user selects, as it shows the mask before.
void TChooseDlg::ShowFileName() {
    const QModelIndex current = ui_->ListBoxFile->currentIndex();
    if (current.isValid() && ui_->ListBoxFile->selectionModel()->isSelected(current))
        ui_->Edit1->setText(FromStd(files_->FileName(current.row())));
}

void TChooseDlg::ListBoxFileMouseMove(int y) {
    const QModelIndex row = ui_->ListBoxFile->indexAt(QPoint(0, y));
    if (!row.isValid())
        return;
    const QString name = FromStd(files_->FileName(row.row()));
    const bool tooWide = ui_->ListBoxFile->fontMetrics().horizontalAdvance(name) + 5 >
                         ui_->ListBoxFile->viewport()->width();
    SetHint(*ui_->ListBoxFile, tooWide ? ToStd(name) + "|" : std::string());
}

bool TChooseDlg::eventFilter(QObject* watched, QEvent* event) {
    if (watched == ui_->ListBoxFile->viewport() && event->type() == QEvent::MouseMove)
        ListBoxFileMouseMove(static_cast<QMouseEvent*>(event)->position().toPoint().y());
    if (event->type() != QEvent::KeyPress)
        return QDialog::eventFilter(watched, event);
    const int key = static_cast<QKeyEvent*>(event)->key();
    // Return belongs to the field here, not to the default button.
    if (watched == ui_->Edit1 && (key == Qt::Key_Return || key == Qt::Key_Enter)) {
        RunHandler([this] { Edit1Enter(); });
        return true;
    }
    if (watched == ui_->BmpListBox && key == Qt::Key_Delete) {
        RunHandler([this] { ExcludeBtnClick(); });
        return true;
    }
    return QDialog::eventFilter(watched, event);
}

std::vector<std::string> TChooseDlg::ChosenFiles(bool all) const {
    std::vector<int> rows(all ? std::size_t(files_->rowCount()) : 0);
    std::iota(rows.begin(), rows.end(), 0);
    if (!all)
        rows = SelectedRows(*ui_->ListBoxFile);
    std::vector<std::string> paths;
    for (int row : rows) paths.push_back(files_->FullPathOf(row));
    return paths;
}

// ---- Including ----

void TChooseDlg::IncludeBtnClick() {
    CopySelected(false);
    UpdateButtons();
}

void TChooseDlg::IncAllBtnClick() {
    CopySelected(true);
    UpdateButtons();
}

void TChooseDlg::CopySelected(bool all) {
    IncludeFiles(ChosenFiles(all));
    if (ui_->ListBoxFile->selectionModel()->selectedIndexes().size() > 1) {
        const QScopedValueRollback selecting(selecting_, true);
        ui_->ListBoxFile->clearSelection();
    }
    ListBoxFileClick();
}

void TChooseDlg::IncludeFiles(const std::vector<std::string>& paths) {
    if (!list_)
        return;
    previewTimer_.stop();
    const THourglass hourglass;
    const TProgressDisplay::TBusy busy(*progress_);
    try {
        const int nonLogos = CountNonLogos(paths, true);
        const bool convertMany = nonLogos > 1;
        if (convertMany) {
            const auto chosen =
                BrowseForFolder(this, BrowseCaption, BrowseTitle, browseSelection_, BrowseStatus);
            if (!chosen)
                throw EQuietException("");
            browseSelection_ = *chosen;
        }
        const std::string targetFolder = AddBackslash(browseSelection_);
        const int total = static_cast<int>(paths.size());
        for (int k = 1; k <= total; ++k) {
            const std::string& path = paths[std::size_t(k - 1)];
            progress_->ShowProgress(k * 100 / total, FileNameOf(path));
            AddFile(path, targetFolder, !convertMany);
        }
    } catch (const EQuietException&) {
    } catch (const ELogoError& error) {
        ErrorBox("File selection", error.Message());
    } catch (const std::exception& error) {
        ErrorBox("File selection", GeneralError(error));
    }
    progress_->Reset();
}

int TChooseDlg::CountNonLogos(const std::vector<std::string>& paths, bool stopAfterTwo) {
    progress_->ShowProgress(0, "Checking logos");
    int count = 0;
    const auto total = static_cast<int>(paths.size());
    for (int i = 0; i < total; ++i) {
        progress_->SetGauge(i * 100 / total);
        if (!IsLogoFile(paths[std::size_t(i)]) && ++count > 1 && stopAfterTwo)
            return count;
    }
    progress_->ShowProgress(0, "");
    return count;
}

void TChooseDlg::AddFile(const std::string& path, const std::string& targetFolder,
                         bool askForName) {
    try {
        InternalLogo.SetSourceFile(path);
        if (InternalLogo.IsLogo()) {
            list_->Add(path);
            return;
        }
        const std::string defaultName = TLogo::DefaultLogoName(path);
        std::string name = targetFolder + defaultName;
        // With no folder chosen yet, the save dialog starts beside the picture.
        const std::string initialDir = targetFolder.empty()
                                           ? path.substr(0, path.size() - FileNameOf(path).size())
                                           : targetFolder;
        if (askForName)
            InternalLogo.SaveAs("Save new logo as", defaultName, name, initialDir);
        else
            InternalLogo.SaveToFile(name);
        list_->Add(name);
    } catch (const ELogoError& error) {
        ErrorBox("File selection", error.Message());
    }
}

// Files from the desktop's file manager take the include's way, by their Windows paths.
void TChooseDlg::FilesDropped(const QStringList& hostPaths) {
    std::vector<std::string> paths;
    for (const QString& hostPath : hostPaths)
        paths.push_back(platform::CurrentMachine().ToWindows(ToStd(hostPath)));
    IncludeFiles(paths);
    UpdateButtons();
}

// ---- Excluding ----

void TChooseDlg::ExcludeBtnClick() {
    DeleteSelected();
    BmpListBoxClick();
    UpdateButtons();
}

void TChooseDlg::ExcAllBtnClick() {
    try {
        if (list_)
            list_->Clear();
        BmpListBoxClick();
    } catch (const std::exception& error) {
        ErrorBox("Switch logo",
                 Format("Error editing the logo list!\rError: %s", {platform::ErrorDetail(error)}));
    }
    UpdateButtons();
}

void TChooseDlg::DeleteSelected() {
    if (!list_)
        return;
    TListBox& listBox = *ui_->BmpListBox;
    const QScopedValueRollback selecting(selecting_, true);
    try {
        const int focused = listBox.currentRow();
        const std::vector<int> rows = SelectedRows(listBox);
        for (auto row = rows.rbegin(); row != rows.rend(); ++row) list_->Delete(*row);
        if (focused >= 0 && focused < listBox.count())
            listBox.setCurrentRow(focused);
        else if (listBox.count() > 0)
            listBox.setCurrentRow(listBox.count() - 1);
    } catch (const std::exception& error) {
        ErrorBox("Switch logo",
                 Format("Error editing the logo list!\rError: %s", {platform::ErrorDetail(error)}));
    }
}

void TChooseDlg::UnselectAll(QAbstractItemView& listBox) {
    const QScopedValueRollback selecting(selecting_, true);
    listBox.clearSelection();
}

// ---- The preview ----

void TChooseDlg::ListBoxFileClick() {
    UnselectAll(*ui_->BmpListBox);
    SchedulePreview(false);
}

void TChooseDlg::BmpListBoxClick() {
    UnselectAll(*ui_->ListBoxFile);
    SchedulePreview(true);
}

void TChooseDlg::PreviewCheckBoxClick() {
    if (!ui_->PreviewCheckBox->isChecked()) {
        previewTimer_.stop();
        Logo.SetSourceFile("");
        return;
    }
    if (ui_->ListBoxFile->selectionModel()->hasSelection())
        SchedulePreview(false);
    else if (ui_->BmpListBox->selectionModel()->hasSelection())
        SchedulePreview(true);
}

void TChooseDlg::SchedulePreview(bool fromList) {
    previewFromList_ = fromList;
    previewTimer_.start();
}

void TChooseDlg::PreviewSelection() {
    if (progress_->Busy()) {
        previewTimer_.start();
        return;
    }
    QAbstractItemView& view =
        previewFromList_ ? static_cast<QAbstractItemView&>(*ui_->BmpListBox) : *ui_->ListBoxFile;
    try {
        const QModelIndex focused = view.currentIndex();
        std::string path;
        if (view.selectionModel()->hasSelection() && focused.isValid())
            path = previewFromList_ ? (*list_)[focused.row()] : files_->FullPathOf(focused.row());
        PreviewFile(path, previewFromList_);
    } catch (const std::exception& error) {
        if (previewFromList_)
            ErrorBox("Preview", GeneralError(error));
        else
            SetPreviewErrorText(GeneralError(error));
    }
}

void TChooseDlg::PreviewFile(const std::string& path, bool fromList) {
    try {
        if (ui_->PreviewCheckBox->isChecked()) {
            const TProgressDisplay::TBusy busy(*progress_);
            Logo.LogosOnly = fromList;
            Logo.SetSourceFile(path);
            progress_->Reset();
        }
        SetPreviewErrorText("");
    } catch (const EInvalidLogo& error) {
        ShowPreviewError(error.Message());
    } catch (const std::exception&) {
        ShowPreviewError("Can't open the file!");
    }
}

// The builder keeps the previous logo when it refuses a file; the box shows none rather
// than another file's logo under this file's message.
void TChooseDlg::ShowPreviewError(const std::string& text) {
    progress_->Reset();
    ui_->LogoBox->SetLogo(TBitmap());
    SetPreviewErrorText(text);
}

// The box is small: a path in the message may break after any backslash, and the whole
// message is the tooltip too.
void TChooseDlg::SetPreviewErrorText(const std::string& text) {
    QString shown = FromStd(text);
    shown.replace(QLatin1Char('\\'), QStringLiteral("\\\u200B"));
    ui_->LogoErrorTxt->setText(shown);
    ui_->LogoErrorTxt->setToolTip(FromStd(text));
}

void TChooseDlg::LogoBoxPaint() {
    ui_->LogoBox->SetLogo(Logo.LogoBmp() != nullptr ? *Logo.LogoBmp() : TBitmap());
}

std::unique_ptr<TChooseDlg> NewChooseDlg(TLogoKind kind, QWidget* parent) {
    switch (kind) {
        case lkClosing:
            return std::make_unique<TChooseClosingDlg>(parent);
        case lkClose:
            return std::make_unique<TChooseCloseDlg>(parent);
        default:
            return std::make_unique<TChooseBootDlg>(parent);
    }
}
