#include "ui/MachineBrowser.h"

#include <QHeaderView>
#include <QStyle>
#include <algorithm>
#include <filesystem>

#include "core/Global.h"
#include "platform/Files.h"
#include "platform/Machine.h"
#include "platform/Text.h"
#include "ui/FormTools.h"
#include "ui/Icons.h"

namespace {

namespace fs = std::filesystem;

bool IsDirectory(const platform::FindData& entry) {
    return (entry.attributes & platform::FILE_ATTRIBUTE_DIRECTORY) != 0;
}

// "C:\" and the folder names below it.
std::vector<std::string> Branch(const std::string& folder) {
    std::vector<std::string> branch{folder.substr(0, 2) + "\\"};
    std::size_t start = 3;
    while (start < folder.size()) {
        const std::size_t end = std::min(folder.find('\\', start), folder.size());
        branch.push_back(folder.substr(start, end - start));
        start = end + 1;
    }
    return branch;
}

}  // namespace

TFolderListing ReadFolder(const std::string& folder) {
    TFolderListing listing;
    listing.readable = platform::DirectoryExists(folder);
    if (!listing.readable)
        return listing;
    for (platform::FindData& entry :
         platform::FindEntries(AddBackslash(folder) + "*.*", {.skipHiddenAndSystem = true})) {
        if (entry.name.front() == '.')
            continue;
        (IsDirectory(entry) ? listing.folders : listing.files).push_back(std::move(entry.name));
    }
    platform::SortTexts(listing.folders);
    platform::SortTexts(listing.files);
    return listing;
}

// ---- TMachineDriveModel ----

TMachineDriveModel::TMachineDriveModel(QObject* parent) : QAbstractListModel(parent) {
    const platform::Machine& machine = platform::CurrentMachine();
    for (char letter : machine.Drives()) {
        const auto target = machine.Target(letter);
        const fs::path shown = target ? target->path : fs::path();
        const std::string label = shown.has_filename() ? shown.filename().string() : shown.string();
        drives_.push_back({letter, FromStd(label), FromStd(shown.string())});
    }
}

int TMachineDriveModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(drives_.size());
}

QVariant TMachineDriveModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= rowCount())
        return {};
    const Drive& drive = drives_[std::size_t(index.row())];
    const QString name = QStringLiteral("%1:").arg(QChar::fromLatin1(drive.letter).toLower());
    switch (role) {
        case Qt::DisplayRole:
            return drive.label.isEmpty() ? name : QStringLiteral("%1 [%2]").arg(name, drive.label);
        case Qt::DecorationRole:
            return CommandIcon(TCommandIcon::Drive);
        case Qt::ToolTipRole:
            return drive.target;
        case Qt::UserRole:
            return QString(QChar::fromLatin1(drive.letter));
        default:
            return {};
    }
}

int TMachineDriveModel::RowOf(char letter) const {
    const char upper = platform::UpperCase(std::string(1, letter)).front();
    for (std::size_t row = 0; row < drives_.size(); ++row)
        if (drives_[row].letter == upper)
            return static_cast<int>(row);
    return -1;
}

// ---- TMachineFolderModel ----

void TMachineFolderModel::Show(const std::string& folder, std::vector<std::string> subfolders) {
    beginResetModel();
    folder_ = folder;
    branch_ = Branch(folder);
    subfolders_ = std::move(subfolders);
    endResetModel();
}

std::string TMachineFolderModel::FolderAt(const QModelIndex& index) const {
    if (!index.isValid())
        return folder_;
    const quintptr node = index.internalId();
    if (!IsBranch(node))
        return AddBackslash(folder_) + subfolders_[node - branch_.size()];
    std::string folder = branch_[0];
    for (quintptr i = 1; i <= node; ++i) folder += (i > 1 ? "\\" : "") + branch_[i];
    return folder;
}

QModelIndex TMachineFolderModel::CurrentIndex() const {
    return branch_.empty() ? QModelIndex() : createIndex(0, 0, quintptr(branch_.size() - 1));
}

QModelIndex TMachineFolderModel::index(int row, int column, const QModelIndex& parent) const {
    if (column != 0 || row < 0 || row >= rowCount(parent))
        return {};
    if (!parent.isValid())
        return createIndex(row, 0, quintptr(0));
    const quintptr node = parent.internalId();
    return createIndex(row, 0, node + 1 < branch_.size() ? node + 1 : branch_.size() + row);
}

QModelIndex TMachineFolderModel::parent(const QModelIndex& child) const {
    if (!child.isValid() || child.internalId() == 0)
        return {};
    const quintptr node = child.internalId();
    return createIndex(0, 0, IsBranch(node) ? node - 1 : quintptr(branch_.size() - 1));
}

