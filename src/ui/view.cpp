#include "ui/view.h"

#include "core/ProgErrors.h"
#include "platform/Errors.h"
#include "platform/Help.h"
#include "platform/Text.h"
#include "switching/Switch.h"
#include "ui/FormTools.h"
#include "ui/Icons.h"
#include "ui_view.h"

namespace {

constexpr int DesignWidth = 726;
constexpr int DesignHeight = 441;
constexpr int LogoBoxWidth = 330;
constexpr int StandardFontPixels = 40;

const char* const CurrentLogoEntry = "<current logo>";
const char* const NonRegisteredEntry = "<non-registered logo>";
const char* const AddCaption = "&Add to list";
const char* const RemoveCaption = "R&emove from List";

std::unique_ptr<Ui::TViewDlg> SetUpUi(QDialog* dialog) {
    auto ui = std::make_unique<Ui::TViewDlg>();
    ui->setupUi(dialog);
    return ui;
}

}  // namespace

TViewDlg::TViewDlg(TLogoKind kind, QWidget* parent)
    : QDialog(parent),
      kind_(kind),
      ui_(SetUpUi(this)),
      defaultControl_(ui_->TxtStandard),
      saveDialog_(this),
      escWatch_(*this),
      Logo(this) {
    SetupControls();
    ConnectHandlers();
    RunHandler([this] { FormCreate(); });
    FixDialogSize(this, DesignWidth, DesignHeight);
    CenterOnScreen(this);
}

TViewDlg::~TViewDlg() = default;

void TViewDlg::SetupControls() {
    SetDialogBorder(*this);
    const double scale = DesignScale(this);
    ScaleDesignGeometry(this, scale);
    ui_->logoBox->setFixedWidth(Scaled(LogoBoxWidth, scale));
    QFont standardFont = ui_->TxtStandard->font();
    standardFont.setPixelSize(Scaled(StandardFontPixels, scale));
    ui_->TxtStandard->setFont(standardFont);
    ReserveSourceNumbers(ui_->BmpBreite, ui_->BmpHoehe, ui_->BmpColors);
    const int arrowSize = ui_->TxtChooseCaption->sizeHint().height();
    ui_->Image1->setPixmap(CommandIcon(TCommandIcon::Forward).pixmap(arrowSize));
    SetCommandIcons({{ui_->HelpBtn, TCommandIcon::Help},
                     {ui_->OpenBtn, TCommandIcon::Open},
                     {ui_->AddBtn, TCommandIcon::Forward},
                     {ui_->ChangeBtn, TCommandIcon::Replace},
                     {ui_->CloseBtn, TCommandIcon::Close}});
    // Only the startup logo moves while Windows starts.
    ui_->AnimateBox->setVisible(kind_ == lkBoot);
    ui_->LogoPaintBox->SetAnimated(kind_ == lkBoot && ui_->AnimateBox->isChecked());

    Logo.SetStretchMode(TStretchMode::stretch);
    Logo.SetAspectRatio(true);
    Logo.LogosOnly = false;
    Logo.LogoPaintBox = ui_->LogoPaintBox;
    Logo.DefaultControl = &defaultControl_;
    Logo.SaveDialog = &saveDialog_;
    Logo.OnSourceChanged = [this](void*) { UpdateLabels(); };
    Logo.OnLogoChanged = [this](void*) { LogoPaintBoxPaint(); };
    Logo.OnProgress = [this](TProgressStage, int) { escWatch_.Step(); };
}

void TViewDlg::ConnectHandlers() {
    ConnectClicks<TViewDlg>(this, {
                                      {ui_->HelpBtn, &TViewDlg::HelpBtnClick},
                                      {ui_->OpenBtn, &TViewDlg::OpenBtnClick},
                                      {ui_->AddBtn, &TViewDlg::AddBtnClick},
                                      {ui_->ChangeBtn, &TViewDlg::ChangeBtnClick},
                                      {ui_->CloseBtn, &TViewDlg::accept},
                                  });
    connect(ui_->logoBox, &QComboBox::activated, this,
            [this] { RunHandler([this] { logoBoxChange(); }); });
    connect(ui_->AnimateBox, &QCheckBox::toggled, ui_->LogoPaintBox, &TLogoPreview::SetAnimated);
}

