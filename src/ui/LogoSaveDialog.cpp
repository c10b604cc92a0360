#include "ui/LogoSaveDialog.h"

#include <QFileDialog>
#include <QUrl>

#include "platform/Files.h"
#include "platform/Machine.h"
#include "ui/FormTools.h"

namespace {

// "Windows logo (*.sys)|*.sys|Bitmap (*.bmp)|*.bmp": the descriptions carry the patterns.
QStringList NameFilters(const std::string& filter) {
    const QStringList parts = FromStd(filter).split(QLatin1Char('|'));
    QStringList filters;
    for (qsizetype i = 0; i < parts.size(); i += 2) filters.append(parts[i]);
    return filters;
}

QList<QUrl> DriveUrls() {
    const platform::Machine& machine = platform::CurrentMachine();
    QList<QUrl> urls;
    for (char letter : machine.Drives())
        urls.append(QUrl::fromLocalFile(FromStd(machine.DriveRoot(letter)->string())));
    return urls;
}

}  // namespace

// Qt's dialog has no read-only check box to hide; a read-only file or folder chosen here is
// refused when the logo is written, with the program's own message.
std::optional<std::string> TLogoSaveDialog::Execute(const TSaveDialogRequest& request) {
    const platform::Machine& machine = platform::CurrentMachine();
    const TOverrideCursor normalCursor(Qt::ArrowCursor, true);
    QFileDialog dialog(owner_, FromStd(request.Title));
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setOption(QFileDialog::DontConfirmOverwrite, !request.OverwritePrompt);
    dialog.setSidebarUrls(DriveUrls());
    const QStringList filters = NameFilters(request.Filter);
    dialog.setNameFilters(filters);
    if (request.FilterIndex >= 1 && request.FilterIndex <= filters.size())
        dialog.selectNameFilter(filters[request.FilterIndex - 1]);
    dialog.setDefaultSuffix(FromStd(request.DefaultExt));
    if (platform::DirectoryExists(request.InitialDir))
        dialog.setDirectory(FromStd(machine.ToHost(request.InitialDir)->string()));
    dialog.selectFile(FromStd(request.FileName));
    if (ExecModal(dialog) != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return std::nullopt;
    return machine.ToWindows(ToStd(dialog.selectedFiles().constFirst()));
}
