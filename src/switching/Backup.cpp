#include "switching/Backup.h"

#include "core/BootOff.h"
#include "core/Global.h"
#include "platform/Errors.h"
#include "platform/Files.h"
#include "platform/MessageBox.h"
#include "switching/Switch.h"

namespace {

std::string BackupFileName(TLogoKind kind) {
    switch (kind) {
        case lkBoot:
            return "logo.bak";
        case lkClosing:
            return "logow.bak";
        case lkClose:
            return "logos.bak";
    }
    return "";
}

int BitOf(TLogoKind kind) {
    return 1 << KindIndex(kind);
}

enum class BackupStatus { Saved, Kept, Failed };

std::string StatusText(TLogoKind kind, BackupStatus status) {
    switch (status) {
        case BackupStatus::Failed:
            return kind == lkBoot ? "Default Logo or Error" : "Error";
        case BackupStatus::Kept:
            return "Keeping old backup copy";
        case BackupStatus::Saved:
            return "Saved";
    }
    return "";
}

BackupStatus BackupOne(TLogoKind kind, const std::string& directory, int existing) {
    if ((existing & BitOf(kind)) != 0 &&
        YesNoBox("Backup",
                 Format("There is already existing a backup copy of the %s.\rDo you wish to "
                        "overwrite this copy?",
                        {LogoKindName(kind)})) != platform::IDYES) {
        return BackupStatus::Kept;
    }
    try {
        CopyLogoFile(LogoFileOf(kind), directory + BackupFileName(kind), false);
        return BackupStatus::Saved;
    } catch (const platform::EDiskImageError&) {
        throw;  // see RestoreOne
    } catch (const std::exception&) {
        return BackupStatus::Failed;
    }
}

// A disk image that refuses (a virtual machine has it open) refuses every kind alike: the
// operation ends with the reason, which a plain failure would hide.
bool RestoreOne(TLogoKind kind) {
    try {
        CopyLogoFile(GlobalInfo().AppPath + BackupFileName(kind), LogoFileOf(kind), false);
        return true;
    } catch (const platform::EDiskImageError&) {
        throw;
    } catch (const std::exception&) {
        return false;
    }
}

}  // namespace

int FindBackups(const std::string& directory) {
    int found = 0;
    for (TLogoKind kind : AllLogoKinds) {
        if (platform::FileExists(directory + BackupFileName(kind)))
            found |= BitOf(kind);
    }
    return found;
}

bool BackupLogos(const std::string& directory) {
    const int existing = FindBackups(directory);
    if (OkCancelBox("Backup",
                    "A backup (*.bak) of each of the current logos will be copied to the "
                    "Bootrama directory.") != platform::IDOK) {
        return true;
    }
    bool allCopied = true;
    std::string summary = "The following actions were performed:\r";
    for (TLogoKind kind : AllLogoKinds) {
        BackupStatus status = BackupOne(kind, directory, existing);
        allCopied = allCopied && status != BackupStatus::Failed;
        summary += "\r" + LogoKindName(kind) + ": \r        " + StatusText(kind, status);
    }
    InformationBox("Backup", summary);
    return allCopied;
}

bool RestoreLogos() {
    // A missing logo.bak means there was no logo.sys to save: the default logo was in use.
    bool restored = RestoreOne(lkBoot) || RestoreDefaultStartupLogo();
    restored = RestoreOne(lkClose) && restored;
    restored = RestoreOne(lkClosing) && restored;
    return restored;
}

bool DeleteBackups() {
    const std::string& directory = GlobalInfo().AppPath;
    const int existing = FindBackups(directory);
    bool allDeleted = true;
    for (TLogoKind kind : AllLogoKinds) {
        if ((existing & BitOf(kind)) != 0 &&
            !platform::DeleteFile(directory + BackupFileName(kind)))
            allDeleted = false;
    }
    return allDeleted;
}

bool RestoreDefaultStartupLogo() {
    try {
        const std::string path = LogoFileOf(lkBoot);
        bool deleted = !platform::FileExists(path) || platform::DeleteFile(path);
        WriteLogoSetting(true);
        return deleted;
    } catch (const platform::EDiskImageError&) {
        throw;  // see RestoreOne
    } catch (const std::exception&) {
        return false;
    }
}
