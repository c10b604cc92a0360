#include "ui/DrivesPage.h"

#include <QHeaderView>
#include <QInputDialog>
#include <QLocale>
#include <QStyle>
#include <algorithm>
#include <system_error>

#include "core/Global.h"
#include "platform/Errors.h"
#include "platform/drives/ImageDrive.h"
#include "ui/FileDialogs.h"
#include "ui/FormTools.h"
#include "ui_DrivesPage.h"

namespace {

namespace fs = std::filesystem;
using platform::DriveTarget;

constexpr int VisibleDrives = 5;
using platform::drives::FatType;
using platform::drives::ImageDrive;

const char* FatName(FatType type) {
    switch (type) {
        case FatType::Fat12:
            return "FAT12";
        case FatType::Fat16:
            return "FAT16";
        case FatType::Fat32:
            return "FAT32";
    }
    return "FAT";
}

std::string SizeText(std::uint64_t bytes) {
    return ToStd(QLocale::c().formattedDataSize(static_cast<qint64>(bytes), 1,
                                                QLocale::DataSizeTraditionalFormat));
}

std::string LetterText(char letter) {
    return {static_cast<char>(std::tolower(static_cast<unsigned char>(letter))), ':'};
}

// "Partition 2: FAT16, 17.5 MB (active)", or the whole disk of a superfloppy.
QString VolumeText(const ImageDrive::Volume& volume) {
    const std::string what = std::string(FatName(volume.type)) + ", " + SizeText(volume.size);
    if (volume.partition == 0)
        return FromStd("Whole disk: " + what);
    return FromStd("Partition " + std::to_string(volume.partition) + ": " + what +
                   (volume.active ? " (active)" : ""));
}

}  // namespace

TTargetFacts DescribeDriveTarget(const DriveTarget& target) {
    if (target.kind == DriveTarget::Kind::Folder) {
        std::error_code error;
        if (target.path == target.path.root_path())
            return {"Whole computer", "The root folder of this computer, with all its files.",
                    false};
        if (!fs::is_directory(target.path, error))
            return {"Not found", "The folder is not there.", true};
        return {"Folder", "", false};
    }
    try {
        const auto about = ImageDrive(target.path, target.partition).Describe();
        const std::string fat = FatName(about.type);
        std::string format = about.format;
        format.front() =
            static_cast<char>(std::toupper(static_cast<unsigned char>(format.front())));
        if (about.partition == 0)
            return {fat, format + ", whole disk: " + fat + ", " + SizeText(about.size), false};
        const std::string partition = "partition " + std::to_string(about.partition);
        return {fat + ", " + partition,
                format + ", " + partition + ": " + fat + ", " + SizeText(about.size), false};
    } catch (const platform::Exception& error) {
        return {"Can't be read", error.Message(), true};
    }
}

TDrivesPage::TDrivesPage(QWidget* parent)
    : QWidget(parent), ui_(std::make_unique<Ui::TDrivesPage>()) {
    ui_->setupUi(this);
    ui_->DriveInfoLabel->setTextInteractionFlags(Qt::TextSelectableByMouse);
    ui_->DriveList->header()->setSectionResizeMode(0, QHeaderView::ResizeToContents);
    ui_->DriveList->header()->setSectionResizeMode(1, QHeaderView::Stretch);
    ui_->DriveList->header()->setSectionResizeMode(2, QHeaderView::ResizeToContents);
    ui_->DriveList->header()->setStretchLastSection(false);

    connect(ui_->DriveList, &QTreeWidget::currentItemChanged, this, [this] { ShowSelected(); });
    connect(ui_->AddDriveBtn, &QPushButton::clicked, this,
            [this] { RunHandler([this] { AddDriveBtnClick(); }); });
    connect(ui_->RemoveDriveBtn, &QPushButton::clicked, this,
            [this] { RunHandler([this] { RemoveDriveBtnClick(); }); });
    connect(ui_->BrowseFolderBtn, &QPushButton::clicked, this,
            [this] { RunHandler([this] { ChooseTarget(DriveTarget::Kind::Folder); }); });
    connect(ui_->BrowseImageBtn, &QPushButton::clicked, this,
            [this] { RunHandler([this] { ChooseTarget(DriveTarget::Kind::Image); }); });
    connect(ui_->PartitionBox, &QComboBox::activated, this,
            [this](int index) { RunHandler([this, index] { PartitionChosen(index); }); });
    Fill();
    SelectLetter('C');
    // Room for the usual few drives rather than a list's standard height, so that the
    // dialog stays near the size its other pages give it.
    QTreeWidget* list = ui_->DriveList;
    list->setSizeAdjustPolicy(QAbstractScrollArea::AdjustToContents);
    const int row = std::max(list->sizeHintForRow(0), list->fontMetrics().height());
    list->setMinimumHeight(list->header()->sizeHint().height() + row * VisibleDrives +
                           2 * list->frameWidth());
}

