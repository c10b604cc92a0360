#include "ui/Info.h"

#include <QDesktopServices>
#include <QUrl>

#include "ui/FormTools.h"
#include "ui_Info.h"

const char* const BootramaWebAddress = BOOTRAMA_HOMEPAGE;
const char* const BootramaMailAddress = "bootrama@example.org";

namespace {

constexpr int DesignWidth = 378;
constexpr int DesignHeight = 306;
constexpr int HeadlineFontPixels = 18;

}  // namespace

TInfoBox::TInfoBox(QWidget* parent) : QDialog(parent), ui_(std::make_unique<Ui::TInfoBox>()) {
    InitUiResources();
    ui_->setupUi(this);
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);
    const double scale = DesignScale(this);
    QFont headlineFont = ui_->Headline->font();
    headlineFont.setPixelSize(Scaled(HeadlineFontPixels, scale));
    ui_->Headline->setFont(headlineFont);
    ui_->Label1->setText(tr("Logo switching for Windows 95 and 98"));
    ui_->LicenceLabel->setText(QStringLiteral(BOOTRAMA_COPYRIGHT ". ") +
                               tr("Free software under the GNU General Public License, "
                                  "version 3 or later."));
    ui_->SpeedButton1->setText(QString::fromLatin1(BootramaWebAddress));
    QPalette linkPalette = ui_->SpeedButton1->palette();
    linkPalette.setColor(QPalette::ButtonText, palette().color(QPalette::Highlight));
    ui_->SpeedButton1->setPalette(linkPalette);
    connect(ui_->SpeedWWW, &QToolButton::clicked, this, &TInfoBox::LabelwwwClick);
    connect(ui_->SpeedButton1, &QToolButton::clicked, this, &TInfoBox::LabelwwwClick);
    connect(ui_->SpeedMail, &QToolButton::clicked, this, &TInfoBox::SpeedMailClick);
    FixSize();
}

TInfoBox::~TInfoBox() = default;

// Whether the desktop could open the address is not reported, as on Windows.
void TInfoBox::LabelwwwClick() {
    QDesktopServices::openUrl(QUrl(QString::fromLatin1(BootramaWebAddress)));
}

void TInfoBox::SpeedMailClick() {
    QDesktopServices::openUrl(
        QUrl(QStringLiteral("mailto:") + QString::fromLatin1(BootramaMailAddress)));
}

void TInfoBox::SetMemoText(const QString& text) {
    ui_->Memo1->setPlainText(text);
    QTextCursor cursor(ui_->Memo1->document());
    cursor.select(QTextCursor::Document);
    QTextBlockFormat centred;
    centred.setAlignment(Qt::AlignHCenter);
    cursor.mergeBlockFormat(centred);
}

void TInfoBox::FixSize() {
    FixDialogSize(this, DesignWidth, DesignHeight);
}

QHBoxLayout* TInfoBox::BottomFrame() const {
    return ui_->BevelLayout;
}
