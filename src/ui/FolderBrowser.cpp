#include "ui/FolderBrowser.h"

#include <QFileDialog>
#include <QGridLayout>
#include <QLabel>

#include "platform/Machine.h"
#include "ui/FormTools.h"

namespace {

QString InitialHostFolder(const std::string& windowsPath) {
    if (windowsPath.empty())
        return {};
    const auto host = platform::CurrentMachine().ToHost(windowsPath);
    std::error_code error;
    if (!host || !std::filesystem::is_directory(*host, error))
        return {};
    return QString::fromStdString(host->string());
}

}  // namespace

std::optional<std::string> BrowseForFolder(QWidget* owner, const std::string& caption,
                                           const std::string& instruction,
                                           const std::string& initialPath) {
    QFileDialog dialog(owner, FromStd(caption), InitialHostFolder(initialPath));
    dialog.setFileMode(QFileDialog::Directory);
    dialog.setOptions(QFileDialog::ShowDirsOnly | QFileDialog::DontUseNativeDialog);
    // The Qt dialog has a grid layout; the instruction goes below its fields.
    if (auto* grid = qobject_cast<QGridLayout*>(dialog.layout())) {
        auto* label = new QLabel(FromStd(instruction), &dialog);
        label->setWordWrap(true);
        grid->addWidget(label, grid->rowCount(), 0, 1, grid->columnCount());
    }
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return std::nullopt;
    const std::filesystem::path chosen = dialog.selectedFiles().constFirst().toStdString();
    std::string windowsPath = platform::CurrentMachine().ToWindows(chosen);
    // A drive root such as C:\ keeps its backslash; a folder has none.
    if (windowsPath.size() > 3 && windowsPath.back() == '\\')
        windowsPath.pop_back();
    return windowsPath;
}
