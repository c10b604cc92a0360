#include "ui/Create.h"

#include "core/Global.h"
#include "core/ProgErrors.h"
#include "platform/Help.h"
#include "platform/MessageBox.h"
#include "ui/FormTools.h"
#include "ui/Icons.h"
#include "ui/LogoPreview.h"
#include "ui_Create.h"

namespace {

constexpr int DesignWidth = 726;
constexpr int DesignHeight = 496;
const char* const NoSourceCaption = "Create logo - no source file specified";

}  // namespace

TCreateDlg::TCreateDlg(QWidget* parent)
    : QDialog(parent),
      ui_(std::make_unique<Ui::TCreateDlg>()),
      saveDialog_(this),
      escWatch_(*this),
      Logo(this) {
    ui_->setupUi(this);
    SetupControls();
    ConnectHandlers();
    RunHandler([this] { FormCreate(); });
    FixDialogSize(this, DesignWidth, DesignHeight);
    CenterOnScreen(this);
}

TCreateDlg::~TCreateDlg() = default;

void TCreateDlg::SetupControls() {
    SetDialogBorder(*this);
    ScaleDesignGeometry(this, DesignScale(this));
    ReserveSourceNumbers(ui_->BmpBreite, ui_->BmpHoehe, ui_->BmpColors);
    SetCommandIcons({{ui_->OpenBtn, TCommandIcon::Open},
                     {ui_->SaveBtn, TCommandIcon::Save},
                     {ui_->CloseBtn, TCommandIcon::Close},
                     {ui_->HelpBtn, TCommandIcon::Help}});
    // The item index is the adaptation method.
    methods_.addButton(ui_->StretchItem, int(TStretchMode::stretch));
    methods_.addButton(ui_->CropItem, int(TStretchMode::crop));
    methods_.addButton(ui_->ZoomItem, int(TStretchMode::zoom));
    ui_->BmpPaintBox->SetAnimated(ui_->AnimateBox->isChecked());

    Logo.SetStretchMode(TStretchMode::stretch);
    Logo.SetAspectRatio(true);
    Logo.LogosOnly = false;
    Logo.LogoPaintBox = ui_->BmpPaintBox;
    Logo.SaveDialog = &saveDialog_;
    Logo.OnSourceChanged = [this](void*) { LogoSourceChanged(); };
    Logo.OnLogoChanged = [this](void*) { BmpPaintBoxPaint(); };
    Logo.OnProgress = [this](TProgressStage stage, int percentDone) {
        LogoProgress(stage, percentDone);
    };
}

void TCreateDlg::ConnectHandlers() {
    ConnectClicks<TCreateDlg>(this, {
                                        {ui_->OpenBtn, &TCreateDlg::OpenBtnClick},
                                        {ui_->SaveBtn, &TCreateDlg::SaveBtnClick},
                                        {ui_->CloseBtn, &TCreateDlg::accept},
                                        {ui_->HelpBtn, &TCreateDlg::HelpBtnClick},
                                        {ui_->PropBox, &TCreateDlg::PropBoxClick},
                                    });
    connect(&methods_, &QButtonGroup::idClicked, this,
            [this] { RunHandler([this] { optionsGroupClick(); }); });
    connect(ui_->AnimateBox, &QCheckBox::toggled, ui_->BmpPaintBox, &TLogoPreview::SetAnimated);
}

void TCreateDlg::FormCreate() {
    setWindowTitle(QLatin1String(NoSourceCaption));
    ui_->HelpBtn->setText(tr("&Help..."));
    ui_->OpenBtn->setText(tr("&Load source..."));
    ui_->SaveBtn->setText(tr("&Save logo..."));
    ui_->CloseBtn->setText(tr("&Close"));
    ui_->ErrorPanel->setText(tr("! No source file specified !"));
    CreateOpenDlg.Title = "Open source file ";
    CreateOpenDlg.Filter = "Bitmap (*.bmp)|*.bmp|Jpeg (*.jpg)|*.jpg|Bitmap + Jpeg|*.bmp;*.jpg";
    CreateOpenDlg.FilterIndex = 3;
    CreateOpenDlg.InitialDir = GlobalInfo().ImagePath();
    LogoSourceChanged();
    OpenBtnClick();
}