int TMachineFolderModel::rowCount(const QModelIndex& parent) const {
    if (!parent.isValid())
        return branch_.empty() ? 0 : 1;
    const quintptr node = parent.internalId();
    if (parent.column() != 0 || !IsBranch(node))
        return 0;
    return node + 1 < branch_.size() ? 1 : static_cast<int>(subfolders_.size());
}

int TMachineFolderModel::columnCount(const QModelIndex&) const {
    return 1;
}

QVariant TMachineFolderModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid())
        return {};
    const quintptr node = index.internalId();
    if (role == Qt::DisplayRole)
        return FromStd(IsBranch(node) ? branch_[node] : subfolders_[node - branch_.size()]);
    if (role == Qt::DecorationRole)
        return CommandIcon(node == 0        ? TCommandIcon::Drive
                           : IsBranch(node) ? TCommandIcon::OpenFolder
                                            : TCommandIcon::Folder);
    return {};
}

// ---- TFolderView ----

TFolderView::TFolderView(QWidget* parent) : QTreeView(parent) {
    setHeaderHidden(true);
    setRootIsDecorated(false);
    setItemsExpandable(false);
    setUniformRowHeights(true);
    setEditTriggers(NoEditTriggers);
    setIndentation(style()->pixelMetric(QStyle::PM_SmallIconSize) * 3 / 4);
    header()->setSectionResizeMode(QHeaderView::ResizeToContents);
    header()->setStretchLastSection(false);
}

void TFolderView::ShowCurrent() {
    const auto* folders = qobject_cast<const TMachineFolderModel*>(model());
    if (folders == nullptr)
        return;
    expandAll();
    setCurrentIndex(folders->CurrentIndex());
    scrollTo(currentIndex());
}

// ---- TMachineFileModel ----

void TMachineFileModel::Show(const std::string& folder, std::vector<std::string> files) {
    folder_ = folder;
    files_ = std::move(files);
    Filter();
}

void TMachineFileModel::SetMask(const std::string& mask) {
    mask_ = mask;
    Filter();
}

void TMachineFileModel::Filter() {
    beginResetModel();
    shown_.clear();
    for (const std::string& name : files_)
        if (platform::PathMatchSpec(name, mask_))
            shown_.push_back(name);
    endResetModel();
}

std::string TMachineFileModel::FullPathOf(int row) const {
    return AddBackslash(folder_) + FileName(row);
}

int TMachineFileModel::RowOf(const std::string& name) const {
    for (std::size_t row = 0; row < shown_.size(); ++row)
        if (platform::SameText(shown_[row], name))
            return static_cast<int>(row);
    return -1;
}

int TMachineFileModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(shown_.size());
}

QVariant TMachineFileModel::data(const QModelIndex& index, int role) const {
    if (role != Qt::DisplayRole || !index.isValid() || index.row() >= rowCount())
        return {};
    return FromStd(shown_[std::size_t(index.row())]);
}

bool OpenFolder(const std::string& folder, TMachineFolderModel& folders, TMachineFileModel* files) {
    const auto canonical = platform::SpelledPath(folder);
    if (!canonical)
        return false;
    TFolderListing listing = ReadFolder(*canonical);
    if (!listing.readable)
        return false;
    folders.Show(*canonical, std::move(listing.folders));
    if (files)
        files->Show(*canonical, std::move(listing.files));
    return true;
}

bool OpenFolderOrReport(const std::string& folder, const std::string& boxTitle,
                        TMachineFolderModel& folders, TMachineFileModel* files) {
    if (OpenFolder(folder, folders, files))
        return true;
    ErrorBox(boxTitle, Format("%s is not accessible.", {folder}));
    return false;
}

std::vector<std::string> StartFolders(const std::string& startPath) {
    std::vector<std::string> folders;
    if (!startPath.empty())
        folders.push_back(startPath);
    if (startPath.size() >= 2 && startPath[1] == ':')
        folders.push_back(startPath.substr(0, 2) + "\\");
    if (!GlobalInfo().BootDrive().empty())
        folders.push_back(GlobalInfo().BootDrive());
    for (char letter : platform::CurrentMachine().Drives())
        folders.push_back(std::string{letter, ':', '\\'});
    return folders;
}

bool OpenStartFolder(const std::string& startPath, TMachineFolderModel& folders,
                     TMachineFileModel* files) {
    const std::vector<std::string> candidates = StartFolders(startPath);
    return std::any_of(candidates.begin(), candidates.end(), [&](const std::string& folder) {
        return OpenFolder(folder, folders, files);
    });
}