TDrivesPage::~TDrivesPage() = default;

std::optional<char> TDrivesPage::SelectedLetter() const {
    const QTreeWidgetItem* item = ui_->DriveList->currentItem();
    if (item == nullptr)
        return std::nullopt;
    return item->data(0, Qt::UserRole).toChar().toLatin1();
}

void TDrivesPage::SelectLetter(char letter) {
    const char upper = static_cast<char>(std::toupper(static_cast<unsigned char>(letter)));
    for (int row = 0; row < ui_->DriveList->topLevelItemCount(); ++row) {
        QTreeWidgetItem* item = ui_->DriveList->topLevelItem(row);
        if (item->data(0, Qt::UserRole).toChar() == QLatin1Char(upper))
            ui_->DriveList->setCurrentItem(item);
    }
    ShowSelected();
}

void TDrivesPage::Fill() {
    const auto selected = SelectedLetter();
    const platform::Machine& machine = platform::CurrentMachine();
    std::vector<char> letters = machine.Drives();
    if (unmapped_ && std::find(letters.begin(), letters.end(), *unmapped_) == letters.end())
        letters.insert(std::upper_bound(letters.begin(), letters.end(), *unmapped_), *unmapped_);
    const QSignalBlocker quiet(ui_->DriveList);
    ui_->DriveList->clear();
    for (char letter : letters) {
        const auto target = machine.Target(letter);
        const TTargetFacts facts =
            target ? DescribeDriveTarget(*target) : TTargetFacts{"Not mapped yet", "", true};
        auto* item = new QTreeWidgetItem(ui_->DriveList);
        item->setText(0, FromStd(LetterText(letter)));
        item->setText(1, target ? FromStd(target->path.string()) : QString());
        item->setText(2, FromStd(facts.type));
        item->setToolTip(1, item->text(1));
        item->setIcon(0, style()->standardIcon(target && target->kind == DriveTarget::Kind::Image
                                                   ? QStyle::SP_DriveHDIcon
                                                   : QStyle::SP_DirIcon));
        item->setData(0, Qt::UserRole, QChar::fromLatin1(letter));
    }
    if (selected)
        SelectLetter(*selected);
}

void TDrivesPage::ShowSelected() {
    const auto letter = SelectedLetter();
    const auto target = letter ? platform::CurrentMachine().Target(*letter) : std::nullopt;
    ui_->RemoveDriveBtn->setEnabled(letter.has_value());
    ui_->BrowseFolderBtn->setEnabled(letter.has_value());
    ui_->BrowseImageBtn->setEnabled(letter.has_value());
    ui_->EditDrivePath->setText(target ? FromStd(target->path.string()) : QString());
    ShowPartitions(target.value_or(DriveTarget{}));
    TTargetFacts facts;
    if (letter && !target)
        facts = {"", "Choose a folder or a disk image for the drive.", true};
    else if (target)
        facts = DescribeDriveTarget(*target);
    ui_->DriveInfoLabel->setText(MessageText(facts.details));
    ui_->DriveInfoLabel->setStyleSheet(facts.problem ? QStringLiteral("color: red;") : QString());
    ui_->DriveInfoLabel->setVisible(!facts.details.empty());
    // A refusal ends in the command that converts the image: all of it on view, to copy.
    GrowToFit(window());
}

