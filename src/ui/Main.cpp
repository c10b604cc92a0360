#include "ui/Main.h"

#include <QCloseEvent>
#include <QCursor>
#include <QHelpEvent>
#include <QLayout>
#include <QMenu>
#include <QPushButton>
#include <QStatusBar>
#include <QToolTip>

#include "core/BootOff.h"
#include "core/Config.h"
#include "core/ProgErrors.h"
#include "image/Bitmap.h"
#include "image/BmpTools.h"
#include "platform/Help.h"
#include "platform/MessageBox.h"
#include "setup/FirstRun.h"
#include "switching/Backup.h"
#include "switching/Switch.h"
#include "ui/ApplicationHints.h"
#include "ui/Choose.h"
#include "ui/Create.h"
#include "ui/FormTools.h"
#include "ui/Icons.h"
#include "ui/about.h"
#include "ui/options.h"
#include "ui/view.h"
#include "ui_Main.h"

namespace {

constexpr int MainHelpContext = 55;
constexpr int CrashCourseHelpContext = 51;
// QStatusBar draws its message between margins of 6 and 12 pixels.
constexpr int StatusMargins = 18;
const char* const HelpFileName = "BootramaE.qch";

}  // namespace

TMainForm::TMainForm(QWidget* parent)
    : QMainWindow(parent), ui_(std::make_unique<Ui::TMainForm>()) {
    InitUiResources();
    ui_->setupUi(this);
    SetupControls();
    BuildPopUps();
    ConnectHandlers();
    RunHandler([this] { FormCreate(); });
}

// The three preview bitmaps go with the window.
TMainForm::~TMainForm() = default;

void TMainForm::SetupControls() {
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                   Qt::WindowCloseButtonHint);
    // The window shows the button-shadow colour around its panels; the panels keep the
    // face colour, which they would otherwise inherit from the window.
    centralWidget()->setBackgroundRole(QPalette::Dark);
    centralWidget()->setAutoFillBackground(true);
    ui_->SpeedBar->setBackgroundRole(QPalette::Window);
    ui_->Panel1->setBackgroundRole(QPalette::Window);
    const double scale = DesignScale(this);
    ScaleDesignGeometry(centralWidget(), scale);
    centralWidget()->setFixedSize(Scaled(centralWidget()->width(), scale),
                                  Scaled(centralWidget()->height(), scale));
    layout()->setSizeConstraint(QLayout::SetFixedSize);
    statusBar()->installEventFilter(this);
    // The band lies on the preview: clicks, the pop-up menu and the hint reach the preview.
    ui_->BlockPanel1->setAttribute(Qt::WA_TransparentForMouseEvents);
    const std::tuple<TCommandIcon, QAbstractButton*, QAction*> icons[] = {
        {TCommandIcon::Exit, ui_->SpeedButton3, ui_->Beenden1},
        {TCommandIcon::Options, ui_->SpeedButton1, ui_->OptionsItem},
        {TCommandIcon::Help, ui_->SpeedButton4, ui_->HelpContentsItem},
        {TCommandIcon::About, ui_->SpeedButton5, ui_->HelpAboutItem},
    };
    for (const auto& [icon, button, item] : icons) {
        button->setIcon(CommandIcon(icon));
        item->setIcon(CommandIcon(icon));
    }
    // Submenus carry their hint and help context on the item that opens them.
    for (QMenu* submenu : {ui_->ViewItem, ui_->RandomItem}) {
        submenu->menuAction()->setStatusTip(submenu->statusTip());
        SetHelpContext(submenu->menuAction(), HelpContextOf(submenu));
    }
    kinds_[lkBoot] = {ui_->BootText,
                      ui_->BootBox,
                      ui_->BootErrorTxt,
                      ui_->BootActiveBtn,
                      ui_->RandomBootItem,
                      ui_->PopRandomBoot,
                      nullptr};
    kinds_[lkClosing] = {ui_->ClosingText,
                         ui_->ClosingBox,
                         ui_->ClosingErrorTxt,
                         ui_->ClosingActiveBtn,
                         ui_->RandomClosingItem,
                         ui_->PopRandomClosing,
                         nullptr};
    kinds_[lkClose] = {ui_->CloseText,
                       ui_->CloseBox,
                       ui_->CloseErrorTxt,
                       ui_->CloseActiveBtn,
                       ui_->RandomCloseItem,
                       ui_->PopRandomClose,
                       nullptr};
}

