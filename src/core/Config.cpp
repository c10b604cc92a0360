#include "core/Config.h"

#include <charconv>
#include <climits>
#include <optional>

#include "core/Global.h"
#include "core/ProgErrors.h"
#include "platform/Files.h"
#include "platform/MessageBox.h"
#include "platform/Profile.h"

namespace {

constexpr std::string_view Section = "Bootrama-Options";
constexpr std::string_view ReadErrorText = "Error reading the file \"%s\"!\rError: %s";
constexpr std::string_view CreateErrorText = "Error creating the file \"%s\"!\rError: %s";
constexpr std::string_view MissingFileText = "Can't find configuration file.";

// Decimal, or hexadecimal after '$', with an optional sign; the whole text must convert
// and fit 32 bits.
std::optional<long> ParseInteger(std::string_view text) {
    bool negative = false;
    if (!text.empty() && (text.front() == '-' || text.front() == '+')) {
        negative = text.front() == '-';
        text.remove_prefix(1);
    }
    int base = 10;
    if (!text.empty() && text.front() == '$') {
        base = 16;
        text.remove_prefix(1);
    }
    if (text.empty())
        return std::nullopt;
    unsigned long long magnitude = 0;
    auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), magnitude, base);
    if (error != std::errc() || end != text.data() + text.size())
        return std::nullopt;
    // Hexadecimal text may spell any 32-bit pattern; decimal text must fit the signed range.
    unsigned long long limit = base == 16 ? 0xFFFFFFFFull : (negative ? 0x80000000ull : INT_MAX);
    if (magnitude > limit)
        return std::nullopt;
    // Negated in 32 bits, as the toolkit does: "-2147483648" stays the lowest number.
    auto bits = static_cast<std::uint32_t>(magnitude);
    if (negative)
        bits = 0u - bits;
    return static_cast<long>(static_cast<std::int32_t>(bits));
}

std::string BoolText(bool value) {
    return value ? "1" : "0";
}

}  // namespace

std::string TIniFile::ReadString(std::string_view section, std::string_view key,
                                 std::string_view defaultValue) const {
    return platform::GetPrivateProfileString(section, key, defaultValue, fileName_);
}

long TIniFile::ReadInteger(std::string_view section, std::string_view key,
                           long defaultValue) const {
    std::string text = ReadString(section, key, "");
    if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X'))
        text = "$" + text.substr(2);
    return ParseInteger(text).value_or(defaultValue);
}

bool TIniFile::ReadBool(std::string_view section, std::string_view key, bool defaultValue) const {
    return ReadInteger(section, key, defaultValue ? 1 : 0) != 0;
}

bool TIniFile::ValueExists(std::string_view section, std::string_view key) const {
    // No value holds a line break, so only a missing key answers with this default.
    constexpr std::string_view Missing = "\n";
    return ReadString(section, key, Missing) != Missing;
}

void TIniFile::WriteString(std::string_view section, std::string_view key, std::string_view value) {
    if (!platform::WritePrivateProfileString(section, key, value, fileName_))
        throw platform::EIniFileException(Format("Unable to write to %s", {fileName_}));
}

void TIniFile::WriteBool(std::string_view section, std::string_view key, bool value) {
    WriteString(section, key, BoolText(value));
}

void TIniFile::DeleteKey(std::string_view section, std::string_view key) {
    platform::WritePrivateProfileString(section, key, std::nullopt, fileName_);
}

void TIniFilePlus::Init() {
    if (!FileOK() && AskCreate())
        WriteContents();
}

bool TIniFilePlus::FileOK() {
    fileOK_ = platform::FileExists(FileName());
    return fileOK_;
}

TReadOnlyIni::TReadOnlyIni(std::string fileName) : TIniFilePlus(std::move(fileName)) {
    Init();
}

TSBootIni::TSBootIni() : TIniFilePlus(GlobalInfo().IniFileName) {
    Init();
}

TSBootIni::TSBootIni(DeferInit) : TIniFilePlus(GlobalInfo().IniFileName) {}

bool TSBootIni::AskCreate() {
    return YesNoBox("Configuration file",
                    Format("File %s not found or damaged - create new with default values?",
                           {FileName()})) == platform::IDYES;
}

