#include "ui/options.h"

#include <QStyle>

#include "core/BootOff.h"
#include "core/Global.h"
#include "core/ProgErrors.h"
#include "platform/Help.h"
#include "switching/Switch.h"
#include "ui/DrivesPage.h"
#include "ui/FolderBrowser.h"
#include "ui/FormTools.h"
#include "ui/Icons.h"
#include "ui/MachineBrowser.h"
#include "ui_options.h"

namespace {

constexpr int OptionsHelpContext = 12;
constexpr int DesignWidth = 523;
constexpr int DesignHeight = 342;

}  // namespace

TOptionDlg::TOptionDlg(QWidget* parent) : QDialog(parent), ui_(std::make_unique<Ui::TOptionDlg>()) {
    ui_->setupUi(this);
    SetUpDialog(*this, ui_->OKBtn, ui_->CancelBtn, ui_->HelpBtn);
    ui_->BrowseBtnSave->setIcon(CommandIcon(TCommandIcon::Open));
    ui_->BrowseBtnLookup->setIcon(CommandIcon(TCommandIcon::Open));
    ui_->Image1->setPixmap(style()->standardIcon(QStyle::SP_MessageBoxWarning).pixmap(32, 32));
    connect(ui_->OKBtn, &QPushButton::clicked, this, &TOptionDlg::accept);
    connect(ui_->CancelBtn, &QPushButton::clicked, this, &TOptionDlg::reject);
    connect(ui_->HelpBtn, &QPushButton::clicked, this, &TOptionDlg::HelpBtnClick);
    connect(ui_->BrowseBtnSave, &QPushButton::clicked, this, &TOptionDlg::BrowseBtnSaveClick);
    connect(ui_->BrowseBtnLookup, &QPushButton::clicked, this, &TOptionDlg::BrowseBtnLookupClick);
    auto* drives = new TDrivesPage(ui_->PageControl1);
    drives->setObjectName(QStringLiteral("SheetDrives"));
    ui_->PageControl1->addTab(drives, QStringLiteral("Drives"));
    connect(drives, &TDrivesPage::DrivesChanged, this, &TOptionDlg::DrivesChanged);
    FillDriveBox();
    RunHandler([this] { FormCreate(); });
    FixDialogSize(this, DesignWidth, DesignHeight);
}

TOptionDlg::~TOptionDlg() = default;

void TOptionDlg::FormCreate() {
    const TGlobalInfo& info = GlobalInfo();
    ui_->BootCheckBox->setChecked(info.ChangeBootBmp);
    ui_->CloseCheckBox->setChecked(info.ChangeCloseBmp);
    ui_->ClosingCheckBox->setChecked(info.ChangeClosingBmp);
    SelectDrive(info.BootDrive());
    ui_->EditLogoSave->setText(FromStd(info.LogoPath()));
    ui_->EditLookup->setText(FromStd(info.ImagePath()));
    ReadBootOffSetting();
    UpdateControls();
}

void TOptionDlg::FillDriveBox() {
    ui_->BootDriveBox->setModel(new TMachineDriveModel(ui_->BootDriveBox));
}

// An empty boot drive has no letter to select; the box then offers C:, the usual one.
void TOptionDlg::SelectDrive(const std::string& bootDrive) {
    const QChar letter =
        bootDrive.empty() ? QLatin1Char('C') : QChar::fromLatin1(bootDrive[0]).toUpper();
    const int index = ui_->BootDriveBox->findData(QString(letter));
    ui_->BootDriveBox->setCurrentIndex(index >= 0 ? index : 0);
}

// The boot drive and msdos.sys may now be other ones.
void TOptionDlg::DrivesChanged() {
    const std::string letter = ToStd(ui_->BootDriveBox->currentData().toString());
    FillDriveBox();
    SelectDrive(letter);
    ReadBootOffSetting();
    UpdateControls();
}

void TOptionDlg::ReadBootOffSetting() {
    ui_->BootOffCheckBox->setChecked(true);
    if (!LogoKeyPresent())
        return;
    try {
        ui_->BootOffCheckBox->setChecked(ReadLogoSetting());
    } catch (const EBootOffError& error) {
        ShowBootOffProblem(error.Message());
    }
}

// A greyed box says why, under it.
void TOptionDlg::ShowBootOffProblem(const std::string& problem) {
    ui_->BootOffCheckBox->setEnabled(false);
    ui_->ErrorLabel->setText(MessageText(problem));
    ui_->ErrorLabel->setVisible(true);
}

void TOptionDlg::UpdateControls() {
    const std::string bootOffProblem = LogoSettingProblem();
    if (bootOffProblem.empty()) {
        ui_->BootOffCheckBox->setEnabled(true);
        ui_->ErrorLabel->setVisible(false);
    } else {
        ShowBootOffProblem(bootOffProblem);
    }
    ui_->BootCheckBox->setEnabled(ListEntryCount(lkBoot) > 0);
    ui_->ClosingCheckBox->setEnabled(ListEntryCount(lkClosing) > 0);
    ui_->CloseCheckBox->setEnabled(ListEntryCount(lkClose) > 0);
}

void TOptionDlg::BrowseBtnSaveClick() {
    if (auto chosen = BrowseForFolder(this, "Logo directory",
                                      "Select the default directory to save logos in.",
                                      ToStd(ui_->EditLogoSave->text())))
        ui_->EditLogoSave->setText(FromStd(*chosen));
}

void TOptionDlg::BrowseBtnLookupClick() {
    if (auto chosen =
            BrowseForFolder(this, "Image directory",
                            "Select the default directory for looking up images and logos.",
                            ToStd(ui_->EditLookup->text())))
        ui_->EditLookup->setText(FromStd(*chosen));
}

void TOptionDlg::HelpBtnClick() {
    RunHandler([] { platform::CurrentHelp().Topic(OptionsHelpContext); });
}

void TOptionDlg::accept() {
    if (ApplySettings())
        QDialog::accept();
}

bool TOptionDlg::ApplySettings() {
    const std::string title = ToStd(windowTitle());
    try {
        ApplySteps();
    } catch (const EPathError& error) {
        ErrorBox(title, error.Message());
        return false;
    } catch (const EBootOffError& error) {
        ErrorBox(title, error.Message());
    } catch (const EWriteRegError& error) {
        ErrorBox(title, error.Message());
    } catch (const std::exception& error) {
        ErrorBox(title, Format("General Error\rError: %s", {platform::ErrorDetail(error)}));
    }
    return true;
}

void TOptionDlg::ApplySteps() {
    TGlobalInfo& info = GlobalInfo();
    info.SetLogoPath(AddBackslash(ToStd(ui_->EditLogoSave->text())));
    info.SetImagePath(AddBackslash(ToStd(ui_->EditLookup->text())));
    const QString letter = ui_->BootDriveBox->currentData().toString();
    info.SetBootDrive(letter.isEmpty() ? std::string() : ToStd(letter) + ":\\");
    info.ChangeBootBmp = ui_->BootCheckBox->isChecked();
    info.ChangeCloseBmp = ui_->CloseCheckBox->isChecked();
    info.ChangeClosingBmp = ui_->ClosingCheckBox->isChecked();
    if (ui_->BootOffCheckBox->isEnabled())
        WriteLogoSetting(ui_->BootOffCheckBox->isChecked());
    UpdateAutoSwitch();
}
