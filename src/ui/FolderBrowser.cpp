#include "ui/FolderBrowser.h"

#include <QItemSelectionModel>
#include <QKeyEvent>

#include "core/Global.h"
#include "platform/Files.h"
#include "ui/FormTools.h"
#include "ui/MachineBrowser.h"
#include "ui_FolderBrowser.h"

namespace {

constexpr int DesignWidth = 520;
constexpr int DesignHeight = 440;
constexpr int DriveBarDesignWidth = 150;

}  // namespace

TFolderBrowser::TFolderBrowser(QWidget* owner, const std::string& caption,
                               const std::string& instruction, const std::string& statusText)
    : QDialog(owner),
      ui_(std::make_unique<Ui::TFolderBrowser>()),
      drives_(new TMachineDriveModel(this)),
      folders_(new TMachineFolderModel(this)) {
    ui_->setupUi(this);
    setWindowTitle(FromStd(caption));
    ui_->TitleLabel->setText(FromStd(instruction));
    ui_->TitleLabel->setVisible(!instruction.empty());
    ui_->StatusLabel->setText(FromStd(statusText));
    ui_->StatusLabel->setVisible(!statusText.empty());
    SetUpDialog(*this, ui_->OKBtn, ui_->CancelBtn);
    ui_->DriveBar->setModel(drives_);
    ui_->FolderTree->setModel(folders_);
    connect(ui_->OKBtn, &QPushButton::clicked, this, &QDialog::accept);
    connect(ui_->CancelBtn, &QPushButton::clicked, this, &QDialog::reject);
    ui_->DriveBar->installEventFilter(this);
    connect(ui_->DriveBar, &QAbstractItemView::clicked, this, &TFolderBrowser::DriveChosen);
    connect(ui_->FolderTree, &QAbstractItemView::activated, this, &TFolderBrowser::FolderActivated);
    connect(ui_->FolderTree->selectionModel(), &QItemSelectionModel::currentChanged, this,
            &TFolderBrowser::FolderSelected);
    connect(ui_->PathEdit, &QLineEdit::textChanged, this,
            [this] { ui_->OKBtn->setEnabled(Chosen().has_value()); });
    const double scale = DesignScale(this);
    ui_->BrowserSplitter->setSizes(
        {Scaled(DriveBarDesignWidth, scale), Scaled(DesignWidth - DriveBarDesignWidth, scale)});
    resize(Scaled(DesignWidth, scale), Scaled(DesignHeight, scale));
    BoundToScreen(this);
    ui_->OKBtn->setEnabled(false);
}

TFolderBrowser::~TFolderBrowser() = default;

void TFolderBrowser::Start(const std::string& initialPath) {
    if (OpenStartFolder(initialPath, *folders_))
        SelectCurrent();
    ui_->FolderTree->setFocus();
}

// Return in the side bar opens the drive; it does not choose the drive's root at once.
bool TFolderBrowser::eventFilter(QObject* watched, QEvent* event) {
    if (watched == ui_->DriveBar && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            DriveChosen(ui_->DriveBar->currentIndex());
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

std::optional<std::string> TFolderBrowser::Chosen() const {
    const std::string path = ToStd(ui_->PathEdit->text());
    if (!platform::DirectoryExists(path))
        return std::nullopt;
    return platform::SpelledPath(path);
}

void TFolderBrowser::SelectCurrent() {
    ui_->FolderTree->ShowCurrent();
    ShowDrive();
}

void TFolderBrowser::ShowDrive() {
    if (!folders_->Folder().empty())
        ui_->DriveBar->setCurrentIndex(drives_->index(drives_->RowOf(folders_->Folder().front())));
}

void TFolderBrowser::DriveChosen(const QModelIndex& index) {
    const std::string root = ToStd(index.data(Qt::UserRole).toString()) + ":\\";
    if (OpenFolderOrReport(root, ToStd(windowTitle()), *folders_))
        SelectCurrent();
    else
        ShowDrive();
}

void TFolderBrowser::FolderActivated(const QModelIndex& index) {
    if (OpenFolderOrReport(folders_->FolderAt(index), ToStd(windowTitle()), *folders_))
        SelectCurrent();
}

void TFolderBrowser::FolderSelected(const QModelIndex& index) {
    if (index.isValid())
        ui_->PathEdit->setText(FromStd(folders_->FolderAt(index)));
}

std::optional<std::string> BrowseForFolder(QWidget* owner, const std::string& caption,
                                           const std::string& instruction,
                                           const std::string& initialPath,
                                           const std::string& statusText) {
    const TOverrideCursor normalCursor(Qt::ArrowCursor, true);
    TFolderBrowser browser(owner, caption, instruction, statusText);
    browser.Start(initialPath);
    if (ExecModal(browser) != QDialog::Accepted)
        return std::nullopt;
    return browser.Chosen();
}