// The FAT volumes of an image to choose from; "Automatic" picks the active one.
void TDrivesPage::ShowPartitions(const DriveTarget& target) {
    QComboBox* box = ui_->PartitionBox;
    const QSignalBlocker quiet(box);
    box->clear();
    std::vector<ImageDrive::Volume> volumes;
    if (target.kind == DriveTarget::Kind::Image) {
        try {
            volumes = ImageDrive::Volumes(target.path);
        } catch (const platform::Exception&) {
            // The drive's line and the label below say why.
        }
    }
    const bool partitioned = !volumes.empty() && volumes.front().partition != 0;
    if (partitioned)
        box->addItem(QStringLiteral("Automatic: the active FAT partition, else the first"), 0);
    for (const auto& volume : volumes) box->addItem(VolumeText(volume), volume.partition);
    box->setCurrentIndex(std::max(0, box->findData(target.partition)));
    box->setEnabled(partitioned);
}

void TDrivesPage::AddDriveBtnClick() {
    const std::vector<char> used = platform::CurrentMachine().Drives();
    QStringList free;
    for (char letter = 'A'; letter <= 'Z'; ++letter) {
        if (std::find(used.begin(), used.end(), letter) == used.end() && letter != unmapped_)
            free << FromStd(LetterText(letter));
    }
    if (free.isEmpty())
        return;
    QInputDialog dialog(this);
    dialog.setWindowTitle(FromStd(Caption()));
    dialog.setLabelText(QStringLiteral("&Drive letter"));
    dialog.setComboBoxItems(free);
    dialog.setComboBoxEditable(false);
    // Past the floppy letters, as Windows gives out letters.
    const auto firstDisk =
        std::find_if(free.begin(), free.end(), [](const QString& text) { return text >= "c:"; });
    dialog.setTextValue(firstDisk != free.end() ? *firstDisk : free.front());
    if (ExecModal(dialog) != QDialog::Accepted)
        return;
    unmapped_ = dialog.textValue().toUpper().front().toLatin1();
    Fill();
    SelectLetter(*unmapped_);
}

void TDrivesPage::RemoveDriveBtnClick() {
    const auto letter = SelectedLetter();
    if (!letter)
        return;
    if (letter == unmapped_) {
        unmapped_.reset();
    } else {
        try {
            platform::CurrentMachine().UnmapDrive(*letter);
        } catch (const std::exception& error) {
            ErrorBox(Caption(), Format("The drive %s could not be removed.\rError: %s",
                                       {LetterText(*letter), platform::ErrorDetail(error)}));
        }
    }
    Fill();
    if (ui_->DriveList->currentItem() == nullptr && ui_->DriveList->topLevelItemCount() > 0)
        ui_->DriveList->setCurrentItem(ui_->DriveList->topLevelItem(0));
    ShowSelected();
    emit DrivesChanged();
}

void TDrivesPage::ChooseTarget(DriveTarget::Kind kind) {
    const auto letter = SelectedLetter();
    if (!letter)
        return;
    const auto current = platform::CurrentMachine().Target(*letter);
    const auto chosen = CurrentFileDialogs().ChooseDriveTarget(
        window(), kind, current ? current->path : fs::path());
    if (chosen)
        Map({kind, fs::absolute(*chosen).lexically_normal(), 0});
}

void TDrivesPage::PartitionChosen(int index) {
    const auto letter = SelectedLetter();
    const auto current = letter ? platform::CurrentMachine().Target(*letter) : std::nullopt;
    if (current && current->kind == DriveTarget::Kind::Image)
        Map({DriveTarget::Kind::Image, current->path, ui_->PartitionBox->itemData(index).toInt()});
}

void TDrivesPage::Map(const DriveTarget& target) {
    const char letter = *SelectedLetter();
    try {
        platform::CurrentMachine().MapDrive(letter, target);
        if (letter == unmapped_)
            unmapped_.reset();
    } catch (const std::exception& error) {
        ErrorBox(Caption(), Format("The drive %s could not be changed.\rError: %s",
                                   {LetterText(letter), platform::ErrorDetail(error)}));
    }
    Fill();
    SelectLetter(letter);
    emit DrivesChanged();
}

std::string TDrivesPage::Caption() const {
    return ToStd(window()->windowTitle());
}
