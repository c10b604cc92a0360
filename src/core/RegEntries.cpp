#include "core/RegEntries.h"

#include "core/Global.h"
#include "core/ProgErrors.h"
#include "platform/Process.h"
#include "platform/Registry.h"
#include "platform/SessionAutostart.h"

namespace {

constexpr std::string_view RunKey = "\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run";
constexpr std::string_view AutoStartValue = "Bootrama: change logos";
constexpr std::string_view RegistryErrorText = "Error writing to the Windows registry!\rError: %s";
constexpr std::string_view SessionErrorText =
    "Error writing the autostart entry \"%s\" of the desktop session!\rError: %s";
constexpr std::string_view AutoArgument = "/Auto";

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

EWriteRegError SessionError(std::string_view reason) {
    return EWriteRegError(
        Format(SessionErrorText, {platform::SessionAutostartFile().string(), reason}));
}

}  // namespace

std::string AutoStartCommand() {
    return GetAppPath() + platform::ProgramFileName() + " " + std::string(AutoArgument);
}

bool IsAutoStartOn() {
    try {
        platform::Registry registry(platform::RootKey::LocalMachine);
        if (!registry.OpenKey(RunKey, false))
            return false;
        return registry.ReadString(AutoStartValue) == AutoStartCommand() &&
               platform::SessionAutostartIs(AutoArgument);
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
    try {
        platform::WriteSessionAutostart(AutoArgument);
    } catch (const std::exception& error) {
        throw SessionError(platform::ClassNameOf(error));
    }
}

// The session's entry goes first: it is what starts the program on this computer, and a
// registry that can't be written must not keep it.
void RemoveAutoStart() {
    if (!platform::RemoveSessionAutostart())
        throw SessionError("DeleteAuto");
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