void TCreateDlg::OpenBtnClick() {
    const std::optional<std::string> chosen = CurrentFileDialogs().OpenPicture(this, CreateOpenDlg);
    if (!chosen)
        return;
    try {
        // Esc aborts the load; the builder then holds no logo, as after a failure.
        escWatch_.Run([&] { Logo.SetSourceFile(*chosen); });
        CreateOpenDlg.InitialDir = ExtractFilePath(*chosen);
    } catch (const ELogoError& error) {
        ErrorBox("Error", error.Message());
        LogoSourceChanged();
    }
}

void TCreateDlg::LogoProgress(TProgressStage stage, int percentDone) {
    if (stage == TProgressStage::psRunning)
        setWindowTitle(QStringLiteral("%1%").arg(percentDone));
    escWatch_.Step();
}

void TCreateDlg::SaveBtnClick() {
    try {
        std::string fileName;
        Logo.SaveAsDefault("Save Logo as", fileName);
    } catch (const EQuietException&) {
    } catch (const ELogoError& error) {
        ErrorBox("Error", error.Message());
    }
}

void TCreateDlg::optionsGroupClick() {
    Logo.SetStretchMode(static_cast<TStretchMode>(methods_.checkedId()));
}

void TCreateDlg::PropBoxClick() {
    Logo.SetAspectRatio(ui_->PropBox->isChecked());
}

void TCreateDlg::HelpBtnClick() {
    platform::CurrentHelp().Topic(HelpContextOf(this));
}

// The aspect box keeps the user's choice for the next picture; the method is the one the
// builder proposes for each picture.
void TCreateDlg::LogoSourceChanged() {
    const bool hasLogo = Logo.LogoBmp() != nullptr;
    ui_->BmpBreite->setText(QString::number(hasLogo ? Logo.SourceWidth() : 0));
    ui_->BmpHoehe->setText(QString::number(hasLogo ? Logo.SourceHeight() : 0));
    ui_->BmpColors->setText(QString::number(hasLogo ? Logo.SourceColours() : 0));
    ui_->ErrorPanel->setVisible(!hasLogo);
    EnableLogoControls(hasLogo);
    if (hasLogo) {
        methods_.button(int(Logo.StretchMode()))->setChecked(true);
        setWindowTitle(FromStd("Create logo from " + ExtractFileName(Logo.SourceFile())));
    } else {
        setWindowTitle(QLatin1String(NoSourceCaption));
    }
}

void TCreateDlg::EnableLogoControls(bool enabled) {
    for (QWidget* control : std::initializer_list<QWidget*>{ui_->SaveBtn, ui_->optionsGroup,
                                                            ui_->PropBox, ui_->TxtPropBox})
        control->setEnabled(enabled);
}

void TCreateDlg::BmpPaintBoxPaint() {
    const TBitmap* logo = Logo.LogoBmp();
    ui_->BmpPaintBox->SetLogo(logo != nullptr ? *logo : TBitmap());
    ui_->BmpPaintBox->setVisible(logo != nullptr);
    ui_->AnimateBox->setEnabled(logo != nullptr && RotationStart(*logo) > 0);
}

void TCreateDlg::done(int result) {
    bool closes = true;
    RunHandler([&] { closes = FormClose(); });
    if (closes)
        QDialog::done(result);
}

bool TCreateDlg::FormClose() {
    if (!Logo.Modified())
        return true;
    switch (YesNoCancelBox("New logo", "Save the new logo?")) {
        case platform::IDYES:
            SaveBtnClick();
            return true;
        case platform::IDNO:
            return true;
        default:
            return false;
    }
}
