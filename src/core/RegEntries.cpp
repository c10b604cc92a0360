#include "core/RegEntries.h"

#include "core/Global.h"
#include "core/ProgErrors.h"
#include "platform/Process.h"
#include "platform/Registry.h"

namespace {

constexpr std::string_view RunKey = "\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run";
constexpr std::string_view AutoStartValue = "Bootrama: change logos";
constexpr std::string_view RegistryErrorText = "Error writing to the Windows registry!\rError: %s";

// Without its key the value would land under the root, which the registry refuses.
void OpenRunKey(platform::Registry& registry) {
    if (!registry.OpenKey(RunKey, false))
        throw platform::ERegistryException(Format("Failed to set data for '%s'", {AutoStartValue}));
}

// Deletes a key of the program's when nothing else lies below it.
void DeleteIfLeaf(std::string_view key) {
    platform::Registry registry(platform::RootKey::CurrentUser);
    if (!registry.OpenKey(key, false) || registry.HasSubKeys())
        return;
    registry.CloseKey();
    registry.DeleteKey(key);
}

}  // namespace

std::string AutoStartCommand() {
    return GetAppPath() + platform::ProgramFileName() + " /Auto";
}

bool IsAutoStartOn() {
    try {
        platform::Registry registry(platform::RootKey::LocalMachine);
        if (!registry.OpenKey(RunKey, false))
            return false;
        return registry.ReadString(AutoStartValue) == AutoStartCommand();
    } catch (const std::exception&) {
        return false;
    }
}

void AddAutoStart() {
    try {
        platform::Registry registry(platform::RootKey::LocalMachine);
        OpenRunKey(registry);
        registry.WriteString(AutoStartValue, AutoStartCommand());
    } catch (const std::exception& error) {
        throw EWriteRegError(Format(RegistryErrorText, {platform::ClassNameOf(error)}));
    }
}

void RemoveAutoStart() {
    try {
        platform::Registry registry(platform::RootKey::LocalMachine);
        if (!registry.OpenKey(RunKey, false))
            return;
        if (registry.ValueExists(AutoStartValue) && !registry.DeleteValue(AutoStartValue))
            throw EWriteRegError(Format(RegistryErrorText, {"DeleteAuto"}));
    } catch (const EWriteRegError&) {
        throw;
    } catch (const std::exception& error) {
        throw EWriteRegError(Format(RegistryErrorText, {platform::ClassNameOf(error)}));
    }
}

void RemoveProgramKeys() {
    try {
        platform::Registry(platform::RootKey::CurrentUser)
            .DeleteKey("\\Software\\Orvell\\Bootrama\\2.00");
        DeleteIfLeaf("\\Software\\Orvell\\Bootrama");
        DeleteIfLeaf("\\Software\\Orvell");
    } catch (const std::exception& error) {
        throw EReadRegError(Format(RegistryErrorText, {platform::ClassNameOf(error)}));
    }
}
