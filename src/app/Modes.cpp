#include "app/Modes.h"

#include <string>

#include "core/BootOff.h"
#include "core/Config.h"
#include "core/Global.h"
#include "core/RegEntries.h"
#include "platform/Errors.h"
#include "platform/Files.h"
#include "platform/MessageBox.h"
#include "platform/Process.h"
#include "switching/Backup.h"
#include "switching/Switch.h"

namespace {

constexpr const char* UndoTitle = "Bootrama: undo changes";

void ShowUndoError(const char* pattern, const std::exception& error) {
    ErrorBox(UndoTitle, Format(pattern, {platform::ErrorDetail(error)}));
}

void PutBackupsBack() {
    if (YesNoBox(UndoTitle,
                 "Do you wish to replace the current logos by the backup copies created by "
                 "Bootrama?") != platform::IDYES) {
        return;
    }
    if (RestoreLogos() && !DeleteBackups()) {
        ErrorBox(UndoTitle, "Error deleting backup copies of logos!");
    }
}

}  // namespace

bool AutoMode() {
    if (platform::ParamStr(1) != "/Auto")
        return false;
    if (!LoadConfig())
        return true;
    if (!AnyChangeFlag()) {
        // The main window opens next, so that the user can turn the switch on.
        ErrorBox("Bootrama", "The Automatic Bootrama is not activated. There is nothing to do.");
        return false;
    }
    // Each switch reads a list of maybe thousands of entries and a logo, then drops them.
    platform::KeepFreedMemory();
    for (TLogoKind kind : AllLogoKinds) {
        if (ChangeFlagOf(kind))
            RandomSwitch(kind);
    }
    return true;
}

bool UndoMode() {
    if (platform::ParamStr(1) != "/U")
        return false;
    if (!LoadConfig())
        return true;
    // Each step runs whatever became of the one before.
    try {
        PutBackupsBack();
    } catch (const std::exception& error) {
        ShowUndoError("Error replacing the current logos by the backup copies.(%s)", error);
    }
    DeleteListFiles();
    try {
        RemoveAutoStart();
    } catch (const std::exception& error) {
        ShowUndoError("Bootrama was unable to remove the item in the registry. (%s)", error);
    }
    try {
        RemoveProgramKeys();
    } catch (const std::exception& error) {
        ShowUndoError("Error writing to the Windows registry!\rError: %s", error);
    }
    try {
        if (LogoSettingWritable())
            WriteLogoSetting(true);
    } catch (const std::exception& error) {
        ShowUndoError("Error setting back the file msdos.sys.(%s)", error);
    }
    return true;
}

void DeleteListFiles() {
    if (YesNoBox(UndoTitle, "Do you wish to keep the logo lists for future use with Bootrama?") ==
        platform::IDYES) {
        return;
    }
    const TGlobalInfo& info = GlobalInfo();
    bool failed = false;
    for (const std::string* file :
         {&info.BootListFile, &info.ClosingListFile, &info.CloseListFile}) {
        if (platform::FileExists(*file) && !platform::DeleteFile(*file))
            failed = true;
    }
    if (failed)
        ErrorBox(UndoTitle, "Error deleting one or more logo list files!");
}
