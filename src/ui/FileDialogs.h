#pragma once
// The file dialogs of the windows: a picture-open dialog that previews the highlighted
// picture, and the save dialog of the logo builder. They show the host's folders, start in
// a folder of the machine, offer its drives in their side bar, and answer with Windows
// paths of the machine; only the choice of what a drive leads to answers with a host path.
// Tests put scripted dialogs in their place.

#include <filesystem>
#include <memory>
#include <optional>
#include <string>

#include "image/Logo.h"
#include "platform/Machine.h"

class QWidget;

struct TOpenDialogRequest {
    std::string Title;
    std::string Filter;      // "Description|pattern;pattern|Description|pattern"
    int FilterIndex = 1;     // 1-based
    std::string InitialDir;  // Windows path; where missing, its drive's or the boot drive's root
};

class TFileDialogs {
public:
    virtual ~TFileDialogs() = default;
    // The Windows path of an existing picture, or nothing when the user cancels.
    virtual std::optional<std::string> OpenPicture(QWidget* owner,
                                                   const TOpenDialogRequest& request) = 0;
    // The Windows path to save to, or nothing when the user cancels.
    virtual std::optional<std::string> SaveFile(QWidget* owner,
                                                const TSaveDialogRequest& request) = 0;
    // A host folder, or a disk-image file, for a drive to lead to; nothing when the user
    // cancels. start is where the dialog opens, if it is there.
    virtual std::optional<std::filesystem::path> ChooseDriveTarget(
        QWidget* owner, platform::DriveTarget::Kind kind, const std::filesystem::path& start) = 0;
};

// The dialogs in use: Qt's, until a test sets its own; nullptr brings Qt's back.
TFileDialogs& CurrentFileDialogs();
void SetFileDialogs(std::unique_ptr<TFileDialogs> dialogs);

// The logo builder's save dialog, owned by a window.
class TLogoSaveDialog : public TSaveDialog {
public:
    explicit TLogoSaveDialog(QWidget* owner) : owner_(owner) {}
    std::optional<std::string> Execute(const TSaveDialogRequest& request) override;

private:
    QWidget* owner_;
};