void TMainForm::BuildPopUps() {
    auto makePopUp = [this](const char* name, std::initializer_list<QAction*> items) {
        auto* popUp = new QMenu(this);
        popUp->setObjectName(QLatin1String(name));
        for (QAction* item : items) {
            if (item == nullptr)
                popUp->addSeparator();
            else
                popUp->addAction(item);
        }
        return popUp;
    };
    kinds_[lkBoot].popUp = makePopUp(
        "BootPopUp",
        {ui_->PopViewItem, ui_->PopRandomBoot, ui_->PopStandardItem, nullptr, ui_->PopListItem});
    kinds_[lkClosing].popUp = makePopUp(
        "ClosingPopUp", {ui_->PopMenuItem1, ui_->PopRandomClosing, nullptr, ui_->PopMenuItem4});
    kinds_[lkClose].popUp = makePopUp(
        "ClosePopUp", {ui_->PopMenuItem5, ui_->PopRandomClose, nullptr, ui_->PopMenuItem8});
    for (TLogoKind kind : AllLogoKinds) AttachPopUp(kind);
}

// The caption text and the error label (which covers the preview) carry the pop-up.
void TMainForm::AttachPopUp(TLogoKind kind) {
    QMenu* popUp = kinds_[kind].popUp;
    for (QWidget* owner :
         std::initializer_list<QWidget*>{kinds_[kind].text, kinds_[kind].errorTxt}) {
        connect(owner, &QWidget::customContextMenuRequested, this,
                [owner, popUp](const QPoint& at) { popUp->exec(owner->mapToGlobal(at)); });
    }
}

void TMainForm::Connect(QAction* action, void (TMainForm::*handler)()) {
    connect(action, &QAction::triggered, this,
            [this, handler] { RunHandler([&] { (this->*handler)(); }); });
}

void TMainForm::ConnectHandlers() {
    const std::pair<QAction*, void (TMainForm::*)()> actions[] = {
        {ui_->OptionsItem, &TMainForm::OptionsItemClick},
        {ui_->Beenden1, &TMainForm::FileExit},
        {ui_->Erstellen, &TMainForm::ErstellenClick},
        {ui_->ViewBoot, &TMainForm::ViewBootClick},
        {ui_->ViewClosing, &TMainForm::ViewClosingClick},
        {ui_->ViewClose, &TMainForm::ViewCloseClick},
        {ui_->StandardItem, &TMainForm::StandardItemClick},
        {ui_->BackupItem, &TMainForm::BackupItemClick},
        {ui_->RestoreItem, &TMainForm::ReactivateItemClick},
        {ui_->ChooseBootItem, &TMainForm::ChooseBootBmpItemClick},
        {ui_->ChooseClosingItem, &TMainForm::ChooseClosingBmpItemClick},
        {ui_->ChooseCloseItem, &TMainForm::ChooseCloseBmpItemClick},
        {ui_->RandomBootItem, &TMainForm::RandomBootItemClick},
        {ui_->RandomClosingItem, &TMainForm::RandomClosingItemClick},
        {ui_->RandomCloseItem, &TMainForm::RandomCloseItemClick},
        {ui_->RandomBothItem, &TMainForm::RandomBothItemClick},
        {ui_->HelpContentsItem, &TMainForm::HelpContents},
        {ui_->CrashCourseItem, &TMainForm::CrashCourseItemClick},
        {ui_->HelpSearchItem, &TMainForm::HelpSearch},
        {ui_->HelpHowToUseItem, &TMainForm::HelpHowToUse},
        {ui_->HelpAboutItem, &TMainForm::HelpAbout},
        {ui_->PopViewItem, &TMainForm::ViewBootClick},
        {ui_->PopRandomBoot, &TMainForm::RandomBootItemClick},
        {ui_->PopStandardItem, &TMainForm::StandardItemClick},
        {ui_->PopListItem, &TMainForm::ChooseBootBmpItemClick},
        {ui_->PopMenuItem1, &TMainForm::ViewClosingClick},
        {ui_->PopRandomClosing, &TMainForm::RandomClosingItemClick},
        {ui_->PopMenuItem4, &TMainForm::ChooseClosingBmpItemClick},
        {ui_->PopMenuItem5, &TMainForm::ViewCloseClick},
        {ui_->PopRandomClose, &TMainForm::RandomCloseItemClick},
        {ui_->PopMenuItem8, &TMainForm::ChooseCloseBmpItemClick},
    };
    for (const auto& [action, handler] : actions) Connect(action, handler);

    ConnectClicks<TMainForm>(this,
                             {
                                 {ui_->SpeedButton3, &TMainForm::FileExit},
                                 {ui_->SpeedButton1, &TMainForm::OptionsItemClick},
                                 {ui_->SpeedButton2, &TMainForm::ErstellenClick},
                                 {ui_->SpeedButton4, &TMainForm::HelpContents},
                                 {ui_->SpeedButton5, &TMainForm::HelpAbout},
                                 {ui_->HelpSpeedBtn, &TMainForm::HelpSpeedBtnClick},
                                 {ui_->ChooseBootBtn, &TMainForm::ChooseBootBmpItemClick},
                                 {ui_->ChooseClosingBtn, &TMainForm::ChooseClosingBmpItemClick},
                                 {ui_->ChooseCloseBtn, &TMainForm::ChooseCloseBmpItemClick},
                                 {ui_->BootActiveBtn, &TMainForm::ActiveBtnClick},
                                 {ui_->ClosingActiveBtn, &TMainForm::ActiveBtnClick},
                                 {ui_->CloseActiveBtn, &TMainForm::ActiveBtnClick},
                             });

    connect(ui_->BootErrorTxt, &TPreviewLabel::doubleClicked, this,
            [this] { RunHandler([this] { ViewBootClick(); }); });
    connect(ui_->ClosingErrorTxt, &TPreviewLabel::doubleClicked, this,
            [this] { RunHandler([this] { ViewClosingClick(); }); });
    connect(ui_->CloseErrorTxt, &TPreviewLabel::doubleClicked, this,
            [this] { RunHandler([this] { ViewCloseClick(); }); });
}