void TViewDlg::FormCreate() {
    setWindowTitle(FromStd("View & Replace " + LogoKindName(kind_)));
    ui_->HelpBtn->setText(tr("&Help..."));
    ui_->CloseBtn->setText(tr("&Close"));
    ui_->ChangeBtn->setText(tr("&Replace logo"));
    ui_->OpenBtn->setText(tr("&Load Image..."));
    SetHint(*ui_->ChangeBtn, Format("Replace current %s", {LogoKindName(kind_)}));
    ui_->noLogoLabel->setText(tr("File is not yet saved as logo."));
    ReadLogoList();
    FillLogoBox();
    ui_->logoBox->setCurrentIndex(LastEntry());
    logoBoxChange();
    OpenDlg.Title = "Open";
    OpenDlg.Filter =
        "Images & Logos|*.jpg;*.jpeg;*.bmp;*.sys|JPEG Image File (*.jpg)|*.jpg;*.jpeg|Bitmaps "
        "(*.bmp)|*.bmp|Logos|*.sys";
    OpenDlg.InitialDir = GlobalInfo().ImagePath();
}

void TViewDlg::ReadLogoList() {
    LogoList.reset();
    ListChanged = false;
    try {
        LogoList = std::make_unique<TFileStringlist>(ListFileOf(kind_));
    } catch (const EFileListError& error) {
        ErrorBox(Caption(), error.Message());
    }
}

void TViewDlg::FillLogoBox() {
    QComboBox* box = ui_->logoBox;
    box->clear();
    for (int i = 0; i < ListSize(); ++i) box->addItem(FromStd(ExtractFileName((*LogoList)[i])));
    box->addItem(QLatin1String(CurrentLogoEntry));
    ui_->ListCount->setText(QString::number(ListSize()));
}

int TViewDlg::ListSize() const {
    return LogoList ? LogoList->Count() : 0;
}

int TViewDlg::LastEntry() const {
    return ui_->logoBox->count() - 1;
}

// The list's entries come first, "<current logo>" last, "<non-registered logo>" between.
bool TViewDlg::NonRegisteredShown() const {
    return ui_->logoBox->count() == ListSize() + 2;
}

void TViewDlg::logoBoxChange() {
    const int index = ui_->logoBox->currentIndex();
    if (NonRegisteredShown() && index == ListSize())
        return;
    const std::string path = index == LastEntry() ? LogoFileOf(kind_) : (*LogoList)[index];
    try {
        LoadSource(path);
    } catch (const EProgError& error) {
        ErrorBox(Caption(), error.Message());
        UpdateLabels();
    }
}

bool TViewDlg::LoadSource(const std::string& path) {
    return escWatch_.Run([&] { Logo.SetSourceFile(path); });
}

// The picture shown before a failed or aborted load; if it can't be read any more either,
// the preview stays empty.
void TViewDlg::RestoreSource(const std::string& path) {
    try {
        LoadSource(path);
    } catch (const ELogoError&) {
    }
}

// A picture that nobody has saved is no source of its own: a failed replacement leaves an
// empty source with "<current logo>" selected.
bool TViewDlg::IsNonRegistered() const {
    const std::string& source = Logo.SourceFile();
    const bool listed = LogoList && LogoList->IndexOf(source) >= 0;
    return !source.empty() && !listed && source != LogoFileOf(kind_);
}

void TViewDlg::MarkNonRegistered(bool flag) {
    QComboBox* box = ui_->logoBox;
    if (flag && !NonRegisteredShown()) {
        box->insertItem(ListSize(), QLatin1String(NonRegisteredEntry));
        box->setCurrentIndex(ListSize());
    } else if (!flag && NonRegisteredShown()) {
        box->removeItem(ListSize());
        if (EntryOfSource() < 0)
            box->setCurrentIndex(LastEntry());
    }
    if (const int entry = EntryOfSource(); entry >= 0)
        box->setCurrentIndex(entry);
}

// The entry that stands for the picture on show: its own list entry, "<current logo>" for
// the current logo, else the first list entry of the same file name. Going by the path
// first keeps two list entries of one name apart, and the current logo on its own entry.
int TViewDlg::EntryOfSource() const {
    const std::string& source = Logo.SourceFile();
    if (const int listed = LogoList ? LogoList->IndexOf(source) : -1; listed >= 0)
        return listed;
    if (source == LogoFileOf(kind_))
        return LastEntry();
    const std::string name = ExtractFileName(source);
    for (int i = 0; i < ListSize(); ++i) {
        if (platform::SameText(ExtractFileName((*LogoList)[i]), name))
            return i;
    }
    return -1;
}

