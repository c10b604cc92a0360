#include "core/BootOff.h"

#include "core/Config.h"
#include "core/Global.h"
#include "core/ProgErrors.h"
#include "platform/Errors.h"
#include "platform/Files.h"

namespace {

constexpr std::string_view Section = "Options";
constexpr std::string_view Key = "Logo";
constexpr std::string_view ReadErrorText = "Error reading the file \"%s\"!\rError: %s";

std::string MsdosSys() {
    return GlobalInfo().BootDrive() + "msdos.sys";
}

void RequireFile(TReadOnlyIni& ini, std::string_view pattern) {
    if (!ini.StoredFileOK())
        throw EBootOffError(Format(pattern, {ini.FileName(), "not FileOK"}));
}

// The program's own form of the state is there already: on is no key, off is "0".
bool HoldsSetting(const TReadOnlyIni& ini, bool on) {
    return on ? !ini.ValueExists(Section, Key) : ini.ReadString(Section, Key, "") == "0";
}

}  // namespace

bool ReadLogoSetting() {
    TReadOnlyIni ini(MsdosSys());
    RequireFile(ini, ReadErrorText);
    try {
        return ini.ReadBool(Section, Key, true);
    } catch (const std::exception& error) {
        // A file that is there but can't be read (a FIFO, far too large) is no "Logo=1".
        throw EBootOffError(Format(ReadErrorText, {ini.FileName(), platform::ErrorDetail(error)}));
    }
}

void WriteLogoSetting(bool on) {
    TReadOnlyIni ini(MsdosSys());
    RequireFile(ini, "Error writing file \"%s\"!\rError: %s");
    // A system file is touched only when its text changes.
    if (HoldsSetting(ini, on))
        return;
    std::uint32_t attributes = platform::GetFileAttributes(ini.FileName());
    if (attributes != platform::INVALID_FILE_ATTRIBUTES) {
        attributes &= ~(platform::FILE_ATTRIBUTE_READONLY | platform::FILE_ATTRIBUTE_NORMAL);
        platform::SetFileAttributes(ini.FileName(), attributes | platform::FILE_ATTRIBUTE_ARCHIVE);
    }
    if (on)
        ini.DeleteKey(Section, Key);
    else
        ini.WriteBool(Section, Key, false);
}

bool LogoKeyPresent() {
    try {
        TReadOnlyIni ini(MsdosSys());
        RequireFile(ini, "Error writing file \"%s\"!\rError: %s");
        // A value that reads as a number does not depend on the default.
        return ini.ReadBool(Section, Key, true) == ini.ReadBool(Section, Key, false);
    } catch (const std::exception&) {
        return false;
    }
}

// Asked whenever the options dialog opens, so it only looks: writing the state back
// would change a file the user may never have meant to touch.
std::string LogoSettingProblem() {
    try {
        ReadLogoSetting();
    } catch (const EBootOffError& error) {
        return error.Message();
    } catch (const std::exception& error) {
        return error.what();
    }
    if (!platform::FileReplaceable(MsdosSys()))
        return Format("The file \"%s\" can't be written.", {MsdosSys()});
    return {};
}

bool LogoSettingWritable() {
    return LogoSettingProblem().empty();
}