void TMainForm::FormCreate() {
    hints_ = std::make_unique<TApplicationHints>([this](const QString& hint) { ShowHint(hint); },
                                                 MainHelpContext);
    platform::CurrentHelp().SetHelpFile(GlobalInfo().AppPath + HelpFileName);
    ReadConfigAtStart();
    for (auto& bitmap : bitmaps_) bitmap = std::make_unique<TBitmap>();
    FirstRunSetup();
    EnsureListFiles();
    LoadPreviews();
    UpdateAutoSwitch();
    UpdateStatus();
}

void TMainForm::closeEvent(QCloseEvent* event) {
    RunHandler([] { WriteConfigAtClose(); });
    event->accept();
}

// A hint too long for the line ends in "…"; pointing at the line shows the whole of it.
void TMainForm::ShowHint(const QString& longHint) {
    QStatusBar* line = statusBar();
    // Leaving a control for the line would otherwise take the hint away before it is read.
    if (longHint.isEmpty() && line->isVisible() &&
        line->rect().contains(line->mapFromGlobal(QCursor::pos())))
        return;
    hint_ = longHint;
    ShowWholeOrCutHint();
}

// Cut to the line's width once the line is shown and has one.
void TMainForm::ShowWholeOrCutHint() {
    QStatusBar* line = statusBar();
    line->showMessage(line->isVisible() ? line->fontMetrics().elidedText(
                                              hint_, Qt::ElideRight, line->width() - StatusMargins)
                                        : hint_);
}

bool TMainForm::eventFilter(QObject* watched, QEvent* event) {
    if (watched == statusBar() && event->type() == QEvent::Resize)
        ShowWholeOrCutHint();
    if (watched == statusBar() && event->type() == QEvent::ToolTip) {
        if (statusBar()->currentMessage() != hint_)
            QToolTip::showText(static_cast<QHelpEvent*>(event)->globalPos(), hint_, statusBar());
        else
            QToolTip::hideText();
        return true;
    }
    return QMainWindow::eventFilter(watched, event);
}