void TViewDlg::UpdateLabels() {
    const bool nonRegistered = IsNonRegistered();
    MarkNonRegistered(nonRegistered);
    // Without any picture (Windows' own startup logo in force) nothing is unsaved.
    const bool unsaved = Logo.SourceBitmap() != nullptr && !Logo.IsLogo();
    ui_->noLogoLabel->setVisible(unsaved);
    ui_->Infolabel->setVisible(!unsaved);
    ui_->logoBox->setEnabled(ui_->logoBox->count() > 1);
    ShowElided(*ui_->BmpFilename, FromStd(ExtractFileName(Logo.SourceFile())));
    ui_->BmpFilename->setToolTip(FromStd(Logo.SourceFile()));
    ui_->BmpBreite->setText(QString::number(Logo.SourceWidth()));
    ui_->BmpHoehe->setText(QString::number(Logo.SourceHeight()));
    ui_->BmpColors->setText(QString::number(Logo.SourceColours()));
    const bool lastSelected = ui_->logoBox->currentIndex() == LastEntry();
    const TBitmap* logo = Logo.LogoBmp();
    ui_->ChangeBtn->setEnabled(!lastSelected && logo != nullptr);
    const bool adds = lastSelected || nonRegistered;
    ui_->AddBtn->setText(QLatin1String(adds ? AddCaption : RemoveCaption));
    // The glyph on the side the logo goes: into the list, or out of it.
    ui_->AddBtn->setLayoutDirection(adds ? Qt::LeftToRight : Qt::RightToLeft);
    const bool addable = nonRegistered ? logo != nullptr && !logo->Empty() : !lastSelected;
    ui_->AddBtn->setEnabled(LogoList != nullptr && addable);
}

void TViewDlg::LogoPaintBoxPaint() {
    const TBitmap* logo = Logo.LogoBmp();
    if (logo == nullptr)
        FillBlack(ui_->LogoPaintBox->Canvas());
    else
        ui_->LogoPaintBox->SetLogo(*logo);
    ui_->AnimateBox->setEnabled(logo != nullptr && RotationStart(*logo) > 0);
}

void TViewDlg::ChangeBtnClick() {
    const TBitmap* logo = Logo.LogoBmp();
    if (logo == nullptr)
        return;
    try {
        const std::string current = IsNonRegistered() ? SaveBitmapAsLogo(kind_, *logo)
                                                      : ReplaceLogo(kind_, Logo.SourceFile());
        // A logo that has vanished from its place may just have been taken off the list
        // file; the box shows the file as it is now, unless edits of its own are pending.
        if (current.empty() && !ListChanged) {
            ReadLogoList();
            FillLogoBox();
        }
        LoadSource(current);
        ui_->logoBox->setCurrentIndex(LastEntry());
    } catch (const EChangeError& error) {
        ErrorBox("Switch logo", error.Message());
    }
    UpdateLabels();
}

void TViewDlg::OpenBtnClick() {
    const std::string previous = Logo.SourceFile();
    const std::optional<std::string> chosen = CurrentFileDialogs().OpenPicture(this, OpenDlg);
    if (!chosen)
        return;
    try {
        if (LoadSource(*chosen))
            OpenDlg.InitialDir = ExtractFilePath(*chosen);
        else
            RestoreSource(previous);
    } catch (const ELogoError& error) {
        RestoreSource(previous);
        ErrorBox(Caption(), error.Message());
    }
}

void TViewDlg::AddBtnClick() {
    if (!LogoList)
        return;
    try {
        if (IsNonRegistered()) {
            if (!Logo.IsLogo()) {
                std::string saved;
                Logo.SaveAsDefault("Save new logo as", saved);
                LoadSource(saved);
            }
            if (Logo.IsLogo())
                LogoList->Add(Logo.SourceFile());
        }
        if (ui_->AddBtn->text() == QLatin1String(RemoveCaption)) {
            if (const int index = LogoList->IndexOf(Logo.SourceFile()); index >= 0)
                LogoList->Delete(index);
        }
        ListChanged = true;
        FillLogoBox();
        const int entry = EntryOfSource();
        ui_->logoBox->setCurrentIndex(entry >= 0 ? entry : LastEntry());
    } catch (const EQuietException&) {
    } catch (const EProgError& error) {
        ErrorBox(Caption(), Format("Error editing the logo list!\rError: %s", {error.Message()}));
    } catch (const std::exception& error) {
        ErrorBox(Caption(), Format("General Error editing the logo list!\rError: %s",
                                   {platform::ErrorDetail(error)}));
    }
    UpdateLabels();
}

void TViewDlg::HelpBtnClick() {
    platform::CurrentHelp().Topic(HelpContextOf(this));
}

void TViewDlg::done(int result) {
    RunHandler([&] { FormClose(result); });
    QDialog::done(result);
}

void TViewDlg::FormClose(int result) {
    if (result != QDialog::Accepted || !ListChanged || !LogoList)
        return;
    try {
        LogoList->Sort();
        LogoList->SaveList();
        if (LogoList->Count() == 0)
            UpdateAutoSwitch();
    } catch (const EFileListError& error) {
        ErrorBox(Caption(), error.Message());
    }
}

std::string TViewDlg::Caption() const {
    return ToStd(windowTitle());
}