void TSBootIni::WriteContents() {
    const TGlobalInfo& info = GlobalInfo();
    std::string text = "[Bootrama-Options]\r\n";
    text += "BootDrive=" + info.BootDrive() + "\r\n";
    text += "LogoPath=" + info.LogoPath() + "\r\n";
    text += "ImagePath=" + info.ImagePath() + "\r\n";
    text += "ChangeBootBmp=" + BoolText(info.ChangeBootBmp) + "\r\n";
    text += "ChangeCloseBmp=" + BoolText(info.ChangeCloseBmp) + "\r\n";
    text += "ChangeClosingBmp=" + BoolText(info.ChangeClosingBmp) + "\r\n";
    text += "NewInstalled=" + BoolText(info.NewInstalled) + "\r\n";
    // Replaced atomically: a failed write leaves the previous settings in place.
    try {
        platform::WriteFileAtomic(FileName(), text);
    } catch (const platform::EInOutError& error) {
        throw EIniError(Format(CreateErrorText, {FileName(), std::to_string(error.ErrorCode())}));
    } catch (const platform::EFCreateError& error) {
        throw EIniError(Format(CreateErrorText, {FileName(), std::to_string(error.ErrorCode())}));
    } catch (const std::exception& error) {
        throw EIniError(
            Format("General error writing the configuration file (bootrama.ini)\rError: %s",
                   {platform::ErrorDetail(error)}));
    }
}

void TSBootIni::ReadConfig() {
    if (!FileOK())
        throw EIniError(Format(ReadErrorText, {FileName(), MissingFileText}));
    TGlobalInfo& info = GlobalInfo();
    struct ReadingFlag {
        TGlobalInfo& info;
        explicit ReadingFlag(TGlobalInfo& i) : info(i) { info.ReadingConfig = true; }
        ~ReadingFlag() { info.ReadingConfig = false; }
    };
    try {
        ReadingFlag reading(info);
        info.SetBootDrive(ReadString(Section, "BootDrive", info.BootDrive()));
        info.SetWindowsPath(ReadString(Section, "WindowsPath", info.WindowsPath()));
        info.SetLogoPath(ReadString(Section, "LogoPath", info.LogoPath()));
        info.SetImagePath(ReadString(Section, "ImagePath", info.ImagePath()));
        info.ChangeBootBmp = ReadBool(Section, "ChangeBootBmp", info.ChangeBootBmp);
        info.ChangeCloseBmp = ReadBool(Section, "ChangeCloseBmp", info.ChangeCloseBmp);
        info.ChangeClosingBmp = ReadBool(Section, "ChangeClosingBmp", info.ChangeClosingBmp);
        info.NewInstalled = ReadBool(Section, "NewInstalled", info.NewInstalled);
    } catch (const EConfigError&) {
        throw;
    } catch (const platform::EInOutError& error) {
        throw EIniError(Format(ReadErrorText, {FileName(), std::to_string(error.ErrorCode())}));
    } catch (const std::exception& error) {
        throw EIniError(
            Format("General error reading the configuration file (bootrama.ini)\rError: %s",
                   {platform::ErrorDetail(error)}));
    }
}

TROSBootIni::TROSBootIni() : TSBootIni(DeferInit{}) {
    Init();
}

bool TROSBootIni::AskCreate() {
    ErrorBox("Bootrama", std::string(MissingFileText));
    return false;
}

bool LoadConfig() {
    GlobalInfo().SetDefaults();
    bool existed = false;
    try {
        TROSBootIni ini;
        if (ini.StoredFileOK()) {
            existed = true;
            ini.ReadConfig();
        }
    } catch (const std::exception&) {
        ErrorBox("Bootrama", std::string(MissingFileText));
    }
    return existed;
}

void ReadConfigAtStart() {
    try {
        TSBootIni ini;
        ini.ReadConfig();
    } catch (const EProgError& error) {
        ErrorBox("Configuration file", error.Message());
    }
}

void WriteConfigAtClose() {
    try {
        TSBootIni ini;
        if (!ini.FileOK())
            throw EIniError(std::string(MissingFileText));
        ini.WriteContents();
    } catch (const EProgError& error) {
        ErrorBox("Configuration file", error.Message());
    } catch (const std::exception& error) {
        ErrorBox("Configuration file",
                 Format("General Error\rError: %s", {platform::ErrorDetail(error)}));
    }
}