void TMainForm::SetPreviewError(TLogoKind kind, const std::string& text) {
    kinds_[kind].errorTxt->setText(FromStd(text));
    if (kind == lkBoot)
        PlaceBand();
}

// The band lies across the middle of the Startup preview; under a text on the preview it
// moves to the lower edge, and the text keeps clear of it, so that both can be read.
void TMainForm::PlaceBand() {
    QWidget* band = ui_->BlockPanel1;
    TPreviewLabel* text = ui_->BootErrorTxt;
    const QRect preview = ui_->BootBox->geometry();
    const bool belowText = !band->isHidden() && !text->text().isEmpty();
    const int top = belowText ? preview.bottom() + 1 - band->height()
                              : preview.center().y() + 1 - band->height() / 2;
    band->move(band->x(), top);
    text->setContentsMargins(0, 0, 0, belowText ? text->geometry().bottom() + 1 - top : 0);
}

void TMainForm::LoadPreview(TLogoKind kind) {
    TKindControls& controls = kinds_[kind];
    controls.box->update();
    try {
        TSize size;
        LoadLogo(LogoFileOf(kind), *bitmaps_[kind], size);
        controls.box->SetLogo(*bitmaps_[kind]);
        SetPreviewError(kind, "");
    } catch (const EInvalidLogo& error) {
        controls.box->SetLogo(*bitmaps_[kind]);
        SetPreviewError(kind, error.Message());
    } catch (const std::exception&) {
        controls.box->SetLogo(*bitmaps_[kind]);
        // Without logo.sys Windows shows its built-in startup logo.
        SetPreviewError(kind, kind == lkBoot ? "Default Windows logo" : "Can't open the file!");
    }
}

void TMainForm::LoadPreviews() {
    for (TLogoKind kind : AllLogoKinds) LoadPreview(kind);
}

void TMainForm::UpdateStatus() {
    try {
        const bool logoOn = ReadLogoSetting();
        ui_->BlockPanel1->setVisible(!logoOn);
        ui_->BlockPanel2->setVisible(!logoOn);
        PlaceBand();
    } catch (const EBootOffError& error) {
        ErrorBox(ToStd(windowTitle()), error.Message());
    }
    for (TLogoKind kind : AllLogoKinds)
        kinds_[kind].activeBtn->setText(ChangeFlagOf(kind) ? tr("On") : tr("Off"));
    UpdateCommands();
}

void TMainForm::UpdateCommands() {
    ui_->RestoreItem->setEnabled(FindBackups(GlobalInfo().AppPath) != 0);
    bool anyList = false;
    for (TLogoKind kind : AllLogoKinds) {
        const bool hasEntries = ListEntryCount(kind) > 0;
        kinds_[kind].activeBtn->setEnabled(hasEntries);
        kinds_[kind].randomItem->setEnabled(hasEntries);
        kinds_[kind].popRandom->setEnabled(hasEntries);
        anyList = anyList || hasEntries;
    }
    ui_->RandomBothItem->setEnabled(anyList);
    ui_->RandomItem->menuAction()->setEnabled(anyList);
}

void TMainForm::ActiveBtnClick() {
    const QString name = sender() ? sender()->objectName() : QString();
    if (name == QLatin1String("BootActiveBtn"))
        GlobalInfo().ChangeBootBmp = !GlobalInfo().ChangeBootBmp;
    else if (name == QLatin1String("ClosingActiveBtn"))
        GlobalInfo().ChangeClosingBmp = !GlobalInfo().ChangeClosingBmp;
    else if (name == QLatin1String("CloseActiveBtn"))
        GlobalInfo().ChangeCloseBmp = !GlobalInfo().ChangeCloseBmp;
    UpdateStatus();
    UpdateAutoSwitch();
}

void TMainForm::RandomItemClick(TLogoKind kind) {
    static const TKindTable<const char*> questions = {
        "Startup logo will be replaced now at random.",
        "Shutdown logo will be replaced now at random.",
        "Final logo will be replaced now at random."};
    if (YesNoBox("Switch logo", questions[kind]) == platform::IDYES)
        RandomSwitch(kind);
    LoadPreview(kind);
}

