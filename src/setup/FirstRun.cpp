#include "setup/FirstRun.h"

#include "core/Global.h"
#include "image/BmpTools.h"
#include "lists/Pathlist.h"
#include "platform/Errors.h"
#include "platform/Files.h"
#include "platform/Help.h"
#include "switching/Backup.h"

namespace {

constexpr int FirstRunHelpTopic = 52;

}  // namespace

bool FirstRunSetup() {
    TGlobalInfo& info = GlobalInfo();
    if (!info.NewInstalled)
        return false;
    info.NewInstalled = false;
    CreateMissingListFiles();
    BackupLogos(info.AppPath);
    platform::CurrentHelp().Topic(FirstRunHelpTopic);
    AddExampleLogos();
    return true;
}

void CreateMissingListFiles() {
    const TGlobalInfo& info = GlobalInfo();
    try {
        for (const std::string* file :
             {&info.BootListFile, &info.ClosingListFile, &info.CloseListFile}) {
            if (!platform::FileExists(*file))
                platform::WriteFileAtomic(*file, "");
        }
    } catch (const std::exception& error) {
        ErrorBox("Bootrama", Format("Error creating new logo list files\rError: %s",
                                    {platform::ErrorDetail(error)}));
    }
}

void AddExampleLogos() {
    try {
        TFileStringlist list(GlobalInfo().BootListFile);
        const std::string folder = GlobalInfo().AppPath + "Examples\\";
        const auto names = platform::FindFiles(
            folder + "*.*", {.skipDirectories = true, .skipHiddenAndSystem = true});
        for (const auto& name : names) {
            const std::string path = folder + name;
            if (list.IndexOf(path) < 0 && IsLogoFile(path))
                list.Add(path);
        }
        list.SaveList();
    } catch (const std::exception& error) {
        ErrorBox("Bootrama", Format("Error adding example logos to logo list!\rError: %s",
                                    {platform::ErrorDetail(error)}));
    }
}
