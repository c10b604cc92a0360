#pragma once
// The "Drives" page of the options dialog, in the manner of winecfg's drives tab: the
// machine's letters with what they lead to (a folder of this computer, or a FAT partition
// of a disk image), and the means to add, change and remove them. Users never make the
// dosdevices links by hand. A change takes effect at once, as the dialog's other pages read
// the drives it makes.

#include <QWidget>
#include <memory>
#include <optional>
#include <string>

#include "platform/Machine.h"

namespace Ui {
class TDrivesPage;
}

// What the page says about a target besides its path.
struct TTargetFacts {
    std::string type;      // for the list: "Folder", "FAT32, partition 1", "Can't be read"
    std::string details;   // for the selected drive: "Dynamic VHD, partition 1: FAT32, 47.0 MB"
    bool problem = false;  // the details say why the drive can't be used
};
TTargetFacts DescribeDriveTarget(const platform::DriveTarget& target);

class TDrivesPage : public QWidget {
    Q_OBJECT
public:
    explicit TDrivesPage(QWidget* parent = nullptr);
    ~TDrivesPage() override;

    // The selected letter (upper case), if any.
    std::optional<char> SelectedLetter() const;
    void SelectLetter(char letter);

signals:
    // A letter now leads elsewhere, or is gone.
    void DrivesChanged();

private:
    void Fill();
    void ShowSelected();
    void ShowPartitions(const platform::DriveTarget& target);
    void AddDriveBtnClick();
    void RemoveDriveBtnClick();
    void ChooseTarget(platform::DriveTarget::Kind kind);
    void PartitionChosen(int index);
    // Maps the selected letter; a refusal is shown under the dialog's caption.
    void Map(const platform::DriveTarget& target);
    std::string Caption() const;

    std::unique_ptr<Ui::TDrivesPage> ui_;
    // A letter added but not yet given a folder or image: no link exists for it yet.
    std::optional<char> unmapped_;
};