void TMainForm::RandomBootItemClick() {
    RandomItemClick(lkBoot);
}
void TMainForm::RandomClosingItemClick() {
    RandomItemClick(lkClosing);
}
void TMainForm::RandomCloseItemClick() {
    RandomItemClick(lkClose);
}

void TMainForm::RandomBothItemClick() {
    if (YesNoBox("Switch logo", "Switch all three logos?") == platform::IDYES) {
        for (TLogoKind kind : {lkBoot, lkClose, lkClosing}) RandomSwitch(kind);
    }
    LoadPreviews();
}

void TMainForm::BackupItemClick() {
    BackupLogos(GlobalInfo().AppPath);
    UpdateCommands();
}

void TMainForm::ReactivateItemClick() {
    const char* const title = "Recover old logos";
    if (YesNoBox(title, "Do you wish to replace the current logos by the backup copies?") ==
        platform::IDYES) {
        // Without logo.bak the default logo comes back, which switches the logo on.
        const bool restored = RestoreLogos();
        UpdateStatus();
        if (restored)
            InformationBox(title, "The secured state has been recovered");
        else
            WarningBox(title,
                       "Errors occured while Bootrama tried to replace the current logos by "
                       "backup copies. Check, wether all backup copies are in the Bootrama "
                       "directory! ");
    }
    LoadPreviews();
}

void TMainForm::StandardItemClick() {
    const char* const title = "Recover default logo";
    if (YesNoBox(title,
                 "Delete current Startup logo and recover the default Startup logo of Windows?") !=
        platform::IDYES)
        return;
    if (!RestoreDefaultStartupLogo())
        ErrorBox(title, "Default Startup logo could not be recovered!");
    // The Logo entry of msdos.sys went, and even a failed recovery may have deleted logo.sys.
    UpdateStatus();
    LoadPreview(lkBoot);
}

void TMainForm::ViewBootClick() {
    ShowViewDialog(lkBoot);
}
void TMainForm::ViewClosingClick() {
    ShowViewDialog(lkClosing);
}
void TMainForm::ViewCloseClick() {
    ShowViewDialog(lkClose);
}

void TMainForm::ShowViewDialog(TLogoKind kind) {
    {
        std::unique_ptr<TViewDlg> dialog;
        switch (kind) {
            case lkBoot:
                dialog = std::make_unique<TViewBootDlg>(this);
                break;
            case lkClosing:
                dialog = std::make_unique<TViewClosingDlg>(this);
                break;
            case lkClose:
                dialog = std::make_unique<TViewCloseDlg>(this);
                break;
        }
        ExecModal(*dialog);
    }
    UpdateStatus();
    LoadPreview(kind);
}

void TMainForm::ChooseBootBmpItemClick() {
    ShowListEditor(lkBoot);
}
void TMainForm::ChooseClosingBmpItemClick() {
    ShowListEditor(lkClosing);
}
void TMainForm::ChooseCloseBmpItemClick() {
    ShowListEditor(lkClose);
}

void TMainForm::ShowListEditor(TLogoKind kind) {
    std::unique_ptr<TChooseDlg> dialog;
    {
        const TOverrideCursor starting(Qt::BusyCursor);
        dialog = NewChooseDlg(kind, this);
    }
    ExecModal(*dialog);
    dialog.reset();
    UpdateStatus();
}

void TMainForm::ErstellenClick() {
    TCreateDlg dialog(this);
    ExecModal(dialog);
}

void TMainForm::OptionsItemClick() {
    {
        TOptionDlg dialog(this);
        ExecModal(dialog);
    }
    UpdateStatus();
    LoadPreview(lkBoot);
}

void TMainForm::HelpAbout() {
    TAboutBox box(this);
    ExecModal(box);
}

void TMainForm::FileExit() {
    close();
}
void TMainForm::HelpContents() {
    platform::CurrentHelp().Contents();
}
void TMainForm::HelpSearch() {
    platform::CurrentHelp().Index("");
}
void TMainForm::HelpHowToUse() {
    platform::CurrentHelp().UsingHelp();
}
void TMainForm::CrashCourseItemClick() {
    platform::CurrentHelp().Topic(CrashCourseHelpContext);
}
void TMainForm::HelpSpeedBtnClick() {
    platform::CurrentHelp().Topic(MainHelpContext);
}
