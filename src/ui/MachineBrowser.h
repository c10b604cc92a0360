#pragma once
// The machine as the file browsers of the dialogs show it: its drives, and a folder's
// subfolders and files by their Windows names. Everything is read through the machine's
// path mapping, so no host path ever reaches the user.

#include <QAbstractItemModel>
#include <QAbstractListModel>
#include <QTreeView>
#include <optional>
#include <string>
#include <vector>

// One read of a folder: its subfolders and its files, each sorted as Windows sorts names.
// Hidden and system entries and the host's dot files are left out, as Wine leaves them out.
struct TFolderListing {
    bool readable = false;
    std::vector<std::string> folders;
    std::vector<std::string> files;
};
TFolderListing ReadFolder(const std::string& folder);

// The mapped drives, one row each, with the name of the host folder or disk image behind a
// drive where Windows shows its volume label: "c: [drive_c]", "d: [win98.vhd]". The letter
// is the row's Qt::UserRole, the folder or image the tooltip.
class TMachineDriveModel : public QAbstractListModel {
    Q_OBJECT
public:
    explicit TMachineDriveModel(QObject* parent = nullptr);
    int rowCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    int RowOf(char letter) const;  // -1 when the drive is not mapped

private:
    struct Drive {
        char letter;
        QString label;
        QString target;
    };
    std::vector<Drive> drives_;
};

// One drive's folders as a directory list shows them: the root and every folder down to
// the current one, each the only child of the one before, then the current folder's
// subfolders.
class TMachineFolderModel : public QAbstractItemModel {
    Q_OBJECT
public:
    using QAbstractItemModel::QAbstractItemModel;

    void Show(const std::string& folder, std::vector<std::string> subfolders);
    const std::string& Folder() const { return folder_; }
    std::string FolderAt(const QModelIndex& index) const;
    QModelIndex CurrentIndex() const;

    QModelIndex index(int row, int column, const QModelIndex& parent = {}) const override;
    QModelIndex parent(const QModelIndex& child) const override;
    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;

private:
    bool IsBranch(quintptr node) const { return node < branch_.size(); }

    std::string folder_;
    // Node i < branch_.size() is branch_[i]; the others are the subfolders in order.
    std::vector<std::string> branch_;
    std::vector<std::string> subfolders_;
};

// A folder model's view: the branch open down to the current folder, which is selected
// and scrolled to; deep folders scroll sideways rather than losing their names.
class TFolderView : public QTreeView {
    Q_OBJECT
public:
    explicit TFolderView(QWidget* parent = nullptr);
    void ShowCurrent();
};

// The files of one folder that match a mask such as "*.sys;*.bmp;*.jp*".
class TMachineFileModel : public QAbstractListModel {
    Q_OBJECT
public:
    using QAbstractListModel::QAbstractListModel;

    void Show(const std::string& folder, std::vector<std::string> files);
    void SetMask(const std::string& mask);
    const std::string& Mask() const { return mask_; }
    const std::string& FileName(int row) const { return shown_[std::size_t(row)]; }
    // The folder followed by the file's name.
    std::string FullPathOf(int row) const;
    int RowOf(const std::string& name) const;  // -1 when no shown file has that name

    int rowCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;

private:
    void Filter();

    std::string folder_;
    std::string mask_;
    std::vector<std::string> files_;
    std::vector<std::string> shown_;
};

// Reads the folder and shows it in the models (the file model may be absent); false, and
// nothing changes, when the folder can't be read.
bool OpenFolder(const std::string& folder, TMachineFolderModel& folders,
                TMachineFileModel* files = nullptr);
// OpenFolder, but a folder that can't be read (a drive without its disk or its link's
// target) is reported in a box with the title given.
bool OpenFolderOrReport(const std::string& folder, const std::string& boxTitle,
                        TMachineFolderModel& folders, TMachineFileModel* files = nullptr);
// Where a browser of the machine starts, best first: the folder startPath names, the root
// of its drive, the root of the boot drive, the root of every drive.
std::vector<std::string> StartFolders(const std::string& startPath);
// Opens the first of the start folders that can be read. False when no drive can be read.
bool OpenStartFolder(const std::string& startPath, TMachineFolderModel& folders,
                     TMachineFileModel* files = nullptr);
