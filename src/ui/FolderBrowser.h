#pragma once
// The folder browser of the dialogs, on the machine rather than on the host: the drives in
// a side bar by their letters, the folders of one drive, and an edit field with the path,
// all as Windows paths.

#include <QDialog>
#include <memory>
#include <optional>
#include <string>

class TMachineDriveModel;
class TMachineFolderModel;
namespace Ui {
class TFolderBrowser;
}

class TFolderBrowser : public QDialog {
    Q_OBJECT
public:
    // The instruction goes above the folders, the status text below them (none when empty).
    TFolderBrowser(QWidget* owner, const std::string& caption, const std::string& instruction,
                   const std::string& statusText);
    ~TFolderBrowser() override;

    // Opens the folder initialPath names; else the root of its drive; else the boot drive's.
    void Start(const std::string& initialPath);
    // The folder in the edit field as its drive spells it, without a trailing backslash
    // except for a drive root; nothing when it names no folder.
    std::optional<std::string> Chosen() const;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void DriveChosen(const QModelIndex& index);
    void FolderActivated(const QModelIndex& index);
    void FolderSelected(const QModelIndex& index);
    void SelectCurrent();
    // The side bar marks the drive of the open folder.
    void ShowDrive();

    std::unique_ptr<Ui::TFolderBrowser> ui_;
    TMachineDriveModel* drives_;
    TMachineFolderModel* folders_;
};

// Shows the browser modally; the chosen folder, or nothing when the user cancels.
std::optional<std::string> BrowseForFolder(QWidget* owner, const std::string& caption,
                                           const std::string& instruction,
                                           const std::string& initialPath,
                                           const std::string& statusText = {});
