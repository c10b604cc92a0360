#pragma once
// The logo list editor of one kind: a browser of the machine's folders on the left, the
// kind's list on the right, and between them the buttons that move files into the list
// (converting pictures that are no logos yet) and out of it, with a preview and a
// progress display. OK saves the list file; Cancel leaves it untouched.

#include <QDialog>
#include <QStringList>
#include <QTimer>
#include <memory>
#include <string>
#include <vector>

#include "core/Global.h"
#include "image/Logo.h"
#include "ui/FileDialogs.h"
#include "ui/ProgressDisplay.h"

class QAbstractItemView;
class TMachineDriveModel;
class TMachineFileModel;
class TMachineFolderModel;
class TPathStringList;
namespace Ui {
class TChooseDlg;
}

class TChooseDlg : public QDialog {
    Q_OBJECT
public:
    TChooseDlg(TLogoKind kind, QWidget* parent = nullptr);
    ~TChooseDlg() override;

public slots:
    void accept() override;
    void reject() override;
    void UpdateButtons();
    void IncludeBtnClick();
    void IncAllBtnClick();
    void ExcludeBtnClick();
    void ExcAllBtnClick();
    void ListBoxFileClick();
    void BmpListBoxClick();
    void PreviewCheckBoxClick();
    void HelpBtnClick();

protected:
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void ConnectHandlers();
    void FormCreate();
    void FormActivate();
    void FormClose();

    // The browser side.
    bool OpenBrowserFolder(const std::string& folder, bool report = true);
    void DriveComboBoxChange(int row);
    void ListBoxDirActivated(const QModelIndex& index);
    void Edit1Enter();
    void ShowFileName();
    void ListBoxFileMouseMove(int y);
    std::vector<std::string> ChosenFiles(bool all) const;

    // Including and excluding.
    void CopySelected(bool all);
    void IncludeFiles(const std::vector<std::string>& paths);
    int CountNonLogos(const std::vector<std::string>& paths, bool stopAfterTwo);
    void AddFile(const std::string& path, const std::string& targetFolder, bool askForName);
    void FilesDropped(const QStringList& hostPaths);
    void DeleteSelected();
    void UnselectAll(QAbstractItemView& listBox);

    // The preview follows the selection once it rests, so that a double-click is never
    // split by the load of the first click's picture.
    void SchedulePreview(bool fromList);
    void PreviewSelection();
    void PreviewFile(const std::string& path, bool fromList);
    void ShowPreviewError(const std::string& text);
    void SetPreviewErrorText(const std::string& text);
    void LogoBoxPaint();

    std::unique_ptr<Ui::TChooseDlg> ui_;
    TLogoKind kind_;
    TMachineDriveModel* drives_;
    TMachineFolderModel* folders_;
    TMachineFileModel* files_;
    std::unique_ptr<TPathStringList> list_;  // bound to BmpListBox, so destroyed before it
    TLogoSaveDialog saveDialog_;
    TLogo Logo;                    // the preview
    TLogo InternalLogo;            // converts the pictures being included
    std::string browseSelection_;  // where converted logos go, kept while the dialog lives
    std::unique_ptr<TProgressDisplay> progress_;
    QTimer previewTimer_;
    bool previewFromList_ = false;
    bool selecting_ = false;  // the program itself changes a selection
};

// The three variants differ only in their kind.
class TChooseBootDlg : public TChooseDlg {
public:
    explicit TChooseBootDlg(QWidget* parent = nullptr) : TChooseDlg(lkBoot, parent) {}
};
class TChooseClosingDlg : public TChooseDlg {
public:
    explicit TChooseClosingDlg(QWidget* parent = nullptr) : TChooseDlg(lkClosing, parent) {}
};
class TChooseCloseDlg : public TChooseDlg {
public:
    explicit TChooseCloseDlg(QWidget* parent = nullptr) : TChooseDlg(lkClose, parent) {}
};

// The variant of a kind.
std::unique_ptr<TChooseDlg> NewChooseDlg(TLogoKind kind, QWidget* parent);
