#include "core/Global.h"

#include <memory>
#include <stdexcept>

#include "core/ProgErrors.h"
#include "platform/Files.h"
#include "platform/Machine.h"
#include "platform/MessageBox.h"
#include "platform/Process.h"
#include "platform/Profile.h"

namespace {

std::unique_ptr<TGlobalInfo> instance;

constexpr TKindTable<const char*> LogoFileNames = {"logo.sys", "logow.sys", "logos.sys"};
constexpr TKindTable<const char*> LogoKindNames = {"Startup logo", "Shutdown logo", "Final logo"};

bool IsKind(TLogoKind kind) {
    return KindIndex(kind) <= KindIndex(lkClose);
}

std::size_t FileNameStart(const std::string& path) {
    const auto separator = path.find_last_of("\\/:");
    return separator == std::string::npos ? 0 : separator + 1;
}

platform::BoxAnswer ShowBox(platform::BoxKind kind, const std::string& title,
                            const std::string& text) {
    return platform::CurrentMessageBoxes().Show(kind, title, text);
}

}  // namespace

TGlobalInfo::TGlobalInfo() {
    SetDefaults();
}

void TGlobalInfo::SetDefaults() {
    AppPath = GetAppPath();
    BootListFile = AppPath + "brboot.dat";
    CloseListFile = AppPath + "brclose.dat";
    ClosingListFile = AppPath + "brclsing.dat";
    IniFileName = AppPath + "bootrama.ini";
    // Windows' own folders always exist; a drive whose link points nowhere is reported
    // like a bad setting instead of ending the program before it has started.
    ReadingConfig = true;
    SetWindowsPath(GetWindowsDir());
    SetBootDrive(GetBootDrive());
    ReadingConfig = false;
    SetLogoPath("");
    ChangeBootBmp = false;
    ChangeCloseBmp = false;
    ChangeClosingBmp = false;
    ShowPreview = true;
    NewInstalled = false;
    ReadingConfig = false;
}

void TGlobalInfo::SetWindowsPath(const std::string& value) {
    SetPath(value, windowsPath_);
}
void TGlobalInfo::SetBootDrive(const std::string& value) {
    SetPath(value, bootDrive_);
}
void TGlobalInfo::SetLogoPath(const std::string& value) {
    SetPath(value, logoPath_);
}
void TGlobalInfo::SetImagePath(const std::string& value) {
    SetPath(value, imagePath_);
}

void TGlobalInfo::SetPath(const std::string& value, std::string& field) {
    if (value.empty() || IsExistingDir(value)) {
        field = value;
        return;
    }
    std::string message = Format(
        "The path \"%s\" is not valid. Please, check the entry in the Options dialog!", {value});
    // While the configuration is read, a bad key is reported and reading goes on.
    if (ReadingConfig) {
        ErrorBox("Bootrama", message);
        return;
    }
    throw EPathError(message);
}

TGlobalInfo& GlobalInfo() {
    if (!instance)
        throw std::logic_error("GlobalInfo used outside a GlobalInfoScope");
    return *instance;
}

GlobalInfoScope::GlobalInfoScope() {
    instance = std::make_unique<TGlobalInfo>();
}
GlobalInfoScope::~GlobalInfoScope() {
    instance.reset();
}

std::string ListFileOf(TLogoKind kind) {
    const TGlobalInfo& info = GlobalInfo();
    switch (kind) {
        case lkBoot:
            return info.BootListFile;
        case lkClosing:
            return info.ClosingListFile;
        case lkClose:
            return info.CloseListFile;
        default:
            return "";
    }
}

std::string LogoFileOf(TLogoKind kind) {
    if (!IsKind(kind))
        return "";
    const TGlobalInfo& info = GlobalInfo();
    return (kind == lkBoot ? info.BootDrive() : info.WindowsPath()) + LogoFileNames[kind];
}

std::string LogoKindName(TLogoKind kind) {
    return IsKind(kind) ? LogoKindNames[kind] : "logo";
}

bool ChangeFlagOf(TLogoKind kind) {
    const TGlobalInfo& info = GlobalInfo();
    switch (kind) {
        case lkBoot:
            return info.ChangeBootBmp;
        case lkClosing:
            return info.ChangeClosingBmp;
        case lkClose:
            return info.ChangeCloseBmp;
        default:
            return AnyChangeFlag();
    }
}

bool AnyChangeFlag() {
    const TGlobalInfo& info = GlobalInfo();
    return info.ChangeBootBmp || info.ChangeClosingBmp || info.ChangeCloseBmp;
}

platform::BoxAnswer ErrorBox(const std::string& title, const std::string& text) {
    return ShowBox(platform::BoxKind::Error, title, text);
}
platform::BoxAnswer WarningBox(const std::string& title, const std::string& text) {
    return ShowBox(platform::BoxKind::Warning, title, text);
}
platform::BoxAnswer InformationBox(const std::string& title, const std::string& text) {
    return ShowBox(platform::BoxKind::Information, title, text);
}
platform::BoxAnswer YesNoBox(const std::string& title, const std::string& text) {
    return ShowBox(platform::BoxKind::YesNo, title, text);
}
platform::BoxAnswer YesNoCancelBox(const std::string& title, const std::string& text) {
    return ShowBox(platform::BoxKind::YesNoCancel, title, text);
}
platform::BoxAnswer OkCancelBox(const std::string& title, const std::string& text) {
    return ShowBox(platform::BoxKind::OkCancel, title, text);
}

std::string GetAppPath() {
    std::string directory = platform::CurrentMachine().ToWindows(platform::ProgramHostDirectory());
    return directory.empty() ? directory : AddBackslash(directory);
}

std::string GetWindowsDir() {
    return AddBackslash(platform::GetWindowsDirectory());
}

std::string GetBootDrive() {
    std::string system = platform::GetSystemDirectory();
    return system.size() >= 3 ? system.substr(0, 3) : "C:\\";
}

std::string AddBackslash(const std::string& path) {
    if (path.empty() || path.back() == '\\')
        return path;
    return path + '\\';
}

std::string ExtractFilePath(const std::string& path) {
    return path.substr(0, FileNameStart(path));
}

std::string ExtractFileName(const std::string& path) {
    return path.substr(FileNameStart(path));
}

bool IsExistingDir(const std::string& path) {
    return platform::DirectoryExists(path);
}

std::string IntToStrWidth(long long value, int width) {
    std::string digits = std::to_string(value);
    if (static_cast<int>(digits.size()) >= width)
        return digits;
    return std::string(width - digits.size(), ' ') + digits;
}

std::string Format(std::string_view pattern, std::initializer_list<std::string_view> args) {
    std::string result;
    result.reserve(pattern.size() + 64);
    auto next = args.begin();
    for (std::size_t i = 0; i < pattern.size(); ++i) {
        bool placeholder = pattern[i] == '%' && i + 1 < pattern.size() &&
                           (pattern[i + 1] == 's' || pattern[i + 1] == 'd');
        if (placeholder && next != args.end()) {
            result += *next++;
            ++i;
        } else {
            result += pattern[i];
        }
    }
    return result;
}
